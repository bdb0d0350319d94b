// zel/stringl/uucode.h — UU encoding of a string.
//
// The characters are first turned into bytes as UTF-8, so every string
// comes back unchanged (an unpaired surrogate excepted, which becomes
// U+FFFD).  The bytes are encoded in the standard uuencode line format:
// lines of at most 45 bytes, each a length character followed by four
// characters per three bytes, and ended by LF.  A zero 6-bit group is
// written as '`' (never a blank, which editors tend to strip).  The output
// holds only these data lines, without the "begin" and "end" frame and
// without the terminating zero-length line; the empty string encodes to "".
//
//   zel::UUEncodeStr(u"Cat")        == u"#0V%T\n"
//   zel::UUDecodeStr(u"#0V%T\n")    == u"Cat"
//
// `UUDecodeStr` also reads a whole framed file: it skips a "begin ..." line
// and stops at a zero-length line or an "end" line.  Lines may end with LF,
// CR LF or CR; empty lines are skipped, blanks read as '`', and a line
// shorter than its length character says is read as if padded with '`'.
// Input that is not UU text (a character outside ' '..'`' on a data line, or
// a line whose length character asks for more than 45 bytes) gives "".
// Bytes that are not valid UTF-8 decode as their Windows-1252 characters.
#ifndef ZEL_STRINGL_UUCODE_H_
#define ZEL_STRINGL_UUCODE_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

String UUEncodeStr(StringView S);
String UUDecodeStr(StringView S);

}  // namespace zel

#endif  // ZEL_STRINGL_UUCODE_H_
