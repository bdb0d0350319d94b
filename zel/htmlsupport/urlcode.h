// zel/htmlsupport/urlcode.h — web addresses: the path part, and
// percent-encoding of URL text.
//
//   zel::ExtractHTTPPath(u"HTTP://host/dir/page.htm") == u"host/dir/"
//   zel::ExtractHTTPPath(u"http://host")              == u"host"
//   zel::URLEncode(u"a b&c")                          == u"a%20b%26c"
//   zel::URLDecode(u"a%20b%26c")                      == u"a b&c"
//   zel::URLDecode(u"%2541")                          == u"A"   // two passes
//
// Escapes carry character codes, not UTF-8 bytes: `URLEncode` leaves every
// character outside the reserved set as it is ('ü' stays 'ü'), and
// `URLDecode` turns "%FC" into the character with code 0xFC ('ü').  So text
// round-trips through the pair without any byte encoding.
#ifndef ZEL_HTMLSUPPORT_URLCODE_H_
#define ZEL_HTMLSUPPORT_URLCODE_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The address without its scheme and without what follows its last '/'.
// Everything up to and including the first "http://" (in any case) is
// dropped; then everything after the last '/' (the result ends with '/').
// An address with no '/' after the scheme is returned without the scheme
// ('http://host' gives 'host').  Only "http://" counts as a scheme here: an
// address under another scheme keeps it.
String ExtractHTTPPath(StringView URL);

// `S` with the reserved characters  ! * ' ( ) ; : @ & = + $ , / ? % # [ ]
// and the blank written as '%' and two upper-case hexadecimal digits
// ('%20', '%2F'); every other character is copied unchanged.
String URLEncode(StringView S);

// `S` with its percent escapes decoded, twice over (the second pass decodes
// what the first produced).  One pass turns '%' followed by two hexadecimal
// digits (either case) into the character of that code, and copies every
// other character, a '%' without two such digits and '+' included.
String URLDecode(StringView S);

}  // namespace zel

#endif  // ZEL_HTMLSUPPORT_URLCODE_H_
