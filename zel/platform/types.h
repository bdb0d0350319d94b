// zel/platform/types.h — small value types the platform provides.
//
//   TPoint   an integer point (two signed 32-bit coordinates).
//   TColor   a packed colour: red in bits 0-7, green 8-15, blue 16-23; the
//            top byte marks symbolic system colours.
//   TDateTime  days since 1899-12-30, the time of day as the fraction.
//   TFontStyle / TFontStyles  the style elements of a font and a set of them.
//   TPenStyle  how a line is drawn (solid, dashed, ...).
#ifndef ZEL_PLATFORM_TYPES_H_
#define ZEL_PLATFORM_TYPES_H_

#include <cstdint>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

// A point with integer coordinates (pixels on a canvas).
struct TPoint {
  // The coordinates.
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
static_assert(sizeof(TPoint) == 8);

using TColor = uint32_t;
using TDateTime = double;

// The style elements of a font; `TFontStyles` is a set of them, one bit per
// element (`FontStyleBit(fsBold)` and so on).
enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;
constexpr TFontStyles FontStyleBit(TFontStyle s) noexcept {
  return static_cast<TFontStyles>(1u << s);
}

// Line styles of a pen, in the platform's order (`psSolid` is 0).
enum TPenStyle : uint8_t {
  psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame
};

// The 80-bit extended float of x86-64 (`long double`).
using Extended = long double;

}  // namespace zel

#endif  // ZEL_PLATFORM_TYPES_H_
