// The mark sheet: plot marks 0 to 51 (the shapes) and a few character
// marks, each with its number.  Given a directory, saves marks.png there.
#include <iostream>
#include <string>

#include "zel/graphics/graphics.h"
#include "zel/zel.h"

int main(int argc, char** argv) {
  constexpr int kCell = 40, kColumns = 13, kRows = 5;
  zel::TBitmap bmp(kColumns * kCell, kRows * kCell);  // white
  zel::TCanvas& c = bmp.Canvas();
  c.Font().SetHeight(10);
  for (int type = 0; type < kColumns * kRows; ++type) {
    // Shapes first, then the character marks 200..212 ("0".."9" and more).
    const int mark = type < 52 ? type : 200 + (type - 52);
    const int x = (type % kColumns) * kCell, y = (type / kColumns) * kCell;
    c.Pen().SetColor(zel::clSilver);
    zel::DrawRectangle(c, x, y, x + kCell, y + kCell);
    c.Pen().SetColor(zel::clBlue);
    zel::DrawMarkOnCanvas(c, static_cast<uint8_t>(mark), x + kCell / 2, y + 16);
    c.Font().SetColor(zel::clBlack);
    c.Brush().SetStyle(zel::bsClear);
    const zel::String label = zel::IntToStr(mark);
    c.TextOut(x + (kCell - c.TextWidth(label)) / 2, y + kCell - 13, label);
    c.Brush().SetStyle(zel::bsSolid);
  }
  // A filled square (7) covers its centre, a hollow one (10) does not.
  std::cout << "mark 7 centre: " << (c.Pixels(7 * kCell + kCell / 2, 16) == zel::clBlue ? "blue" : "other") << '\n';
  std::cout << "mark 10 centre: " << (c.Pixels(10 * kCell + kCell / 2, 16) == zel::clWhite ? "white" : "other")
            << '\n';
  if (argc > 1) bmp.SaveToPNG(zel::FromUtf8(std::string(argv[1]) + "/marks.png"));
  return 0;
}
