// zel/streams/internal/bytereader.h — internal: reading a stream byte by byte
// without a virtual call per byte.
//
// The stream helpers scan byte by byte.  Where the stream shows the bytes
// ahead of its position (`TStream::PeekBuffered`: the memory and file
// streams), the reader hands them out in runs and moves the stream's
// position only for the bytes taken.  Otherwise it reads one byte per
// `Read` call, so a stream class with its own `Read` is always asked.
// Either way the stream position after `Take(n)` is exactly where n
// single-byte reads would have left it.
#ifndef ZEL_STREAMS_INTERNAL_BYTEREADER_H_
#define ZEL_STREAMS_INTERNAL_BYTEREADER_H_

#include <cstdint>
#include <span>

#include "zel/platform/stream.h"

namespace zel::detail {

class ByteReader {
 public:
  explicit ByteReader(TStream& s) : s_(s) {}

  // The bytes ahead of the position that can be taken now (at least one
  // unless the stream is at its end).  Valid until the next call.
  std::span<const uint8_t> Peek();
  // Consumes the first `n` bytes of the last `Peek()`.
  void Take(size_t n);

  // Reads one byte; false at the end of the stream.
  bool Next(uint8_t& b) {
    const auto ahead = Peek();
    if (ahead.empty()) return false;
    b = ahead[0];
    Take(1);
    return true;
  }

 private:
  TStream& s_;
  uint8_t held_ = 0;      // a byte got from `Read` but not yet taken
  bool has_held_ = false;
};

}  // namespace zel::detail

#endif  // ZEL_STREAMS_INTERNAL_BYTEREADER_H_
