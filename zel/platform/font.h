// zel/platform/font.h — `TFont`, the description of a font: name, size,
// colour, style and the resolution its pixel height refers to.
//
// A `TFont` holds data only; it renders nothing.  The drawing library
// (zel/graphics) turns it into glyphs, and settings classes such as the text
// labels keep one as a property without depending on any graphics code.
//
// The size is kept as a pixel height, as the platform does: a negative
// `Height()` is the character height in pixels (without internal leading) at
// `PixelsPerInch()`; `Size()` is that height in points.  Setting the size
// computes the height for the current resolution, so changing the resolution
// afterwards keeps the pixel height and changes the size in points:
//
//   zel::TFont font;                 // "DejaVu Sans", 10 pt at 96 ppi
//   font.SetSize(12);                // Height() == -16
//   font.SetPixelsPerInch(300);      // Height() stays -16, Size() == 4
//   font.SetStyle(zel::FontStyleBit(zel::fsBold) | zel::FontStyleBit(zel::fsItalic));
//
// Every setter that changes a value calls `OnChange(this)` (the handler set
// with `SetOnChange`, from `WithOnChange`); `Assign` copies every value and
// then calls `OnChange` once.
#ifndef ZEL_PLATFORM_FONT_H_
#define ZEL_PLATFORM_FONT_H_

#include <cstdint>

#include "zel/platform/changenotify.h"
#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"

namespace ZEL_EXPORT zel {

class TFont : public WithOnChange<TPersistent> {
 public:
  // A new font is 10 points at 96 pixels per inch, black, no style.
  static constexpr int kDefaultPixelsPerInch = 96;
  static constexpr int kDefaultSize = 10;

  TFont();

  // The family name, as fontconfig knows it ("DejaVu Sans", "Liberation Serif").
  const String& Name() const noexcept { return name_; }
  void SetName(const String& name);

  // The size in points at the font's resolution, rounded to nearest.
  int Size() const noexcept;
  void SetSize(int points);

  // The height in pixels: negative for the character height, positive for
  // the cell height (with internal leading), as the platform defines them.
  int Height() const noexcept { return height_; }
  void SetHeight(int pixels);

  // The text colour, 0x00BBGGRR (black by default).
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor color);

  // The style bits (`FontStyleBit` of bold, italic, underline, strike-out);
  // bits above those four are dropped.  `HasStyle` tests one of them.
  TFontStyles Style() const noexcept { return style_; }
  void SetStyle(TFontStyles style);
  bool HasStyle(TFontStyle s) const noexcept { return (style_ & FontStyleBit(s)) != 0; }

  // The resolution the pixel height refers to; values below 1 are ignored.
  int PixelsPerInch() const noexcept { return pixels_per_inch_; }
  void SetPixelsPerInch(int ppi);

  // Copies name, height, colour, style and resolution from another TFont
  // (not its change handler), then calls OnChange.  Other sources fail with
  // the conversion error.
  void Assign(const TPersistent* Source) override;

  friend bool operator==(const TFont& a, const TFont& b) noexcept {
    return a.name_ == b.name_ && a.height_ == b.height_ && a.color_ == b.color_ &&
           a.style_ == b.style_ && a.pixels_per_inch_ == b.pixels_per_inch_;
  }

 private:
  String name_;
  int height_;
  TColor color_ = 0;  // black
  TFontStyles style_ = 0;
  int pixels_per_inch_ = kDefaultPixelsPerInch;
};

// a * b / c rounded to nearest (halves away from zero), in 64 bits, as the
// platform converts between points and pixels, clamped to +-INT_MAX; 0 when
// c is 0.
int MulDiv(int a, int b, int c) noexcept;

}  // namespace zel

#endif  // ZEL_PLATFORM_FONT_H_
