// zel/graphics/internal/dib.h — reading and writing the device-independent
// bitmap form: a 40-byte little-endian header (size 40, width, height
// (positive: rows bottom-up; negative: top-down), planes 1, 24 bits per
// pixel, no compression, image size, 3780 pixels per metre (96 per inch) in
// both directions, no colour table) and rows of blue, green, red bytes, each
// row padded to four bytes.
#ifndef ZEL_GRAPHICS_INTERNAL_DIB_H_
#define ZEL_GRAPHICS_INTERNAL_DIB_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "zel/platform/types.h"

namespace zel::detail {

inline constexpr size_t kDIBHeaderSize = 40;

// Bytes of one padded row of `width` 24-bit pixels.
inline size_t DIBStride(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

void WriteDIBHeader(int width, int height, std::span<uint8_t, kDIBHeaderSize> header);

// A parsed image: pixel (x, y) counts y from the top.
class DIBView {
 public:
  // False when the header is not a 24-bit uncompressed one or `bits` is too
  // short for it.
  bool Parse(std::span<const uint8_t> header, std::span<const uint8_t> bits);
  int Width() const { return width_; }
  int Height() const { return height_; }
  TColor At(int x, int y) const {
    const uint8_t* p = bits_ + Row(y) * stride_ + static_cast<size_t>(x) * 3;
    return static_cast<TColor>(p[2]) | static_cast<TColor>(p[1]) << 8 | static_cast<TColor>(p[0]) << 16;
  }

 private:
  size_t Row(int y) const { return static_cast<size_t>(bottom_up_ ? height_ - 1 - y : y); }
  int width_ = 0;
  int height_ = 0;
  bool bottom_up_ = true;
  size_t stride_ = 0;
  const uint8_t* bits_ = nullptr;
};

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_DIB_H_
