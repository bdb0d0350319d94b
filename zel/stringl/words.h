// zel/stringl/words.h — words, abbreviations and the CSV delimiter of a line.
//
// A word is a run of characters between word separators.  The separators
// are the codes set in `WordSeps`, a process-wide table that callers may
// change; a character above code 255 is never a separator.  Its initial
// content is the 26 codes 0, LF, CR, space and
//   " # % ' ( ) * + , - . / : ; < = > [ \ ] { }
// (not: ! ? & $ @ | ~, tab, letters, digits).
//
//   zel::CountWords(u"ab cd.")                 == 2
//   zel::CountWords(u"ab cd")                  == 1  // last run needs a separator
//   zel::ExtractWordFromString(u"ab,cd", 5)    == u"cd"
//   zel::IsAbbreviation(u"ABCd")               == true
//   zel::DetectCSVDelimiter(u"a;b;c,d")        == zel::csvSemicolon
//
//   zel::WordSeps.set(u'!');   // '!' now ends words, for every caller
//
// `WordSeps` is read at call time and guarded by no lock: change it before
// other threads count or extract words, or synchronise yourself.
#ifndef ZEL_STRINGL_WORDS_H_
#define ZEL_STRINGL_WORDS_H_

#include <bitset>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// The word separators, indexed by character code 0-255.
extern std::bitset<256> WordSeps;

// True if `c` is in `WordSeps` (codes above 255 never are).
inline bool IsWordSep(Char c) noexcept { return c < 256 && WordSeps.test(c); }

// Counts runs of at least two non-separators that are followed by a
// separator: a one-character run is no word, and a run at the very end of
// `S` is not counted ('a bc ' gives 1, 'hello' gives 0).
int CountWords(StringView S);

// True when the longest run of capitals A-Z is at least 2 long and `S` has
// fewer small letters a-z and digits than that run ('ABCd' yes, 'GmbH' and
// 'AB12' no).
bool IsAbbreviation(StringView S);

// The word around position `Pos` (from 1): it stretches from `Pos` back and
// forth to the nearest separators.  If `S[Pos]` is a separator, that one
// character.  Outside 1..Length(S) the result is "" and, in the second
// overload, `StartPos` and `EndPos` are 0; otherwise they are the word's
// first and last positions.
String ExtractWordFromString(StringView S, int Pos);
String ExtractWordFromString(StringView S, int Pos, int& StartPos, int& EndPos);

// The delimiter of `CSVDELIMITERS` that occurs most often in `S`
// (case-sensitive); ties go to the earlier kind (blank, semicolon, comma,
// colon, tab), and `csvUnknown` when none occurs.
TCSVDelimiters DetectCSVDelimiter(StringView S);

}  // namespace zel

#endif  // ZEL_STRINGL_WORDS_H_
