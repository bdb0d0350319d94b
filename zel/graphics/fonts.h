// zel/graphics/fonts.h — font questions for chart code: whether an
// installed font is a TrueType font, and setting a canvas font's size in
// points as the screen measures it.
//
//   zel::FontIsTrueType(u"DejaVu Sans");        // true
//   zel::SetCanvasFontSizeScaled(printer_canvas, 10);
//       // the height the font has at 10 pt on the screen (-13 pixels),
//       // whatever the canvas's resolution
//
// TrueType here means what fontconfig reports as the font format
// "TrueType": outlines of quadratic curves (.ttf, and .otf files with
// TrueType outlines).  OpenType fonts with PostScript outlines ("CFF"),
// Type 1 and bitmap fonts (BDF, PCF) are not TrueType.  The format is the
// one of the family's regular upright face.
#ifndef ZEL_GRAPHICS_FONTS_H_
#define ZEL_GRAPHICS_FONTS_H_

#include "zel/graphics/canvas.h"
#include "zel/platform/string.h"

namespace zel {

// Raises EZELError naming the font when no installed font has the family
// name `font_name` (compared without regard to ASCII case).
bool FontIsTrueType(const String& font_name);

// Sets the canvas font to `size` points at the screen's resolution: the
// font's pixel height becomes -size * 96 / 72 (rounded), and its own
// resolution is left as it was.
void SetCanvasFontSizeScaled(TCanvas& canvas, int size);

}  // namespace zel

#endif  // ZEL_GRAPHICS_FONTS_H_
