// The frame styles side by side.  Given a directory, saves frames.png there.
#include <cstdio>
#include <string>

#include "zel/graphics/graphics.h"
#include "zel/zel.h"

int main(int argc, char** argv) {
  const zel::TFrameStyle styles[] = {zel::fsSimple, zel::fsRaised, zel::fsLowered, zel::fsEmbossed, zel::fsEngraved};
  const char* names[] = {"fsSimple", "fsRaised", "fsLowered", "fsEmbossed", "fsEngraved"};
  // c1 highlight, c2 light, c3 shadow, c4 dark shadow, c5 simple frame.
  const zel::TColor c1 = zel::clWhite, c2 = 0xE0E0E0, c3 = zel::clGray, c4 = zel::clBlack, c5 = zel::clBlue;
  zel::TBitmap bmp(5 * 90 + 10, 80);
  zel::TCanvas& c = bmp.Canvas();
  c.Pen().SetColor(zel::clSilver);
  c.Brush().SetColor(zel::clSilver);
  c.Rectangle(0, 0, bmp.Width(), bmp.Height());
  for (int i = 0; i < 5; ++i) {
    const int left = 10 + 90 * i;
    zel::DrawFrame(c, styles[i], left, 10, left + 79, 59, c1, c2, c3, c4, c5);
    c.Font().SetHeight(11);
    c.Font().SetColor(zel::clBlack);
    c.Brush().SetStyle(zel::bsClear);
    c.TextOut(left, 62, zel::FromUtf8(names[i]));
    c.Brush().SetStyle(zel::bsSolid);
    // The outer edge's left side and the inner edge's left side.
    std::printf("%-10s outer left 0x%06X, inner left 0x%06X\n", names[i], c.Pixels(left, 30), c.Pixels(left + 1, 30));
  }
  if (argc > 1) bmp.SaveToPNG(zel::FromUtf8(std::string(argv[1]) + "/frames.png"));
  return 0;
}
