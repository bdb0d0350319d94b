// zel/graphics/internal/raster.h — the pixel rasteriser behind bitmap
// canvases: lines, rectangles, ellipses and polygons on a 32-bit pixel
// array, without anti-aliasing, clipped to the array.
//
// Conventions (the ones callers count pixels by):
//   * a line covers its start point and not its end point; the pixel of
//     step i of an x-major line is y0 + round-half-up(i * dy / dx);
//   * a rectangle or ellipse given by x1, y1, x2, y2 covers x1..x2-1 and
//     y1..y2-1; its outline is the part of it that is not left after eroding
//     it by the pen width (a pixel survives one erosion when its four
//     neighbours are in the shape), and the brush fills what is left;
//   * a polygon's inside is the set of integer points inside the path
//     through its vertices (even-odd rule; each row half-open at the bottom),
//     and its outline the closed run of lines through the vertices.
// Coordinates are 64-bit inside, so shapes far outside the array or spanning
// the whole int range neither overflow nor take time beyond what is visible.
#ifndef ZEL_GRAPHICS_INTERNAL_RASTER_H_
#define ZEL_GRAPHICS_INTERNAL_RASTER_H_

#include <cstdint>
#include <span>
#include <vector>

#include "zel/platform/types.h"

namespace zel::detail {

// A pixel array: row y starts at pixels + y * width.
struct Surface {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

// Pens are drawn at most this wide: the cost of a pen grows with its width,
// and a wider one covers no more of any surface the library can allocate
// unless its shape lies far outside it.
inline constexpr int kMaxPenWidth = 1024;

// How lines and outlines are drawn; `color` is a 0x00BBGGRR value.
struct LinePen {
  uint32_t color = 0;
  int width = 1;           // pixels; taken as 1..kMaxPenWidth
  TPenStyle style = psSolid;
  bool Visible() const noexcept { return style != psClear; }
  int Width() const noexcept { return width < 1 ? 1 : width > kMaxPenWidth ? kMaxPenWidth : width; }
};

// An optional fill.
struct Fill {
  bool solid = false;
  uint32_t color = 0;
};

// One row of a shape: the pixels left..right (inclusive); empty when
// left > right.
struct RowSpan {
  int64_t left = 1;
  int64_t right = 0;
  bool Empty() const noexcept { return left > right; }
};

// `v` limited to the int range: where a coordinate computed in 64 bits is
// handed back to a caller that holds ints (a pen position, a text width).
inline int ClampToInt(int64_t v) noexcept {
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v);
}

void PutPixel(const Surface& s, int64_t x, int64_t y, uint32_t color);

// Fills the pixels [x1, x2) x [y1, y2), clipped.
void FillRect(const Surface& s, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t color);

// The dash rule both canvases follow (the printer's canvas hands the same
// runs to cairo):
//   * dashed styles apply to one-pixel pens; wider pens draw solid;
//   * a line counts its runs in steps along its major axis from its start
//     point, one step per pixel, afresh for every line (a polygon's edges
//     too);
//   * a rectangle's outline counts in pixels from its top-left corner,
//     clockwise (right along the top first), on through the corners;
//   * an ellipse's outline counts the length along the ellipse through the
//     outline's pixel centres, clockwise from its rightmost point.
// The on/off run lengths in pixels of the pen's style; empty when the pen
// draws solid.
std::span<const int> DashPattern(const LinePen& pen);

// Whether the point `distance` pixels along a path is in an "on" run.
bool DashOnAt(std::span<const int> pattern, double distance);

// The line from (x0, y0) to (x1, y1), end point not covered.  A pen wider
// than one pixel stamps a width x width square centred on each point.
void DrawLine(const Surface& s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const LinePen& pen);

// Reusable span storage, so that drawing many small shapes allocates once.
class ShapeRasterizer {
 public:
  void Rectangle(const Surface& s, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                 const LinePen& pen, const Fill& fill);
  void Ellipse(const Surface& s, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
               const LinePen& pen, const Fill& fill);
  void Polygon(const Surface& s, std::span<const TPoint> points, const LinePen& pen,
               const Fill& fill);

 private:
  // Paints rows_[i] (row top + i) with the pen where it is outline and the
  // fill where it is inside, for a shape whose rows are single spans.
  // `dash`, when given, says which outline pixels a dashed pen draws.
  class EllipseDash;
  void PaintConvex(const Surface& s, int64_t top, const LinePen& pen, const Fill& fill,
                   const EllipseDash* dash = nullptr);

  std::vector<RowSpan> rows_;
  std::vector<RowSpan> inner_;
  std::vector<RowSpan> scratch_;
  std::vector<double> crossings_;
};

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_RASTER_H_
