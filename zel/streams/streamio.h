// zel/streams/streamio.h — binary values, 8-bit text and lines on any
// stream.
//
// Every function works from the stream's current position.  Text on a
// stream is 8-bit: writing keeps the low byte of each UTF-16 code unit
// (U+0141 is written as the byte 0x41; nothing is converted), reading turns
// each byte into the character with the same code (0 to 255).  Line ends
// written are CR LF.  Binary values are little-endian with no header or
// padding: extended 10 bytes (x87 80-bit), double 8, single 4, longint 4.
//
//   zel::TMemoryStream m;
//   zel::WriteLnStream(m, u"Header");
//   zel::WriteDoubleToStream(m, 2.5);
//   m.SetPosition(0);
//   bool eos, error;
//   zel::ReadLnStream(m, eos, 0)        == u"Header"
//   zel::ReadDoubleFromStream(m, error) == 2.5     // error == false
//   zel::ReadDoubleFromStream(m, error) == 0.0     // error == true, no throw
//
// The binary readers never raise: when the stream ends early or raises,
// the error flag is set and the value is made of the bytes that could be
// read over an all-zero value.  Errors of the stream in the writers and the
// text readers propagate.
#ifndef ZEL_STREAMS_STREAMIO_H_
#define ZEL_STREAMS_STREAMIO_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Writes `S`, one byte per character, no terminator or length prefix,
// through a 4096-byte buffer (one `WriteBuffer` call per full buffer, one
// for the rest).
void WriteStringStream(TStream& Stream, StringView S);
// `WriteStringStream`, then CR LF.
void WriteLnStream(TStream& Stream, StringView S);

void WriteExtendedToStream(TStream& Stream, long double Value);  // 10 bytes
void WriteDoubleToStream(TStream& Stream, double Value);         // 8 bytes
void WriteSingleToStream(TStream& Stream, float Value);          // 4 bytes
void WriteLongintToStream(TStream& Stream, int32_t Value);       // 4 bytes

// Read back what the writers above wrote (10, 8, 4 and 4 bytes).  `Error`
// becomes false, or true when the stream ended early or raised (see above:
// nothing is thrown).
long double ReadExtendedFromStream(TStream& Stream, bool& Error);
double ReadDoubleFromStream(TStream& Stream, bool& Error);
float ReadSingleFromStream(TStream& Stream, bool& Error);
int32_t ReadLongintFromStream(TStream& Stream, bool& Error);

// Reads the next line.  `EOLMode` says where a line ends:
//   0  at LF                      1  at CR
//   2  at CR or LF                3  at CR right after an LF of this line
//   4  at LF right after a CR of this line
//   any other value: never (the line runs to the end of the stream).
// A line ended by its terminator loses its trailing line-end characters (at
// most two CR/LF); the stream stands after the terminator.  At the end of
// the stream `EndOfStream` is set and the line is returned exactly as read,
// CR and LF included.  So mode 0 reads "a" CR LF "b" as "a", then "b" (with
// `EndOfStream`), and mode 2 reads "a" CR LF as "a", then "".
String ReadLnStream(TStream& Stream, bool& EndOfStream, int EOLMode);
// The same into `Line` (its old contents replaced), which a caller reading
// line after line reuses, as with `std::getline`.
void ReadLnStream(TStream& Stream, String& Line, bool& EndOfStream, int EOLMode);

// The rest of the stream as UTF-16 little-endian code units; an odd last
// byte is dropped.  The stream is left at its end.
String StreamAsString(TStream& Stream);
// The rest of the stream, one character per byte; left at its end.
String StreamAsByteString(TStream& Stream);

}  // namespace zel

#endif  // ZEL_STREAMS_STREAMIO_H_
