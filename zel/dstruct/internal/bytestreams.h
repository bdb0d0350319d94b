// zel/dstruct/internal/bytestreams.h — streams over caller-held bytes, so
// that the string forms of the stream codecs run the stream code itself
// without copying the input into a memory stream first.
#ifndef ZEL_DSTRUCT_INTERNAL_BYTESTREAMS_H_
#define ZEL_DSTRUCT_INTERNAL_BYTESTREAMS_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "zel/platform/stream.h"

namespace zel::detail {

// Reads (and seeks in) a view of bytes; writes nothing.
class ViewInStream final : public TStream {
 public:
  explicit ViewInStream(std::string_view bytes) noexcept : bytes_(bytes) {}

  int64_t Read(void* Buffer, int64_t Count) override {
    const int64_t n = std::clamp<int64_t>(Count, 0, Size() - pos_);
    if (n > 0) std::memcpy(Buffer, bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    const int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? pos_ : Size();
    pos_ = std::clamp<int64_t>(base + Offset, 0, Size());
    return pos_;
  }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

 private:
  std::string_view bytes_;
  int64_t pos_ = 0;
};

// Appends everything written to a string; reads nothing.
class StringOutStream final : public TStream {
 public:
  explicit StringOutStream(std::string& out) noexcept : out_(out) {}

  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* Buffer, int64_t Count) override {
    if (Count <= 0) return 0;
    out_.append(static_cast<const char*>(Buffer), static_cast<size_t>(Count));
    return Count;
  }
  // Always at the end: the string only grows.
  int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(out_.size()); }

 private:
  std::string& out_;
};

}  // namespace zel::detail

#endif  // ZEL_DSTRUCT_INTERNAL_BYTESTREAMS_H_
