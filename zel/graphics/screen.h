// zel/graphics/screen.h — `Screen()`: what the display offers, the
// installed font families and the resolution screen canvases draw at.
//
//   for (const zel::String& family : zel::Screen().Fonts()) ...
//   zel::Screen().PixelsPerInch();   // 96
//
// The font families are fontconfig's (the first family name of each
// installed font, sorted, each once), read afresh on every call so that
// fonts an application registers with fontconfig are listed.
#ifndef ZEL_GRAPHICS_SCREEN_H_
#define ZEL_GRAPHICS_SCREEN_H_

#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The display: its fonts and resolution (see the top of this file).
class TScreen {
 public:
  // The resolution of screen and bitmap canvases, pixels per inch.
  static constexpr int kPixelsPerInch = 96;

  std::vector<String> Fonts() const;
  int PixelsPerInch() const noexcept { return kPixelsPerInch; }
};

// The process's screen.
TScreen& Screen();

}  // namespace zel

#endif  // ZEL_GRAPHICS_SCREEN_H_
