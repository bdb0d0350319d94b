// Fuzzes the device-independent bitmap reader and the bitmap canvas that
// stretches such an image into a bitmap: nothing is read outside the given
// header and rows, nothing is written outside the bitmap or the
// destination rectangle, and a bitmap's own DIB reads back pixel for pixel.
//
// Input layout: 16 bytes of geometry (x, y, w, h, sx, sy, sw, sh as
// little-endian 16-bit signed numbers), then the 40-byte header, then the
// rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/internal/dib.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

constexpr int kWidth = 29, kHeight = 17;
constexpr zel::TColor kUntouched = 0x123456;

int Geometry(const uint8_t* p, int i) {
  return static_cast<int16_t>(p[2 * i] | p[2 * i + 1] << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 16 || size > 65536) return 0;
  int g[8];
  for (int i = 0; i < 8; ++i) g[i] = Geometry(data, i);
  // Copies, so that the sanitizer sees any read past the given bytes.
  const size_t header_size = std::min<size_t>(size - 16, zel::detail::kDIBHeaderSize);
  const std::vector<uint8_t> header(data + 16, data + 16 + header_size);
  const std::vector<uint8_t> bits(data + 16 + header_size, data + size);

  zel::detail::DIBView view;
  if (view.Parse(header, bits)) {
    Check(view.Width() >= 0 && view.Height() >= 0);
    const size_t stride = zel::detail::DIBStride(view.Width());
    Check(view.Height() == 0 || stride == 0 || stride * static_cast<size_t>(view.Height()) <= bits.size());
    // Every pixel of a small image, the corners of a large one.
    if (view.Width() > 0 && static_cast<int64_t>(view.Width()) * view.Height() <= 4096) {
      for (int y = 0; y < view.Height(); ++y) {
        for (int x = 0; x < view.Width(); ++x) view.At(x, y);
      }
    } else if (view.Width() > 0 && view.Height() > 0) {
      view.At(0, 0);
      view.At(view.Width() - 1, view.Height() - 1);
    }
  }

  zel::TBitmap bmp(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) bmp.ScanLine(y)[x] = kUntouched;
  }
  const bool ok = bmp.Canvas().StretchDIBits(g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7],
                                             header, bits);
  Check(ok == zel::detail::DIBView().Parse(header, bits));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= g[0] && x < g[0] + g[2] && y >= g[1] && y < g[1] + g[3];
      if (!inside || !ok) Check(bmp.ScanLine(y)[x] == kUntouched);
    }
  }

  // The bitmap's own DIB reads back as the same pixels.
  size_t hs = 0, is = 0;
  zel::GetDIBSizes(bmp, hs, is);
  std::vector<uint8_t> own_header(hs), own_bits(is);
  Check(zel::GetDIB(bmp, own_header, own_bits));
  zel::detail::DIBView own;
  Check(own.Parse(own_header, own_bits));
  Check(own.Width() == kWidth && own.Height() == kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) Check(own.At(x, y) == (bmp.ScanLine(y)[x] & 0xFFFFFF));
  }
  return 0;
}
