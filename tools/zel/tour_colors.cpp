// `zel tour`, the colour unit: model conversions, names and a palette.
#include <array>
#include <string>

#include "tools/zel/cli.h"
#include "zel/platform/numconv.h"
#include "zel/zelcolors/zelcolors.h"

namespace zel::cli {
namespace {

std::string Fixed(double x, int digits) { return ToUtf8(FloatToText(x, 0, digits)); }

void TourColors() {
  TourHeading("zelcolors", "colour models, names, wavelengths");
  double h, s, l;
  RGBtoHSL(135, 206, 235, h, s, l);
  TourShow("RGBtoHSL(135, 206, 235)", Fixed(h, 2) + ", " + Fixed(s, 4) + ", " + Fixed(l, 4));
  double v;
  RGBtoHSV(128, 128, 128, h, s, v);
  TourShow("RGBtoHSV(128, 128, 128): hue of a grey", Fixed(h, 0));
  TourShow("HSVtoColor(0, 0, 0.5) (127.5 to even)", ColorToHexStr(HSVtoColor(0, 0, 0.5)));
  TourShow("ObtainColorName(HexStrToColor(u\"$00EBCE87\"))",
           ObtainColorName(HexStrToColor(u"$00EBCE87")));
  TourShow("ObtainColorName($000C0B0A) (no name)", ObtainColorName(0x000C0B0A));
  TourShow("InterpolateColor(black, white, 0.5)",
           ColorToHexStr(InterpolateColor(0x000000, 0xFFFFFF, 0.5)));
  TourShow("WavelengthToColor(550, 1)", ColorToHexStr(WavelengthToColor(550, 1)));
  TourShow("RGBColorDistance(Red, Lime)", Fixed(RGBColorDistance(0x0000FF, 0x00FF00), 4));

  TourHeading("zelcolors", "TColorArray, a palette filled from base colours");
  TColorArray palette(nullptr);
  TourShow("new palette: Size() / entry 1 / entry 1000",
           std::to_string(palette.Size()) + " / " + ToUtf8(ColorToHexStr(palette.ColorElem(1))) +
               " / " + ToUtf8(ColorToHexStr(palette.ColorElem(1000))));
  palette.SetSize(4);
  palette.FillByInterpolation(2, std::array<TColor, 2>{0x000000, 0xFFFFFF});
  std::string entries;
  for (int i = 1; i <= palette.Size(); ++i) {
    entries += (i > 1 ? " " : "") + ToUtf8(ColorToHexStr(palette.ColorElem(i)));
  }
  TourShow("4 entries, black to white in 2 levels", entries);
  double distance;
  const int ix = palette.ColorToIndex(0x707070, distance);
  TourShow("ColorToIndex($707070)", std::to_string(ix) + ", distance " + Fixed(distance, 4));
}

const TourSection kColors(40, &TourColors);

}  // namespace
}  // namespace zel::cli
