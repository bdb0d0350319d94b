// zel/stringl/hexescape.h — resolving backslash escapes in text.
//
//   zel::ProcessHexChars(u"a\\#41b")    == u"aAb"      // \#hh: the character hh
//   zel::ProcessHexChars(u"x\\\\y")     == u"x\\y"     // \\: one backslash
//   zel::ProcessHexChars(u"\\n")        == u"\\n"      // any other escape stays
#ifndef ZEL_STRINGL_HEXESCAPE_H_
#define ZEL_STRINGL_HEXESCAPE_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Scans `S` from the left.  A backslash that is not the last character and
// is followed by '#' starts a four-character escape: the two characters
// after '#' are read as hexadecimal digits by `ScanHexInteger`, and the
// escape becomes the one character of that code (00..FF).  Digits that are
// missing or not hexadecimal give the code read up to them ("\#4x" gives
// code 4, "\#zz" code 0), and the escape is replaced all the same (at the
// end of the text, only what is there).  A backslash followed by another
// backslash becomes one backslash.  The scan continues after the character
// produced, so the result is never rescanned.
String ProcessHexChars(StringView S);

}  // namespace zel

#endif  // ZEL_STRINGL_HEXESCAPE_H_
