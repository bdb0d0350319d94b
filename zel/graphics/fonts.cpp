#include "zel/graphics/fonts.h"

#include <string>

#include "zel/graphics/internal/fontengine.h"
#include "zel/graphics/screen.h"
#include "zel/platform/casemap.h"
#include "zel/zelbase/errors.h"

namespace zel {

bool FontIsTrueType(const String& font_name) {
  const String* installed = nullptr;
  const std::vector<String> fonts = Screen().Fonts();
  for (const String& f : fonts) {
    if (SameText(f, font_name)) {
      installed = &f;
      break;
    }
  }
  std::string format;
  if (installed == nullptr || !detail::FamilyFontFormat(*installed, format)) {
    throw EZELError(u"Font \"" + font_name + u"\" is not installed");
  }
  return format == "TrueType";
}

void SetCanvasFontSizeScaled(TCanvas& canvas, int size) {
  TFont& font = canvas.Font();
  const int screen_ppi = Screen().PixelsPerInch();
  if (font.PixelsPerInch() == screen_ppi) {
    font.SetSize(size);
    return;
  }
  const int saved = font.PixelsPerInch();
  font.SetPixelsPerInch(screen_ppi);
  font.SetSize(size);
  font.SetPixelsPerInch(saved);
}

}  // namespace zel
