// zel/graphics/frames.h — rectangle outlines and the frames of chart
// panels: simple, raised, lowered, embossed and engraved.
//
//   zel::DrawFrame(c, zel::fsRaised, 10, 10, 90, 50,
//                  zel::clWhite, zel::clSilver, zel::clGray, zel::clBlack, zel::clBlack);
//   zel::DrawRectangle(c, 5, 5, 95, 55);   // outline through both corners
//
// The five colours are, from light to dark, c1 highlight, c2 light, c3
// shadow and c4 dark shadow; c5 is the colour of a simple frame.  A
// three-dimensional frame is two nested edges, each a top-left line in one
// colour and a bottom-right line in another:
//
//   style        outer top-left  outer bottom-right  inner top-left  inner bottom-right
//   fsRaised     c1              c4                  c2              c3
//   fsLowered    c3              c1                  c4              c2
//   fsEmbossed   c1              c3                  c3              c1
//   fsEngraved   c3              c1                  c1              c3
//
// The outer edge runs through left, top, right and bottom themselves, the
// inner one a pixel inside; the pen colour is left at the last colour
// used.  `fsNone` draws nothing, and so does any style value whose low
// seven bits are above `fsEngraved`.
#ifndef ZEL_GRAPHICS_FRAMES_H_
#define ZEL_GRAPHICS_FRAMES_H_

#include "zel/graphics/canvas.h"
#include "zel/zelbase/types.h"

namespace zel {

void DrawFrame(TCanvas& canvas, TFrameStyle style, int left, int top, int right, int bottom, TColor c1,
               TColor c2, TColor c3, TColor c4, TColor c5);

// Lines in the current pen from (x1, y1) to (x1, y2), (x2, y2), (x2, y1)
// and back to (x1, y1).
void DrawRectangle(TCanvas& canvas, int x1, int y1, int x2, int y2);

}  // namespace zel

#endif  // ZEL_GRAPHICS_FRAMES_H_
