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
  } catch (const Exception& e) {
    TourShow("could not write the pictures", std::string(e.what()));
  }
}

const TourSection kDrawing(35, &TourDrawing);

}  // namespace
}  // namespace zel::cli
