// zel/stringl/transform.h — character-by-character transforms of a string.
//
// Each function returns a new string and leaves its argument alone.  One
// character is one UTF-16 code unit; a blank is code 32.
//
//   zel::RemoveMultiChars(u"a,,,b,c", u',')       == u"a,b,c"
//   zel::ChangeCase(u"aBc")                       == u"AbC"
//   zel::CapitalizeString(u"hello world-wide")    == u"Hello World-Wide"
//   zel::ExpandDiphthongs(u"Straße")              == u"Strasse"
//   zel::ReduceStringToFN83CompliantChars(u"a b?c") == u"a_b_c"
//   zel::CenterString(u"ab", 5)                   == u" ab  "
//   zel::AbbrevString(u"abcdef", 5)               == u"abc.."
#ifndef ZEL_STRINGL_TRANSFORM_H_
#define ZEL_STRINGL_TRANSFORM_H_

#include <cstdint>

#include "zel/platform/string.h"

namespace zel {

// Every `OldChar` replaced by `NewChar`.
String ReplaceCharInString(StringView S, Char OldChar, Char NewChar);

// Every `C` removed.
String RemoveCharInString(StringView S, Char C);

// Every run of two or more `C` collapsed into one `C`.
String RemoveMultiChars(StringView S, Char C);

// Every character of code 0..31 removed.
String RemoveControlChars(StringView S);

// The code units of `S` in reverse order.
// A character outside the basic plane (a surrogate pair) stays whole.
String ReverseString(StringView S);

// `N` copies of `C`, with `N` clamped to 1..255.
String MultiChar(Char C, int N);

// Small letters become capitals and capitals small letters, by the full
// Unicode case mapping of each character (independent of the process
// locale): a character whose upper case differs from it takes that, any
// other its lower case.
String ChangeCase(StringView S);

// The first letter of every word a capital (only a-z change).  A word
// begins after any character that is neither an ASCII letter or digit nor
// of code 128 or above (below the euro sign, 8364); digits glue to the
// letters after them ("2nd"), and a word that begins with a non-ASCII
// letter keeps it as it is.
String CapitalizeString(StringView S);

// German umlauts, sharp s and micro sign in ASCII: ä ae, ö oe, ü ue, ß ss,
// µ u; Ä, Ö, Ü as Ae, Oe, Ue before a small letter a-z, else AE, OE, UE.
String ExpandDiphthongs(StringView S);

// Every character other than A-Z, a-z, 0-9 replaced by '_' (same length).
String ReduceStringToAZ09(StringView S);

// Every character outside the file-name-safe set replaced by '_' (same
// length).  Kept: ! # $ % & ' ( ) - . 0-9 @ A-Z ^ _ ` a-z { } ~.
String ReduceStringToFN83CompliantChars(StringView S);

// `S` padded with blanks on the right to `Width`, or its first `Width`
// characters.
String LeftString(StringView S, uint8_t Width);

// `S` padded with blanks on the left to `Width`, or its first `Width`
// characters (a longer string is cut on the right, as by LeftString).
String RightString(StringView S, uint8_t Width);

// `S` centred in `Width` with blanks (an odd surplus puts the extra blank
// on the right), or its first `Width` characters.
String CenterString(StringView S, uint8_t Width);

// `S` unchanged when at most `MaxLen` long; else its first MaxLen - 2
// characters followed by "..", or ".." alone when MaxLen is below 3.
//
// None of these cuts splits a surrogate pair (a character outside the basic
// plane): a pair that does not fit goes whole, and the fixed-width forms
// fill its place with a blank.
String AbbrevString(StringView S, int MaxLen);

}  // namespace zel

#endif  // ZEL_STRINGL_TRANSFORM_H_
