// A small program built against the installed drawing library
// (zel::graphics, or pkg-config zel-graphics): it draws a raised frame and
// a row of plot marks on a bitmap, checks a few pixels, and saves the
// picture as PNG when given a file name.
#include <iostream>

#include "zel/graphics/graphics.h"

int main(int argc, char** argv) {
  zel::TBitmap bmp(120, 40);
  zel::TCanvas& c = bmp.Canvas();
  c.Brush().SetColor(zel::clSilver);
  c.Pen().SetColor(zel::clSilver);
  c.Rectangle(0, 0, 120, 40);
  zel::DrawFrame(c, zel::fsRaised, 0, 0, 119, 39, zel::clWhite, 0xE0E0E0, zel::clGray, zel::clBlack,
                 zel::clBlack);
  c.Pen().SetColor(zel::clBlue);
  for (int type = 0; type < 10; ++type) zel::DrawMarkOnCanvas(c, static_cast<uint8_t>(type), 10 + 11 * type, 20);
  const bool ok = c.Pixels(0, 0) == zel::clWhite && c.Pixels(119, 39) == zel::clBlack &&
                  c.Pixels(10, 20) == zel::clBlue && c.Pixels(43, 20) == zel::clBlue;
  std::cout << "frame and marks drawn: " << (ok ? "pixels as expected" : "unexpected pixels") << '\n';
  if (argc > 1) {
    bmp.SaveToPNG(zel::FromUtf8(argv[1]));
    std::cout << "saved " << argv[1] << '\n';
  }
  return ok ? 0 : 1;
}
