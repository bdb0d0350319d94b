#include "zel/graphics/frames.h"

#include "zel/graphics/internal/raster.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

void DrawRectangle(TCanvas& canvas, int x1, int y1, int x2, int y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x1, y2);
  canvas.LineTo(x2, y2);
  canvas.LineTo(x2, y1);
  canvas.LineTo(x1, y1);
}

void DrawFrame(TCanvas& canvas, TFrameStyle style, int left, int top, int right, int bottom, TColor c1,
               TColor c2, TColor c3, TColor c4, TColor c5) {
  TColor a, b, c, d;  // outer top-left, outer bottom-right, inner top-left, inner bottom-right
  switch (style & 0x7F) {
    case fsSimple:
      canvas.Pen().SetColor(c5);
      DrawRectangle(canvas, left, top, right, bottom);
      return;
    case fsRaised: a = c1, b = c4, c = c2, d = c3; break;
    case fsLowered: a = c3, b = c1, c = c4, d = c2; break;
    case fsEmbossed: a = c1, b = c3, c = c3, d = c1; break;
    case fsEngraved: a = c3, b = c1, c = c1, d = c3; break;
    default: return;  // fsNone and values beyond the styles
  }
  // One pixel beyond or inside the given edges, in 64 bits and clamped back
  // to the int range: a frame may span the whole range.
  const int64_t L = left, T = top, R = right, Bm = bottom;
  const auto move_to = [&](int64_t x, int64_t y) { canvas.MoveTo(detail::ClampToInt(x), detail::ClampToInt(y)); };
  const auto line_to = [&](int64_t x, int64_t y) { canvas.LineTo(detail::ClampToInt(x), detail::ClampToInt(y)); };
  canvas.Pen().SetColor(a);
  move_to(L, Bm);
  line_to(L, T);
  line_to(R + 1, T);
  move_to(R, T + 1);
  canvas.Pen().SetColor(b);
  line_to(R, Bm);
  line_to(L - 1, Bm);
  canvas.Pen().SetColor(c);
  move_to(L + 1, Bm - 1);
  line_to(L + 1, T + 1);
  line_to(R, T + 1);
  move_to(R - 1, T + 2);
  canvas.Pen().SetColor(d);
  line_to(R - 1, Bm - 1);
  line_to(L, Bm - 1);
}

}  // namespace zel
