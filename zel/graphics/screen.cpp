#include "zel/graphics/screen.h"

#include "zel/graphics/internal/fontengine.h"

namespace zel {

std::vector<String> TScreen::Fonts() const { return detail::InstalledFamilies(); }

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

}  // namespace zel
