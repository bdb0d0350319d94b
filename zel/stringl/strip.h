// zel/stringl/strip.h — trimming blanks and characters, and making sure a
// string begins or ends with a character.
//
// A blank is the space character (code 32) only; tabs and other white space
// are kept.  `StripLTBlanks` is the library's one trimming rule: every unit
// that trims a value read from text uses it.
//
//   zel::StripLTBlanks(u"  key = 1 ")      == u"key = 1"
//   zel::StripLeadingBlanks(u"   ")        == u" "     // never the last blank
//   zel::StripTrailingChars(u'0', u"1.500") == u"1.5"
//   zel::EnsureTrailingChar(u'/', u"dir")   == u"dir/"
//   zel::EnsureTrailingChar(u'/', u"")      == u""     // empty stays empty
#ifndef ZEL_STRINGL_STRIP_H_
#define ZEL_STRINGL_STRIP_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Removes leading and trailing blanks; blanks only (or nothing) give "".
String StripLTBlanks(StringView S);

// Removes leading blanks but never the last character, so a string of
// blanks only gives one blank.
String StripLeadingBlanks(StringView S);

// Removes trailing blanks but never the first character, so a string of
// blanks only gives one blank.
String StripTrailingBlanks(StringView S);

// Removes every leading `C`; a string made only of `C` gives "".
String StripLeadingChars(Char C, StringView S);

// Removes trailing `C` but never the first character, so a string made only
// of `C` gives one `C`.
String StripTrailingChars(Char C, StringView S);

// Appends '\' unless `S` is empty or already ends with it.
String EnsureTrailingBkSlash(StringView S);

// Appends `C` unless `S` is empty or already ends with `C`.
String EnsureTrailingChar(Char C, StringView S);

// Puts `C` in front unless `S` is empty or already begins with `C`.
String EnsureLeadingChar(Char C, StringView S);

}  // namespace zel

#endif  // ZEL_STRINGL_STRIP_H_
