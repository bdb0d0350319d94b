// Fuzzes TRLEncoder: decoding arbitrary bytes with a small block length,
// and the round trip (encoding in pieces, collecting blocks, finishing, and
// decoding must give the input back).  Byte 0 chooses the block length and
// byte 1 the piece size; the rest is the data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "zel/dstruct/rle.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using Bytes = std::vector<uint8_t>;

void Drain(zel::TRLEncoder& rle, Bytes& out) {
  Bytes block(static_cast<size_t>(rle.BufLeng()));
  while (rle.Waiting() >= rle.BufLeng()) {
    rle.GetResult(block.data());
    out.insert(out.end(), block.begin(), block.end());
  }
}

Bytes Decode(zel::TRLEncoder& rle, const uint8_t* p, size_t n) {
  Bytes out, block(static_cast<size_t>(rle.BufLeng()));
  rle.Reset();
  for (size_t i = 0; i < n; ++i)
    if (rle.Decode(p[i])) Drain(rle, out);
  int got;
  while ((got = rle.FlushResult(block.data())) > 0) out.insert(out.end(), block.begin(), block.begin() + got);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int buf_leng = data[0] % 40 + 1;
  const size_t piece = data[1] % 64 + 1;
  const uint8_t* p = data + 2;
  const size_t n = size - 2;
  zel::TRLEncoder rle(nullptr);
  rle.SetBufLeng(buf_leng);

  const Bytes decoded = Decode(rle, p, n);
  Check(decoded.size() <= n * 255);

  Bytes enc, block(static_cast<size_t>(buf_leng));
  rle.Reset();
  for (size_t at = 0; at < n; at += piece) {
    rle.Encode(p + at, static_cast<int>(std::min(piece, n - at)));
    Drain(rle, enc);
  }
  int got;
  do {
    got = rle.Finish(block.data());
    enc.insert(enc.end(), block.begin(), block.begin() + got);
  } while (got == buf_leng);
  Check(enc.size() <= n * 3 + 3);
  Check(Decode(rle, enc.data(), enc.size()) == Bytes(p, p + n));
  return 0;
}
