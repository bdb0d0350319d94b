// zel/graphics/bitmap.h — `TBitmap`, an image in memory with a canvas that
// draws into it, saved as PNG or BMP; the device-independent form of a
// bitmap (`GetDIBSizes`, `GetDIB`) that printing and BMP files use.
//
//   zel::TBitmap bmp(64, 64);                  // white
//   bmp.Canvas().Pen().SetColor(zel::clBlue);
//   bmp.Canvas().Ellipse(8, 8, 56, 56);        // blue ring filled white
//   bmp.SaveToPNG(u"ring.png");
//   zel::TColor c = bmp.Canvas().Pixels(8, 32);  // clBlue
//
// Pixels are TColor values (0x00BBGGRR).  New and added pixels are white.
// Saving goes through the library's safe save (zel/platform/filereplace.h):
// a failed save leaves an old file as it was, a link is written through, the
// file's mode is kept, and a device or FIFO is written directly.  Failures
// raise EFCreateError or EWriteError naming the file.
#ifndef ZEL_GRAPHICS_BITMAP_H_
#define ZEL_GRAPHICS_BITMAP_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "zel/graphics/canvas.h"
#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class TBitmap : public TPersistent {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  // The size in pixels (0 or more).
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  // New sizes keep the pixels that still fit; negative sizes count as 0.
  // A size whose pixels do not fit in memory raises EOutOfMemory.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  // The canvas drawing into this bitmap (96 pixels per inch).
  TCanvas& Canvas() noexcept;

  // Row y, Width() pixels; nullptr outside 0..Height()-1.
  TColor* ScanLine(int y) noexcept;
  const TColor* ScanLine(int y) const noexcept;

  // Copies size and pixels from another TBitmap.
  void Assign(const TPersistent* Source) override;

  // 8-bit RGB PNG through libpng.
  void SaveToPNG(const String& file_name) const;
  // 24-bit uncompressed BMP (file header, the DIB header, the rows).
  void SaveToBMP(const String& file_name) const;

 private:
  class BitmapCanvas;
  int width_ = 0;
  int height_ = 0;
  std::vector<TColor> pixels_;
  std::unique_ptr<BitmapCanvas> canvas_;
};

// The sizes of a bitmap's device-independent form: a 40-byte header and
// the pixel rows (24 bits per pixel, bottom row first, each row padded to
// a multiple of four bytes).
void GetDIBSizes(const TBitmap& bitmap, size_t& header_size, size_t& image_size);

// Fills `header` and `bits` (at least the sizes GetDIBSizes gives) with the
// bitmap's device-independent form; false, writing nothing, when a buffer
// is too small.
bool GetDIB(const TBitmap& bitmap, std::span<uint8_t> header, std::span<uint8_t> bits);

}  // namespace zel

#endif  // ZEL_GRAPHICS_BITMAP_H_
