#include "zel/streams/internal/bytereader.h"

namespace zel::detail {

std::span<const uint8_t> ByteReader::Peek() {
  if (has_held_) return {&held_, 1};
  if (const auto view = s_.PeekBuffered(); !view.empty()) return view;
  if (s_.Read(&held_, 1) != 1) return {};
  has_held_ = true;
  return {&held_, 1};
}

void ByteReader::Take(size_t n) {
  if (n == 0) return;
  if (has_held_) {
    has_held_ = false;  // n is 1: the held byte was the whole view
  } else {
    s_.Seek(static_cast<int64_t>(n), soCurrent);
  }
}

}  // namespace zel::detail
