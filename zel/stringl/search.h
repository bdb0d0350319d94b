// zel/stringl/search.h — finding, counting and replacing inside a string.
//
// Positions count from 1 and 0 means "not found".  Occurrences never
// overlap: after a match the scan resumes behind it.  "Ignore case" means
// ASCII folding (only A-Z and a-z); `EqualAnsiStrings` alone folds
// locale-aware.
//
//   zel::NumberedPos(u"bc", u"abcabc", 1, 2, false)      == 5   // 2nd match
//   zel::NumberedPosBw(u"bc", u"abcabc", 5, 1, false)    == 2   // ends <= 5
//   zel::PosLast(u"aa", u"aaa")                          == 1
//   zel::CountStringInString(u"aa", u"aaaa", true)       == 2
//   zel::ReplaceStringInString(u"Ab ab", u"ab", u"x", true) == u"x x"
//   zel::StringContains(u"R2D2", u"//dig")               == true
//
// The text is folded at most once and scanned once, so the searches take
// time linear in its length; only highly repetitive patterns ("aaab" in
// "aaaa...") can cost up to length x pattern length.
#ifndef ZEL_STRINGL_SEARCH_H_
#define ZEL_STRINGL_SEARCH_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Position of the `Num`-th occurrence of `SubStr` in `S`, counting only
// occurrences that begin at or after `StartPos` (below 1 counts as 1).
// 0 when there are fewer than `Num`, when `Num` < 1 or `SubStr` is empty.
int NumberedPos(StringView SubStr, StringView S, int StartPos, int Num, bool IgnoreCase);

// Start position of the `Num`-th occurrence counted backwards from
// `StartPos` (clamped to 1..Length(S)): only occurrences that end at or
// before `StartPos` count, the first being the one that ends nearest to it,
// and each further one must end before the previous one begins.  0 when
// there are fewer than `Num`, when `Num` < 1 or `SubStr` is empty.
int NumberedPosBw(StringView SubStr, StringView S, int StartPos, int Num, bool IgnoreCase);

// Start of the last occurrence found by a left-to-right scan that resumes
// behind each match (so `PosLast(u"aa", u"aaa") == 1`); 0 if none.
int PosLast(StringView SubStr, StringView S);

// Number of non-overlapping occurrences, scanning left to right; with
// `CaseSensitive` false both strings are ASCII-folded.  An empty `SubStr`
// occurs 0 times.
int CountStringInString(StringView SubStr, StringView S, bool CaseSensitive);

// Number of characters of `S` equal to `C`; with `CaseSensitive` false both
// are ASCII-folded first.
int CountCharInString(Char C, StringView S, bool CaseSensitive);

// True if `S` is not empty and every character equals `C`.
bool TestAllChar(StringView S, Char C);

// Position of the first character that is not a blank (code 32); 0 for the
// empty string and for blanks only.
int FindFirstNonBlank(StringView S);

// Position of the first '0'..'9'; 0 if there is none.
int FindFirstDigit(StringView S);

// `CharSet` lists characters; these macros in it stand for groups:
//   "//dig"   0-9             "//lc"    a-z            "//uc"   A-Z
//   "//31dwn" codes 0-31      "//128up" codes 128-255 (taken as code points)
// Characters above 255, in `S` or in `CharSet`, are compared exactly like
// any other character.

// True if some character of `S` is in `CharSet`.
bool StringContains(StringView S, StringView CharSet);

// True if some character of `S` is not in `CharSet`; the empty `S` gives
// false.
bool StringContainsOtherThan(StringView S, StringView CharSet);

// Locale-aware, case-insensitive equality.
bool EqualAnsiStrings(StringView S1, StringView S2);

// `S` with every occurrence of `OldStr` replaced by `NewStr`, found left to
// right; the search goes on behind the inserted text, so replaced text is
// never searched again.  An empty `OldStr` leaves `S` unchanged.
String ReplaceStringInString(StringView S, StringView OldStr, StringView NewStr,
                             bool IgnoreCase);

}  // namespace zel

#endif  // ZEL_STRINGL_SEARCH_H_
