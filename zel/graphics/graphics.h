// zel/graphics/graphics.h — the drawing library, libzelgraphics: canvases,
// bitmaps, the screen's fonts, the printer (PDF), plot marks and frames.
//
//   #include "zel/graphics/graphics.h"     // link zel::graphics
//
//   zel::TBitmap bmp(120, 60);
//   zel::DrawFrame(bmp.Canvas(), zel::fsRaised, 0, 0, 119, 59,
//                  zel::clWhite, zel::clSilver, zel::clGray, zel::clBlack, zel::clBlack);
//   zel::DrawMarkOnCanvas(bmp.Canvas(), 24, 60, 30);
//   bmp.SaveToPNG(u"mark.png");
#ifndef ZEL_GRAPHICS_GRAPHICS_H_
#define ZEL_GRAPHICS_GRAPHICS_H_

#include "zel/graphics/bitmap.h"
#include "zel/graphics/canvas.h"
#include "zel/graphics/fonts.h"
#include "zel/graphics/frames.h"
#include "zel/graphics/marks.h"
#include "zel/graphics/printer.h"
#include "zel/graphics/screen.h"

#endif  // ZEL_GRAPHICS_GRAPHICS_H_
