#include "zel/graphics/internal/dib.h"

namespace zel::detail {
namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}
uint32_t Get16(const uint8_t* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }
uint32_t Get32(const uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

constexpr uint32_t kPixelsPerMetre = 3780;  // 96 per inch

}  // namespace

void WriteDIBHeader(int width, int height, std::span<uint8_t, kDIBHeaderSize> header) {
  uint8_t* h = header.data();
  Put32(h, kDIBHeaderSize);
  Put32(h + 4, static_cast<uint32_t>(width));
  Put32(h + 8, static_cast<uint32_t>(height));
  Put16(h + 12, 1);
  Put16(h + 14, 24);
  Put32(h + 16, 0);
  Put32(h + 20, static_cast<uint32_t>(DIBStride(width) * static_cast<size_t>(height)));
  Put32(h + 24, kPixelsPerMetre);
  Put32(h + 28, kPixelsPerMetre);
  Put32(h + 32, 0);
  Put32(h + 36, 0);
}

bool DIBView::Parse(std::span<const uint8_t> header, std::span<const uint8_t> bits) {
  if (header.size() < kDIBHeaderSize) return false;
  const uint8_t* h = header.data();
  const auto width = static_cast<int32_t>(Get32(h + 4));
  const auto height = static_cast<int32_t>(Get32(h + 8));
  if (Get32(h) < kDIBHeaderSize || Get16(h + 12) != 1 || Get16(h + 14) != 24 || Get32(h + 16) != 0 ||
      width < 0 || height == INT32_MIN) {
    return false;
  }
  const int rows = height < 0 ? -height : height;
  const size_t stride = DIBStride(width);
  if (rows != 0 && stride != 0 && bits.size() / stride < static_cast<size_t>(rows)) return false;
  width_ = width;
  height_ = rows;
  bottom_up_ = height > 0;
  stride_ = stride;
  bits_ = bits.data();
  return true;
}

}  // namespace zel::detail
