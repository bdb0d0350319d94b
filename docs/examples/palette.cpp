// Palette strips: a palette of 256 entries filled from base colours,
// smoothly and in 8 bands.  Given a directory, saves palette.png there.
#include <iostream>
#include <string>

#include "zel/graphics/graphics.h"
#include "zel/zel.h"

int main(int argc, char** argv) {
  zel::TColorArray pal(nullptr);
  pal.SetSize(256);
  zel::TBitmap bmp(256, 60);
  zel::TCanvas& c = bmp.Canvas();
  const int levels[] = {0, 8};
  for (int strip = 0; strip < 2; ++strip) {
    pal.FillByInterpolation(levels[strip], zel::ColorArray_Rainbow);
    for (int i = 1; i <= 256; ++i) {
      c.Pen().SetColor(pal.ColorElem(i));
      c.MoveTo(i - 1, strip * 30);
      c.LineTo(i - 1, strip * 30 + 28);  // lines cover their start, not their end
    }
    std::cout << (levels[strip] ? "8 bands" : "smooth") << ": first " << zel::ToUtf8(zel::ColorToWebHex(pal.ColorElem(1)))
              << ", last " << zel::ToUtf8(zel::ColorToWebHex(pal.ColorElem(256))) << '\n';
  }
  // Entries outside 1..Size() are clamped.
  std::cout << "entry 0 is entry 1: " << (pal.ColorElem(0) == pal.ColorElem(1) ? "yes" : "no") << '\n';
  if (argc > 1) bmp.SaveToPNG(zel::FromUtf8(std::string(argv[1]) + "/palette.png"));
  return 0;
}
