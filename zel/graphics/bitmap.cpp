#include "zel/graphics/bitmap.h"

#include <algorithm>
#include <new>
#include <span>

#include "zel/graphics/internal/dib.h"
#include "zel/graphics/internal/fontengine.h"
#include "zel/graphics/internal/pngwriter.h"
#include "zel/graphics/internal/raster.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"

namespace ZEL_EXPORT zel {
namespace {

// The safe save of `file_name`; its errors name the file.
FileReplacement OpenSave(const String& file_name) {
  try {
    return FileReplacement(file_name);
  } catch (const EInOutError& e) {
    throw EFCreateError(e.Message());
  }
}

void CommitSave(FileReplacement& out) {
  try {
    out.Commit();
  } catch (const EInOutError& e) {
    throw EWriteError(e.Message());
  }
}

// Saves `bytes` as the whole file through the safe save.
void SaveBytes(const String& file_name, std::span<const uint8_t> bytes) {
  FileReplacement out = OpenSave(file_name);
  try {
    out.Write(bytes.data(), bytes.size());
  } catch (const EInOutError& e) {
    throw EWriteError(e.Message());
  }
  CommitSave(out);
}

}  // namespace

// The canvas of a bitmap: rasterises into the bitmap's pixels.
class TBitmap::BitmapCanvas final : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

  void LineTo(int x, int y) override {
    const TPoint from = PenPos();
    detail::DrawLine(Surface(), from.X, from.Y, x, y, Line());
    SetPenPos(TPoint{x, y});
  }
  void Rectangle(int x1, int y1, int x2, int y2) override {
    raster_.Rectangle(Surface(), x1, y1, x2, y2, Line(), BrushFill());
  }
  void Ellipse(int x1, int y1, int x2, int y2) override {
    raster_.Ellipse(Surface(), x1, y1, x2, y2, Line(), BrushFill());
  }
  void Polygon(std::span<const TPoint> points) override {
    raster_.Polygon(Surface(), points, Line(), BrushFill());
  }
  TColor Pixels(int x, int y) const override {
    const TColor* row = bitmap_.ScanLine(y);
    return row != nullptr && x >= 0 && x < bitmap_.width_ ? row[x] : clNone;
  }
  void SetPixels(int x, int y, TColor color) override {
    detail::PutPixel(Surface(), x, y, color & 0xFFFFFF);
  }
  void TextOut(int x, int y, StringView text) override {
    const detail::Surface s = Surface();
    if (Brush().Style() == bsSolid) {
      const detail::TextExtent e = detail::MeasureText(Font(), text);
      detail::FillRect(s, x, y, int64_t{x} + e.width, int64_t{y} + e.ascent + e.descent,
                       Brush().Color() & 0xFFFFFF);
    }
    const detail::TextExtent e = detail::RenderText(s, Font(), x, y, text, Font().Color() & 0xFFFFFF);
    MoveTo(detail::ClampToInt(x + e.width), y);
  }
  bool StretchDIBits(int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                     std::span<const uint8_t> header, std::span<const uint8_t> bits) override {
    detail::DIBView dib;
    if (!dib.Parse(header, bits)) return false;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return true;
    const detail::Surface s = Surface();
    // Nearest neighbour: destination pixel i takes source sx + i * sw / w.
    const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t{x} + w, s.width);
    const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t{y} + h, s.height);
    for (int64_t py = y0; py < y1; ++py) {
      const int64_t srcy = sy + (py - y) * sh / h;
      if (srcy < 0 || srcy >= dib.Height()) continue;
      for (int64_t px = x0; px < x1; ++px) {
        const int64_t srcx = sx + (px - x) * sw / w;
        if (srcx < 0 || srcx >= dib.Width()) continue;
        s.pixels[py * s.width + px] = dib.At(static_cast<int>(srcx), static_cast<int>(srcy));
      }
    }
    return true;
  }

 private:
  detail::Surface Surface() const {
    return detail::Surface{bitmap_.pixels_.data(), bitmap_.width_, bitmap_.height_};
  }
  detail::LinePen Line() const {
    return detail::LinePen{Pen().Color() & 0xFFFFFF, Pen().Width(), Pen().Style()};
  }
  detail::Fill BrushFill() const {
    return detail::Fill{Brush().Style() == bsSolid, Brush().Color() & 0xFFFFFF};
  }

  TBitmap& bitmap_;
  detail::ShapeRasterizer raster_;
};

TBitmap::TBitmap() : canvas_(std::make_unique<BitmapCanvas>(*this)) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<TColor> pixels;
  try {
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), clWhite);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(u"Out of memory for a bitmap of " + FromUtf8(std::to_string(width)) + u" x " +
                       FromUtf8(std::to_string(height)) + u" pixels");
  } catch (const std::length_error&) {
    throw EOutOfMemory(u"Out of memory for a bitmap of " + FromUtf8(std::to_string(width)) + u" x " +
                       FromUtf8(std::to_string(height)) + u" pixels");
  }
  const int keep_w = std::min(width, width_), keep_h = std::min(height, height_);
  for (int y = 0; y < keep_h; ++y) {
    std::copy_n(pixels_.begin() + static_cast<ptrdiff_t>(y) * width_, keep_w,
                pixels.begin() + static_cast<ptrdiff_t>(y) * width);
  }
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
}

TCanvas& TBitmap::Canvas() noexcept { return *canvas_; }

TColor* TBitmap::ScanLine(int y) noexcept {
  return y >= 0 && y < height_ ? pixels_.data() + static_cast<size_t>(y) * width_ : nullptr;
}

const TColor* TBitmap::ScanLine(int y) const noexcept {
  return y >= 0 && y < height_ ? pixels_.data() + static_cast<size_t>(y) * width_ : nullptr;
}

void TBitmap::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TBitmap*>(Source);
  if (other == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (other == this) return;
  pixels_ = other->pixels_;
  width_ = other->width_;
  height_ = other->height_;
}

void TBitmap::SaveToPNG(const String& file_name) const {
  if (width_ == 0 || height_ == 0) {
    throw EWriteError(u"Cannot write PNG file \"" + file_name + u"\": the bitmap is empty");
  }
  // Encoded once, row by row, straight into the safe save.
  FileReplacement out = OpenSave(file_name);
  detail::WritePng(out, file_name, pixels_.data(), width_, height_);
  CommitSave(out);
}

void GetDIBSizes(const TBitmap& bitmap, size_t& header_size, size_t& image_size) {
  header_size = detail::kDIBHeaderSize;
  image_size = detail::DIBStride(bitmap.Width()) * static_cast<size_t>(bitmap.Height());
}

bool GetDIB(const TBitmap& bitmap, std::span<uint8_t> header, std::span<uint8_t> bits) {
  size_t header_size = 0, image_size = 0;
  GetDIBSizes(bitmap, header_size, image_size);
  if (header.size() < header_size || bits.size() < image_size) return false;
  detail::WriteDIBHeader(bitmap.Width(), bitmap.Height(), header.first<detail::kDIBHeaderSize>());
  const size_t stride = detail::DIBStride(bitmap.Width());
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* out = bits.data() + static_cast<size_t>(bitmap.Height() - 1 - y) * stride;
    const TColor* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      *out++ = static_cast<uint8_t>(row[x] >> 16);
      *out++ = static_cast<uint8_t>(row[x] >> 8);
      *out++ = static_cast<uint8_t>(row[x]);
    }
    std::fill(out, bits.data() + static_cast<size_t>(bitmap.Height() - y) * stride, uint8_t{0});
  }
  return true;
}

void TBitmap::SaveToBMP(const String& file_name) const {
  size_t header_size = 0, image_size = 0;
  GetDIBSizes(*this, header_size, image_size);
  constexpr size_t kFileHeader = 14;
  const size_t total = kFileHeader + header_size + image_size;
  if (total > UINT32_MAX) {
    throw EWriteError(u"Cannot write BMP file \"" + file_name + u"\": the image is too large");
  }
  std::vector<uint8_t> file(total);
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(total));
  put32(6, 0);  // reserved
  put32(10, static_cast<uint32_t>(kFileHeader + header_size));
  const std::span<uint8_t> all(file);
  GetDIB(*this, all.subspan(kFileHeader, header_size), all.subspan(kFileHeader + header_size));
  SaveBytes(file_name, file);
}

}  // namespace zel
