// zel/dstruct/rle.h — `TRLEncoder`, an incremental run-length encoder and
// decoder that hands out its output in blocks of `BufLeng` bytes.
//
// Encoded format, a sequence of items:
//   - a byte v other than 0xA5 stands for itself;
//   - the triple 0xA5, n, v stands for n copies of v (n = 0 for nothing).
// Runs of three or more equal bytes, and every run of 0xA5, become triples
// (runs longer than 255 are split); runs of one or two other bytes are
// copied.
//
// Encoding:
//
//   zel::TRLEncoder rle(nullptr);
//   std::vector<uint8_t> block(rle.BufLeng());
//   rle.Reset();
//   for (each piece of input) {
//     rle.Encode(piece, n);
//     while (rle.Waiting() >= rle.BufLeng()) { rle.GetResult(block.data()); use(block); }
//   }
//   int n;
//   do { n = rle.Finish(block.data()); use(block, n); } while (n == rle.BufLeng());
//
// Decoding:
//
//   rle.Reset();
//   for (uint8_t b : encoded)
//     if (rle.Decode(b)) rle.GetResult(block.data()), use(block);
//   int n;
//   while ((n = rle.FlushResult(block.data())) > 0) use(block, n);
//
// The first `Finish` after encoding appends the triple of the pending run
// (even a run of 0, A5 00 xx, which decodes to nothing), so a fresh
// encoder's `Finish` gives A5 00 00; further calls, until the next `Encode`
// or `Reset`, only hand out what still waits.  `FlushResult` hands out waiting bytes without appending
// anything: it is how a decoder takes its last, incomplete block.
//
// The buffer grows when needed: any number of bytes may go to one `Encode`
// call, `GetResult` may be put off, and any `BufLeng` >= 1 works for
// decoding (one triple appends up to 255 bytes at once).  `SetBufLeng`
// keeps the bytes that are waiting.  Out of memory raises
// `EZELDStructError` with ": not enough memory on heap" in the component
// form.
#ifndef ZEL_DSTRUCT_RLE_H_
#define ZEL_DSTRUCT_RLE_H_

#include <cstdint>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

// Where the decoder stands: between items (rlData), after the lead-in byte
// 0xA5 (rlLeadin), or after the count, waiting for the value (rlCnt).
enum TDecodeSt : uint8_t { rlData, rlLeadin, rlCnt };

class TRLEncoder : public TComponent {
 public:
  explicit TRLEncoder(TComponent* AOwner);

  int32_t BufLeng() const noexcept { return FBufLeng; }
  // n >= 1; other values are ignored.
  void SetBufLeng(int32_t n);

  // Waiting count 0, pending run empty, last byte 0, state rlData.
  void Reset() noexcept;

  // Encodes NumBytes bytes; true if at least BufLeng bytes are waiting.
  bool Encode(const uint8_t* InBuf, int NumBytes);
  // Decodes one byte; true if at least BufLeng bytes are waiting.
  bool Decode(uint8_t InByte);
  // Moves the first BufLeng waiting bytes to OutBuf if there are that many;
  // otherwise leaves OutBuf untouched.
  void GetResult(uint8_t* OutBuf) noexcept;
  // Ends the encoding (appends the pending run's triple) and moves up to
  // BufLeng waiting bytes to OutBuf; returns their number.
  int Finish(uint8_t* OutBuf);
  // Moves up to BufLeng waiting bytes to OutBuf without appending anything;
  // returns their number (0 when nothing waits).
  int FlushResult(uint8_t* OutBuf) noexcept;

  // Bytes waiting in the buffer.
  int32_t Waiting() const noexcept { return FBufPoi; }
  // The decoder's state: rlData between items, otherwise inside a triple.
  TDecodeSt DecodeSt() const noexcept { return FDecodeSt; }

 private:
  void Room(int64_t extra);
  void Put(uint8_t b) { FBuffer[FBufPoi++] = b; }
  void PutTriple(uint8_t count, uint8_t b) {
    FBuffer[FBufPoi++] = FLeadInByte;
    FBuffer[FBufPoi++] = count;
    FBuffer[FBufPoi++] = b;
  }
  void WriteRun();
  int TakeUpTo(uint8_t* OutBuf, int32_t most) noexcept;

  int32_t FBufLeng = 256;
  std::vector<uint8_t> FBuffer;
  int32_t FBufPoi = 0;
  const uint8_t FLeadInByte = 0xA5;
  TDecodeSt FDecodeSt = rlData;
  uint8_t FCount = 0;
  uint8_t FLastB = 0;
  bool FFinished = false;  // Finish has appended the last triple
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_RLE_H_
