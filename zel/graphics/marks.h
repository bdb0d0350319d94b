// zel/graphics/marks.h — plot marks: the symbols that mark data points in a
// chart, drawn on any canvas or into a bitmap of their own.
//
//   zel::TCanvas& c = bmp.Canvas();
//   c.Pen().SetColor(zel::clRed);
//   zel::DrawMarkOnCanvas(c, 24, 50, 40);    // filled circle centred at (50, 40)
//   zel::DrawMarkOnCanvas(c, 205, 70, 40);   // the digit "5"
//   auto icon = zel::CreateMarkAsBitmap(9, zel::clBlue, zel::clWhite, 2);  // 11 x 11
//
// Mark types 0 to 51 are shapes in the pen colour (filled shapes fill with
// the pen colour): 0 a pixel; 1-3 pluses and 4-6 diagonal crosses of 3, 5
// and 7 pixels; 7-9 filled and 10-12 hollow squares; 13, 19 diamond
// outlines, 14, 15 filled diamonds; 16, 17, 27 circles, 24, 26, 28 filled
// circles; 18 a checkerboard; 20-23 carets; 25 a thick cross; 29-36 and
// 40-47 triangles pointing down, up, left and right, hollow and filled;
// 37 an inverted T, 38 an I-beam; 39, 48, 49 circle or square with a plus;
// 50 a star of eight rays, 51 a ring around a plus.  Types 52 to 255 are
// the character of that code in Windows-1252 (128 the euro sign, 153 the
// trade mark sign; 129, 141, 143, 144 and 157, which that code page leaves
// undefined, the control characters of those codes; 200 to 209 the digits
// "0" to "9") in the canvas font, centred on the point, in the pen colour on
// a clear brush.
//
// Types 1-6 and 18 are 7 x 7 pixel patterns on screens and bitmaps; on the
// printer's canvas, whose pixels are too small to see one by one, they are
// drawn with lines.  A shape mark leaves the brush colour as it found it;
// a hollow one leaves the brush style solid; a character mark leaves the
// font colour at the pen colour and the brush style clear.  A mark centred
// within 16 pixels of the int range's ends lies outside every canvas and
// draws nothing (its coordinates would overflow).
#ifndef ZEL_GRAPHICS_MARKS_H_
#define ZEL_GRAPHICS_MARKS_H_

#include <cstdint>
#include <memory>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/canvas.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

void DrawMarkOnCanvas(TCanvas& canvas, uint8_t mark_type, int x, int y);

// A new bitmap of (2 m + 7) x (2 m + 7) pixels filled with `background`,
// with the mark in `mark_color` at its centre (m + 3, m + 3); the margin m
// is clamped to 0..255.
std::unique_ptr<TBitmap> CreateMarkAsBitmap(uint8_t mark_type, TColor mark_color, TColor background,
                                            int margin);

}  // namespace zel

#endif  // ZEL_GRAPHICS_MARKS_H_
