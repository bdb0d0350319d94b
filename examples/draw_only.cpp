// A program that calls the drawing library only, never libzel itself: it
// draws a sunken frame and a row of plot marks on a bitmap, checks a few
// pixels, and saves the picture as PNG when given a file name (ASCII).
//
// Linked with --as-needed, such a program does not record libzel at all;
// it still starts because libzelgraphics finds libzel by its own run path.
#include <iostream>
#include <string_view>

#include "zel/graphics/graphics.h"

int main(int argc, char** argv) {
  zel::TBitmap bmp(100, 30);
  zel::TCanvas& c = bmp.Canvas();
  zel::DrawFrame(c, zel::fsLowered, 0, 0, 99, 29, zel::clWhite, 0xE0E0E0, zel::clGray, zel::clBlack,
                 zel::clBlack);
  c.Pen().SetColor(zel::clRed);
  for (int type = 0; type < 8; ++type) zel::DrawMarkOnCanvas(c, static_cast<uint8_t>(type), 10 + 11 * type, 15);
  const bool ok = c.Pixels(10, 15) == zel::clRed && c.Pixels(43, 15) == zel::clRed;
  std::cout << "marks drawn: " << (ok ? "pixels as expected" : "unexpected pixels") << '\n';
  if (argc > 1) {
    const std::string_view name = argv[1];
    bmp.SaveToPNG(zel::String(name.begin(), name.end()));  // ASCII names widen as they are
    std::cout << "saved " << name << '\n';
  }
  return ok ? 0 : 1;
}
