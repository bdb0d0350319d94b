// zel/platform/internal/filewindow.h — internal: the line and byte readers'
// inline path into a `TFileStream`'s window.
//
// `PeekBuffered` and `Seek(n, soCurrent)` are virtual calls with checks a
// reader that takes a line at a time pays on every line.  For a stream whose
// exact type is `TFileStream` (a derived class may have its own `Read`, so it
// keeps the virtual path) the reader may look at the window and move the
// position inline instead; the stream ends in the same state either way.
#ifndef ZEL_PLATFORM_INTERNAL_FILEWINDOW_H_
#define ZEL_PLATFORM_INTERNAL_FILEWINDOW_H_

#include <cstdint>
#include <span>
#include <typeinfo>

#include "zel/platform/filestream.h"

namespace zel::detail {

struct FileWindow {
  // `s` as a `TFileStream` when that is its exact type; null otherwise.
  static TFileStream* Exact(TStream& s) noexcept {
    return typeid(s) == typeid(TFileStream) ? static_cast<TFileStream*>(&s) : nullptr;
  }
  // What `PeekBuffered()` returns on such a stream.
  static std::span<const uint8_t> Ahead(TFileStream& f) { return f.WindowAhead(); }
  // What `Seek(n, soCurrent)` does for n no larger than the last `Ahead()`.
  static void Skip(TFileStream& f, size_t n) noexcept { f.pos_ += static_cast<int64_t>(n); }
};

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_FILEWINDOW_H_
