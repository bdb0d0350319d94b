// tools/zel/draw/sheets.h — the pictures of the drawing library that the
// `marks` and `frames` commands and the tour write: a labelled sheet of the
// 256 mark types (as a magnified bitmap, or as a PDF page drawn on the
// printer's canvas) and the five frame styles.
#ifndef ZEL_TOOLS_ZEL_DRAW_SHEETS_H_
#define ZEL_TOOLS_ZEL_DRAW_SHEETS_H_

#include <memory>
#include <string>

#include "zel/graphics/bitmap.h"

namespace zel::cli {

// 16 x 16 cells, one per mark type: the mark drawn on its own 15 x 15
// bitmap (light grey) magnified `scale` times, its type number below.
std::unique_ptr<TBitmap> RenderMarkSheet(int scale, TColor color);

// The same sheet as one A4 page of `pdf_path`, each mark drawn on the
// printer's canvas (so types 1-6, 18 and 25 appear in their printer form).
void PrintMarkSheet(const std::string& pdf_path, TColor color);

// The frame styles fsSimple, fsLowered, fsRaised, fsEmbossed and
// fsEngraved side by side on a silver ground, magnified `scale` times, each
// named below.
std::unique_ptr<TBitmap> RenderFrameSheet(int scale);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_DRAW_SHEETS_H_
