// zel/streams/mixedfstream.h — `TMixedFStream`, a file stream for files that
// mix 8-bit text lines with raw binary values: a readable header followed by
// binary blocks, or numbers written as text between binary records.
//
//   {
//     zel::TMixedFStream out(u"data.mix", zel::fmCreate);
//     out.WriteLn(u"Header");
//     out.WriteInteger(7);
//     out.WriteDouble(2.5);
//   }
//   zel::TMixedFStream in(u"data.mix", zel::fmOpenRead);
//   bool error;
//   in.ReadLn(0)            == u"Header"
//   in.ReadInteger(error)   == 7        // error == false
//   in.ReadDouble(error)    == 2.5
//   in.Eos()                == true
//
// Text is one byte per character (the low byte of each character written),
// lines are written with CR LF, binary values are little-endian as in
// streamio.h: byte 1, integer 4, double 8, extended 10 bytes.  Text and
// binary reads may be mixed freely; each reads exactly its bytes.
//
// `ReadLn` keeps bytes of code 32 and above and TAB; every other control
// character is dropped, and ends the line when it matches `EOLMode`:
//   0  LF                      1  CR
//   2  CR or LF                3  CR right after an LF
//   4  LF right after a CR     other values: never (the rest of the file)
// ("right after" counts within the same call).  So CR LF in mode 0 ends
// the line at the LF and the CR is dropped, while in mode 2 the CR ends the
// line and the LF then ends an empty one.  At the end of the file the line
// read so far is returned; `Eos` tells the end.
//
// `ReadDecimal` and `ReadFPNum` are `ScanStreamDecimal` and `ScanStreamFPNum`
// (streamscan.h) on this stream.  The binary readers never raise: on a
// short read `error` is true and the value holds the bytes read over zeros.
// `Create` failures raise `EFOpenError` / `EFCreateError`; write errors
// propagate.
#ifndef ZEL_STREAMS_MIXEDFSTREAM_H_
#define ZEL_STREAMS_MIXEDFSTREAM_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/filestream.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class TMixedFStream : public TFileStream {
 public:
  TMixedFStream(const String& AFileName, uint16_t Mode) : TFileStream(AFileName, Mode) {}

  // True when the position is at or beyond the end.
  bool Eos();

  using TFileStream::Write;
  // Text at the position, one byte per character (`WriteLn` adds CR LF),
  // and binary values: a byte, a 4-byte integer, an 8-byte double.
  void Write(StringView AString);
  void WriteLn(StringView AString);
  void WriteByte(uint8_t aNum);
  void WriteInteger(int32_t aNum);
  void WriteDouble(double aNum);

  // A text line (see `EOLMode` above), binary values of 1, 4, 8 and 10
  // bytes (`error` set as described above, never raising), and numbers
  // scanned from text (`ReadDecimal`, `ReadFPNum`; see above).
  String ReadLn(int EOLMode);
  uint8_t ReadByte(bool& error);
  int32_t ReadInteger(bool& error);
  double ReadDouble(bool& error);
  long double ReadExtended(bool& error);
  int32_t ReadDecimal();
  double ReadFPNum(bool AllowExp, int DecPChar);

  // The file window, as for `TFileStream` (its `Read` is kept as it is).
  std::span<const uint8_t> PeekBuffered() override;
};

}  // namespace zel

#endif  // ZEL_STREAMS_MIXEDFSTREAM_H_
