#include "zel/graphics/canvas.h"

#include <algorithm>

#include "zel/graphics/internal/fontengine.h"
#include "zel/graphics/internal/raster.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetWidth(int width) {
  width = std::max(width, 1);
  if (width == width_) return;
  width_ = width;
  Changed();
}

void TPen::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TPen*>(Source);
  if (other == nullptr) {
    WithOnChange::Assign(Source);
    return;
  }
  color_ = other->color_;
  style_ = other->style_;
  width_ = other->width_;
  Changed();
}


void TBrush::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TBrush::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TBrush*>(Source);
  if (other == nullptr) {
    WithOnChange::Assign(Source);
    return;
  }
  color_ = other->color_;
  style_ = other->style_;
  Changed();
}


void TCanvas::MoveTo(int x, int y) { pen_pos_ = TPoint{x, y}; }

int TCanvas::TextWidth(StringView text) {
  return detail::ClampToInt(detail::MeasureText(font_, text).width);
}

int TCanvas::TextHeight(StringView text) {
  const detail::TextExtent e = detail::MeasureText(font_, text);
  return e.ascent + e.descent;
}

}  // namespace zel
