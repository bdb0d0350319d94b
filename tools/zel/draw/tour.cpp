// Tour section of the drawing library: marks, frames, bitmaps, fonts and
// the printer, with the pictures written into the tour directory.
#include <string>

#include "tools/zel/cli.h"
#include "tools/zel/draw/sheets.h"
#include "zel/graphics/graphics.h"
#include "zel/platform/filename.h"
#include "zel/graphics/internal/pixelart.h"

namespace zel::cli {
namespace {

using detail::CountColor;

void TourDrawing() {
  TourHeading("zelbase", "drawing: marks, frames, bitmaps, fonts, the printer");
  const auto plus = CreateMarkAsBitmap(3, clBlack, clWhite, 0);
  TourShow("CreateMarkAsBitmap(3, black, white, 0): size", std::to_string(plus->Width()) + " x " +
                                                             std::to_string(plus->Height()));
  TourShow("  black pixels of the 7 x 7 plus", CountColor(*plus, clBlack));
  const auto disc = CreateMarkAsBitmap(24, clRed, clWhite, 2);
  TourShow("mark 24 (filled circle): red pixels", CountColor(*disc, clRed));
  TourShow("FontIsTrueType(u\"DejaVu Sans\")", FontIsTrueType(u"DejaVu Sans"));
  TourShow("Screen().PixelsPerInch()", Screen().PixelsPerInch());
  TourShow("Screen().Fonts().size() (fontconfig's families)", Screen().Fonts().size());

  const std::string dir = TourDirectory();
  if (dir.empty()) return;
  const std::string marks = dir + "/marks.png", frames = dir + "/frames.png", pdf = dir + "/marks.pdf";
  try {
    RenderMarkSheet(3, clBlack)->SaveToPNG(FileNameFromBytes(marks));
    TourShow("the 256 mark types, magnified 3 times", marks);
    RenderFrameSheet(3)->SaveToPNG(FileNameFromBytes(frames));
    TourShow("DrawFrame: the five frame styles", frames);
    PrintMarkSheet(pdf, 0x00008B);  // dark red (0x00BBGGRR)
    TourShow("the marks on the printer's canvas (PDF)", pdf);
    // Characters the font lacks come from fonts that have them.
    const String label = u"\u0141\u00F3d\u017A \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 "
                         u"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430 \u30E1\u30E2 \U0001F642";
    TBitmap text(10, 10);
    text.Canvas().Font().SetSize(20);
    text.SetSize(text.Canvas().TextWidth(label) + 20, text.Canvas().TextHeight(label) + 16);
    text.Canvas().Font().SetStyle(FontStyleBit(fsUnderline));
    text.Canvas().TextOut(10, 8, label);
    const std::string labels = dir + "/scripts.png";
    text.SaveToPNG(FileNameFromBytes(labels));
    TourShow("a label in five scripts and an emoji (DejaVu Sans with fallbacks)", labels);
  } catch (const Exception& e) {
    TourShow("could not write the pictures", std::string(e.what()));
  }
}

const TourSection kDrawing(35, &TourDrawing);

}  // namespace
}  // namespace zel::cli
