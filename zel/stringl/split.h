// zel/stringl/split.h — cutting strings into parts: around a trigger, into
// numbered fields, into tokens, into lines, and into quoted parameters.
//
// Triggers and delimiters are whole strings compared case-sensitively, and
// the first occurrence counts.  An empty trigger or delimiter never occurs.
//
//   String key, value;
//   zel::SplitString(u"key = value", u"=", true, key, value);  // "key", "value"
//   zel::ExtractAfterTrigger(u"a: b", u":", true)   == u"b"
//   zel::ExtractSubString(u"a;b;;c", 3, u";")        == u"c"     // from 0
//
//   zel::TOpenStringArray tokens;
//   zel::Tokenize(u"a\\,b,c", u",", u'\\', tokens);  // 2: "a,b", "c"
//
//   int pos = 1;
//   bool end = false;
//   while (!end) use(zel::ReadLnString(text, pos, end, 2));  // CR or LF
//
//   zel::ExtractParam(u"7, \"a, b\", x", 2, u',', u'"', u"?") == u"a, b"
#ifndef ZEL_STRINGL_SPLIT_H_
#define ZEL_STRINGL_SPLIT_H_

#include <cstdint>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The tokens `Tokenize` makes.
using TOpenStringArray = std::vector<String>;

// The part of `S` after (before) the first `Trigger`, passed through
// `StripLTBlanks` when `Trim` is set; "" when `Trigger` does not occur.
String ExtractAfterTrigger(StringView S, StringView Trigger, bool Trim);
String ExtractBeforeTrigger(StringView S, StringView Trigger, bool Trim);

// Sets `Left` and `Right` to the parts before and after the first `Delim`
// (each trimmed when `Trim` is set); both are "" when `Delim` does not occur.
// `S` may view `Left` or `Right` itself, as in `SplitString(s, u"=", true, s, rest)`.
void SplitString(StringView S, StringView Delim, bool Trim, String& Left, String& Right);

// Field `Index` (from 0) of `S` cut at `Delim`; a code-0 character ends `S`.
// "" when `Index` < 0, when `S` is empty, when there are not that many
// fields, and when the field is empty (also when it begins with `Delim` in
// any letter case, as in two delimiters in a row, or when `S` begins with a
// one-character `Delim` and `Index` is 0).
String ExtractSubString(StringView S, int Index, StringView Delim);

// Cuts `S` at every `Delim` into `Tokens` and returns their number: at least
// 1 (an empty `S` gives one empty token) and at most 1000, the last of which
// then holds the whole remainder.  Adjacent delimiters give empty tokens.
// `S` may view one of the tokens `Tokens` already holds.
int Tokenize(StringView S, StringView Delim, TOpenStringArray& Tokens);

// As above, but a `Delim` right after `EscChar` does not cut.  Each token is
// then unescaped (ASCII letter case ignored): `EscChar EscChar` becomes one
// `EscChar`, and after that `EscChar Delim` becomes `Delim`.  The test looks
// only at the one character before the delimiter, so an escaped `EscChar`
// right before a delimiter still keeps that delimiter from cutting.
int Tokenize(StringView S, StringView Delim, Char EscChar, TOpenStringArray& Tokens);

// Reads one line of `S` from `StartPos` (from 1; below 1 counts as 1) and
// moves `StartPos` past every character read.  Characters from code 32 up
// make the line; control characters are never part of it, and `Mode` says
// which one ends it (it is consumed too):
//   0 LF   1 CR   2 CR or LF   3 CR right after LF   4 LF right after CR
//   any other mode: none, control characters are only skipped.
// `EndReached` is true when `StartPos` has passed the end of `S`; a line
// break at the very end therefore leaves no further empty line.
String ReadLnString(StringView S, int& StartPos, bool& EndReached, int Mode);

// The states of `ParseQuotedName`.
enum TQuotedStrState : uint8_t {
  vsStart,     // nothing but blanks read yet
  vs1stQuote,  // inside a quoted name
  vsQuote,     // a quote inside a quoted name: its end, or half of a doubled quote
  vsNormal,    // inside a name without quotes
  vsEnd        // the name is complete
};

// Reads a name that may be enclosed in `Quote` characters, one character
// `C` at a time, appending its characters to `Name`.  Start with
// `State == vsStart` and an empty `Name`.  Leading blanks are skipped; a
// quoted name ends after its closing quote and may hold blanks and doubled
// quotes (each read as one quote); an unquoted name ends at a blank.
// Returns true while `C` belongs to the name (with its quotes and leading
// blanks), and false once `C` lies behind it (`State` is then `vsEnd`).
// When the input runs out, the name is complete in the states `vsNormal`,
// `vsQuote` and `vsEnd`; `vs1stQuote` means the closing quote is missing.
//
//   String name;
//   zel::TQuotedStrState st = zel::vsStart;
//   for (Char c : StringView(u" 'Bob''s' x"))
//     if (!zel::ParseQuotedName(c, u'\'', name, st)) break;
//   // name == u"Bob's"
bool ParseQuotedName(Char C, Char Quote, String& Name, TQuotedStrState& State);

// Parameter number `Index` (from 1) of the list `S` whose parameters are
// separated by `Delim`.  A `Delim` between two `Quote` characters does not
// separate; the quotes are removed and a doubled quote inside them gives one
// quote (`Quote` 0: no quoting).  The parameter is trimmed with
// `StripLTBlanks` before its quotes are removed, so blanks inside quotes
// stay.  `Default` is the result when `Index` < 1, when there is no such
// parameter, or when it is empty.
String ExtractParam(StringView S, int Index, Char Delim, Char Quote, StringView Default);

}  // namespace zel

#endif  // ZEL_STRINGL_SPLIT_H_
