// zel/stringl/grep.h — `TGrep`, a small regular-expression component.
//
// A pattern is compiled at once into a flat list of at most 64 tokens; then
// `MatchString` says whether a string contains a match, and where.
//
//   zel::TGrep grep(nullptr);
//   grep.SetRegExp(u"[0-9]+");          // throws EZELStringlError if bad
//   int pos = 0;
//   if (grep.MatchString(u"ab12c", pos)) {
//     // pos == grep.MatchStartPos() == 3, grep.MatchEndPos() == 4
//   }
//
// The pattern language:
//   abc       a literal string            .       any one character
//   [a-z0-9]  one character of a set      [^a]    one character not in it
//   ^         beginning of the input      $       end of the input (last)
//   (abc)     a literal group; its characters are all taken literally
//   x* x+ x?  zero or more, one or more, zero or one of the item before;
//             after a literal string only its last character repeats
//   \c        the character c taken literally (a lone \ at the end: code 0)
//   \#hh      the character with the hexadecimal code hh; it is then read
//             as an ordinary pattern character (so \#2A acts as '*')
// There is no alternation and no nesting.  A repetition followed by more
// pattern matches as few occurrences as it can, one at the end of the
// pattern as many as it can: 'a.*c' on 'abcbc' matches 1..3, 'b+' on
// 'abbbc' 2..4.  A pattern that is a single zero-or-more item ('a*') matches
// every input as a whole.  A set or group still open at the end of the
// pattern is no error: the tokens built so far stand.
//
// `IgnoreCase` folds A-Z to a-z in the pattern (before the \#hh escapes are
// resolved, so an escape that produces a capital letter then never matches)
// and in the input.
//
// Limits and edge rules chosen here:
//   * A pattern that needs more than 64 tokens, or a literal or group of
//     more than 255 characters, is error 10 (`grepErrTooLong`).
//   * Sets hold the character codes 0..255: a member written above 255 is
//     ignored (a range ends at 255), and an input character above 255 is in
//     no set, not even a negated one.
//   * '-' right after '[^' is error 7, as right after '['.  A '-' that ends
//     an open set adds nothing; the character after '-' is taken as it
//     stands, even a '\' or ']'.
//   * '(ab)(cd)' starts a new token for the second group, so an operator
//     after it covers only 'cd'.
//   * An operator after an empty group, as in '()*', is error 9.
//   * At the end of the input an any-character, a set or a one-or-more item
//     needs a whole occurrence ('a.' does not match 'a', '(ab)+' not 'xa');
//     zero-or-more and optional items may match nothing there ('ab*'
//     matches 'a'); an optional item is taken whenever it fits, and a
//     repetition at the end of the pattern runs up to the last character
//     ('ab?' on 'ab' and '[0-9]+' on 'x12' end at the last character); a
//     repetition may stop right at the end, so '.*$' matches 'aa'; and the
//     search tries the position after the last character as well, so 'b*$'
//     on 'aa' matches there (MatchPos 3, MatchEndPos 2).  ('$' alone is
//     error 1, as is every pattern that starts with '$'.)
//   * A pattern without tokens (the empty pattern, or one whose first
//     character is an error, set with `StopOnError` off) matches at
//     `SearchStartPos` with `MatchEndPos` one before it.  `SearchStartPos`
//     below 1 counts as 1; beyond Length + 1 nothing matches.
//
// `MatchString` writes `ValidFrom` of the tokens: the position where each
// last passed its test.  On failure the match position reported is the
// last start at which the first token passed (0 if it never has since
// compilation); every other token keeps the position where the search
// last passed it.  Backtracking that runs long (stacked repetitions on a
// long line, such as 'a*a*a*b' on a line of a's) is given up for a table
// of every (position, token) state, filled backwards, which decides the
// same match and the same `ValidFrom` in time and memory that grow with
// tokens times characters; the table is the only memory matching takes,
// and is kept for the next search.
//
// An instance must not be used by two threads at once: matching writes
// into it.
#ifndef ZEL_STRINGL_GREP_H_
#define ZEL_STRINGL_GREP_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace zel::detail {
struct GrepOp;
}  // namespace zel::detail

namespace ZEL_EXPORT zel {

// The kind of a compiled token.
enum TGrepTokenAct : uint8_t {
  taNormal,   // a literal string
  taAnyByte,  // any one character
  taEol,      // end of line
  taBol,      // beginning of line
  taSet,      // one character of a set
  taMult0,    // zero or more repetitions
  taMult1,    // one or more
  taOpti,     // zero or one
};

// One compiled token of a pattern (see `GetRegExpToken`).
struct TGrepToken {
  TGrepTokenAct Action;  // what the token tests
  // taNormal: the literal's length; taSet: -1; the repetitions: their
  // operand, -1 the set in Params, 0 any character, n > 0 the literal of
  // n characters in Params.
  int32_t NumChars;
  // A literal in Params[1..NumChars]; a set as Params[c] == '*' for each
  // member code c (a blank for the others).
  Char Params[256];
  // The input position where this token last passed its test.
  int32_t ValidFrom;
};

// The most tokens a pattern compiles to, and the array that holds them.
inline constexpr int kGrepMaxTokens = 64;
using TRegExp = std::array<TGrepToken, kGrepMaxTokens>;  // token i at [i - 1]

// Compilation error codes (`LastError`); 0 is success.
enum : int {
  grepErrBadStart = 1,         // pattern starts with $ * + ?
  grepErrCircumflex = 2,       // ^ not at the start
  grepErrAfterEol = 3,         // anything after $
  grepErrEmptySet = 4,         // []
  grepErrCircumflexInSet = 5,  // [a^]
  grepErrSetBrackets = 6,      // ] without [
  grepErrMinus = 7,            // [-a]
  grepErrGroupBrackets = 8,    // ) without (
  grepErrOperator = 9,         // operator on something that takes none
  grepErrTooLong = 10,         // more than 64 tokens or 255 literal characters
};

// The message of an error code ("no errors" for 0, "" for unknown codes).
String GrepErrorMessage(int code);

class TGrep : public TComponent {
 public:
  explicit TGrep(TComponent* AOwner);
  ~TGrep() override;

  // The pattern as set.  Setting it compiles it; with `StopOnError` a
  // compilation error raises EZELStringlError
  // (`Component "Name": error in regular expression - <message>`).
  const String& RegExp() const noexcept { return FRegExpStr; }
  void SetRegExp(const String& pattern);

  // Setting the flag compiles the stored pattern again (never raising).
  bool IgnoreCase() const noexcept { return FIgnoreCase; }
  void SetIgnoreCase(bool value);

  // The input position (from 1; 1 at first) where searches start; see the
  // edge rules above.
  int SearchStartPos() const noexcept { return FSrcStartPos; }
  void SetSearchStartPos(int value) noexcept { FSrcStartPos = value; }
  // Whether `SetRegExp` raises for a compilation error (true at first);
  // when false, the error is only kept in `LastError` and the tokens
  // compiled before it stand.
  bool StopOnError() const noexcept { return FStopOnError; }
  void SetStopOnError(bool value) noexcept { FStopOnError = value; }

  // A copy of token `regix`, with regix lowered to the token count and
  // raised to at least 1.
  TGrepToken GetRegExpToken(int regix) const noexcept;
  TGrepToken RegExpToken(int regix) const noexcept { return GetRegExpToken(regix); }
  int NrOfRegExpTokens() const noexcept { return FLengRegExp; }
  int LastError() const noexcept { return FError; }
  int MatchStartPos() const noexcept { return FMatchStartPos; }
  int MatchEndPos() const noexcept { return FMatchEndPos; }

  // Builds the token list from `pattern`; returns the error code (0 =
  // success) and stores it in `LastError`.  Never raises.
  [[nodiscard]] int CompileRegExp(StringView pattern);

  // True when `Instring` contains a match, searching from `SearchStartPos`;
  // `MatchPos` and `MatchStartPos` receive its start, `MatchEndPos` its
  // last position.  Never raises.
  bool MatchString(StringView Instring, int& MatchPos);
  // The same search on a line of UTF-8 text, with the same result, the same
  // positions (counted in the UTF-16 code units of the decoded line) and
  // the same `ValidFrom` of every token as `MatchString(FromUtf8(Line))`
  // (an invalid byte read as its Windows-1252 character).  An ASCII line,
  // and most lines for a pattern of one ASCII literal or range, are matched
  // as bytes, without decoding or copying them; other lines are decoded
  // into a buffer that the next call reuses.
  //   while (reader.ReadLine(raw)) if (grep.MatchUtf8(raw, pos)) ...
  bool MatchUtf8(std::string_view Line, int& MatchPos);

  // Writes `RegExpListing()` to the text file `FName` (created or
  // overwritten).  A file that cannot be written raises EInOutError.
  void PrintRegExp(const String& FName) const;

  // The token list, one line per token (a kind label right-aligned in
  // eleven characters, then the operand), and a last line with "no errors"
  // or the error message.
  std::vector<String> RegExpListing() const;

 private:
  void PrepareOps();
  // The searches MatchString and MatchUtf8 choose from, over UTF-16 code
  // units or bytes, and their common ending (not exported, so that they are
  // reached without an indirection).
  template <class C>
  ZEL_HIDDEN bool MatchIn(std::basic_string_view<C> Instring, int& MatchPos);
  template <class C>
  ZEL_HIDDEN bool MatchRange(std::basic_string_view<C> Instring, int& MatchPos);
  template <class C>
  ZEL_HIDDEN bool MatchLiteral(std::basic_string_view<C> Instring, int& MatchPos);
  template <class C>
  ZEL_HIDDEN bool MatchBolLiteral(std::basic_string_view<C> Instring, int& MatchPos);
  template <class C>
  ZEL_HIDDEN bool MatchByWalk(std::basic_string_view<C> Instring, int& MatchPos);
  ZEL_HIDDEN bool Report(bool found, int end, int& MatchPos);

  // Patterns that need no walk: a single range or range run, a single
  // literal or run of one (each found by one scan), '^' and a literal (one
  // comparison).
  enum Shortcut : uint8_t { kShortcutNone, kShortcutRange, kShortcutLiteral, kShortcutBolLiteral };

  int FLengRegExp = 0;
  bool FStopOnError = true;
  // Kept beside the other fields every search reads.
  Shortcut shortcut_ = kShortcutNone;
  // The range or literal of kShortcutRange / kShortcutLiteral has ASCII
  // characters only (MatchUtf8 then searches the bytes of any line).
  bool ascii_item_ = false;
  TRegExp FregExp{};
  String FRegExpStr;
  bool FIgnoreCase = false;
  int FError = 0;
  int FMatchEndPos = 0;
  int FMatchStartPos = 0;
  int FSrcStartPos = 1;

  // The prepared tokens (kGrepMaxTokens of them), internal to the library.
  std::unique_ptr<detail::GrepOp[]> ops_;
  // The tables of a search that backtracks long (kept for the next one).
  std::vector<uint64_t> table_;
  std::vector<int32_t> rows_;
  // MatchUtf8's decoded line.
  String line_;
};

}  // namespace zel

#endif  // ZEL_STRINGL_GREP_H_
