// zel/graphics/internal/pixelart.h — a bitmap region as text, one string
// per row, for tests that state expected pixels as a picture:
//
//   Art(bmp, 0, 0, 3, 2, {{zel::clBlack, 'X'}})   // {"X..", ".X."}
//
// Colours not in the legend show as '.'.  For tests and demonstrations.
#ifndef ZEL_GRAPHICS_INTERNAL_PIXELART_H_
#define ZEL_GRAPHICS_INTERNAL_PIXELART_H_

#include <map>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"

namespace zel::detail {

inline std::vector<std::string> Art(TBitmap& bmp, int x0, int y0, int w, int h,
                                    const std::map<TColor, char>& legend) {
  std::vector<std::string> rows;
  for (int y = y0; y < y0 + h; ++y) {
    std::string row;
    for (int x = x0; x < x0 + w; ++x) {
      const auto it = legend.find(bmp.Canvas().Pixels(x, y));
      row += it == legend.end() ? '.' : it->second;
    }
    rows.push_back(row);
  }
  return rows;
}

// The number of pixels of a colour.
inline int CountColor(const TBitmap& bmp, TColor color) {
  int n = 0;
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) n += bmp.ScanLine(y)[x] == color;
  }
  return n;
}

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_PIXELART_H_
