// A small chart: a lowered panel, axes, a data line and a mark on each
// point.  Given a directory, saves chart.png there.
#include <iostream>
#include <string>

#include "zel/graphics/graphics.h"
#include "zel/zel.h"

int main(int argc, char** argv) {
  const double data[] = {3, 7, 4, 9, 6, 11, 8, 12};
  constexpr int kW = 320, kH = 200, kLeft = 40, kBottom = 170, kStep = 36;
  zel::TBitmap bmp(kW, kH);
  zel::TCanvas& c = bmp.Canvas();
  zel::DrawFrame(c, zel::fsLowered, 0, 0, kW - 1, kH - 1, zel::clWhite, 0xE0E0E0, zel::clGray, zel::clBlack,
                 zel::clBlack);
  c.Pen().SetColor(zel::clBlack);
  c.MoveTo(kLeft, 20);
  c.LineTo(kLeft, kBottom);
  c.LineTo(kW - 20, kBottom);
  c.Font().SetHeight(10);
  c.Font().SetColor(zel::clBlack);
  c.Brush().SetStyle(zel::bsClear);
  for (int v = 0; v <= 12; v += 4) {
    const int y = kBottom - v * 12;
    c.MoveTo(kLeft - 4, y);
    c.LineTo(kLeft, y);
    c.TextOut(kLeft - 8 - c.TextWidth(zel::IntToStr(v)), y - 6, zel::IntToStr(v));
  }
  c.Brush().SetStyle(zel::bsSolid);
  auto px = [&](int i) { return kLeft + 18 + i * kStep; };
  auto py = [&](int i) { return kBottom - static_cast<int>(data[i] * 12); };
  c.Pen().SetColor(zel::clBlue);
  c.MoveTo(px(0), py(0));
  for (int i = 1; i < 8; ++i) c.LineTo(px(i), py(i));
  c.Pen().SetColor(zel::clRed);
  for (int i = 0; i < 8; ++i) zel::DrawMarkOnCanvas(c, 26, px(i), py(i));  // filled circles
  std::cout << "8 points; the mark at the highest covers its centre: "
            << (c.Pixels(px(7), py(7)) == zel::clRed ? "yes" : "no") << '\n';
  if (argc > 1) bmp.SaveToPNG(zel::FromUtf8(std::string(argv[1]) + "/chart.png"));
  return 0;
}
