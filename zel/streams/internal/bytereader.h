// zel/streams/internal/bytereader.h — internal: reading a stream byte by byte
// without a virtual call per byte.
//
// The stream helpers scan byte by byte.  Where the stream shows the bytes
// ahead of its position (`TStream::PeekBuffered`: the memory and file
// streams), the reader hands them out in runs and moves the stream's
// position only for the bytes taken.  Otherwise it reads one byte per
// `Read` call, so a stream class with its own `Read` is always asked.
// Either way the stream position after `Take(n)` is exactly where n
// single-byte reads would have left it.  A stream that is exactly a
// `TFileStream` (the common case, a line at a time) is read through its
// window inline, without the two virtual calls per run
// (zel/platform/internal/filewindow.h).
#ifndef ZEL_STREAMS_INTERNAL_BYTEREADER_H_
#define ZEL_STREAMS_INTERNAL_BYTEREADER_H_

#include <cstdint>
#include <span>

#include "zel/platform/internal/filewindow.h"
#include "zel/platform/stream.h"

namespace zel::detail {

class ByteReader {
 public:
  explicit ByteReader(TStream& s) : s_(s), file_(FileWindow::Exact(s)) {}

  // The bytes ahead of the position that can be taken now (at least one
  // unless the stream is at its end).  Valid until the next call.
  std::span<const uint8_t> Peek() {
    if (file_) return FileWindow::Ahead(*file_);
    if (has_held_) return {&held_, 1};
    if (const auto view = s_.PeekBuffered(); !view.empty()) return view;
    return ReadOne();
  }
  // Consumes the first `n` bytes of the last `Peek()`.
  void Take(size_t n) {
    if (file_) {
      FileWindow::Skip(*file_, n);
    } else if (n == 0) {
      return;
    } else if (has_held_) {
      has_held_ = false;  // n is 1: the held byte was the whole view
    } else {
      s_.Seek(static_cast<int64_t>(n), soCurrent);
    }
  }

  // Reads one byte; false at the end of the stream.
  bool Next(uint8_t& b) {
    const auto ahead = Peek();
    if (ahead.empty()) return false;
    b = ahead[0];
    Take(1);
    return true;
  }

 private:
  // Holds the next byte got from `Read`; empty at the end.
  std::span<const uint8_t> ReadOne();

  TStream& s_;
  TFileStream* const file_;  // s_ when it is exactly a TFileStream
  uint8_t held_ = 0;      // a byte got from `Read` but not yet taken
  bool has_held_ = false;
};

}  // namespace zel::detail

#endif  // ZEL_STREAMS_INTERNAL_BYTEREADER_H_
