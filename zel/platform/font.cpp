#include "zel/platform/font.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

int MulDiv(int a, int b, int c) noexcept {
  if (c == 0) return 0;
  const int64_t num = static_cast<int64_t>(a) * b;
  const int64_t den = c;
  // Round half away from zero: add half the divisor in the direction of the
  // quotient's sign before truncating.
  const bool negative = (num < 0) != (den < 0);
  const int64_t half = std::llabs(den) / 2;
  // Clamped to +-INT_MAX, so that the result can always be negated (a
  // pixel height is the negated size).
  const int64_t q = std::min<int64_t>((std::llabs(num) + half) / std::llabs(den), INT32_MAX);
  return static_cast<int>(negative ? -q : q);
}

TFont::TFont()
    : name_(u"DejaVu Sans"), height_(-MulDiv(kDefaultSize, kDefaultPixelsPerInch, 72)) {}

int TFont::Size() const noexcept { return -MulDiv(height_, 72, pixels_per_inch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixels_per_inch_, 72)); }

void TFont::SetName(const String& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int pixels) {
  if (pixels == height_) return;
  height_ = pixels;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  style &= 0x0F;
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetPixelsPerInch(int ppi) {
  if (ppi < 1 || ppi == pixels_per_inch_) return;
  pixels_per_inch_ = ppi;
  Changed();
}

void TFont::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TFont*>(Source);
  if (other == nullptr) {
    WithOnChange::Assign(Source);
    return;
  }
  name_ = other->name_;
  height_ = other->height_;
  color_ = other->color_;
  style_ = other->style_;
  pixels_per_inch_ = other->pixels_per_inch_;
  Changed();
}

}  // namespace zel
