#include "zel/graphics/frames.h"

namespace zel {

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
  const int L = left, T = top, R = right, Bm = bottom;
  canvas.Pen().SetColor(a);
  canvas.MoveTo(L, Bm);
  canvas.LineTo(L, T);
  canvas.LineTo(R + 1, T);
  canvas.MoveTo(R, T + 1);
  canvas.Pen().SetColor(b);
  canvas.LineTo(R, Bm);
  canvas.LineTo(L - 1, Bm);
  canvas.Pen().SetColor(c);
  canvas.MoveTo(L + 1, Bm - 1);
  canvas.LineTo(L + 1, T + 1);
  canvas.LineTo(R, T + 1);
  canvas.MoveTo(R - 1, T + 2);
  canvas.Pen().SetColor(d);
  canvas.LineTo(R - 1, Bm - 1);
  canvas.LineTo(L, Bm - 1);
}

}  // namespace zel
