#include "zel/zelcolors/colormodels.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "zel/platform/random.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/strip.h"

namespace zel {
namespace {

// Rounds to the nearest integer, halves to even (the default rounding mode),
// limited to the int range so that no conversion overflows.
int Nint(long double x) {
  if (std::isnan(x)) return 0;
  const long double r = std::nearbyint(x);
  if (r <= static_cast<long double>(INT_MIN)) return INT_MIN;
  if (r >= static_cast<long double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(r);
}

// A colour channel from a fraction in [0, 1]: nint(255 * x), the product in
// 80-bit arithmetic so that it is exact.
int Channel(double x) { return std::clamp(Nint(255.0L * x), 0, 255); }

// Clamps to [lo, hi]; not a number gives lo.
double Clamp(double x, double lo, double hi) {
  if (std::isnan(x)) return lo;
  return std::min(std::max(x, lo), hi);
}

double Frac(double x) { return x - std::trunc(x); }

// The hue as HSL and HSI take it: one addition or one subtraction of 360,
// then, for what still lies outside [0, 360), the remainder modulo 360.
double NormaliseHue(double hue) {
  if (!std::isfinite(hue)) return 0;
  if (hue < 0) {
    hue += 360;
  } else if (hue > 360) {
    hue -= 360;
  }
  if (hue < 0 || hue >= 360) {
    hue = std::fmod(hue, 360.0);
    if (hue < 0) hue += 360;
    if (hue >= 360) hue = 0;  // a tiny negative remainder rounds up to 360
  }
  return hue;
}

// The hue sector 0..5 of a hue in [0, 360).
int Sector(double hue) { return std::clamp(static_cast<int>(std::trunc(hue / 60)), 0, 5); }

// The components of a hue sector with the largest share `major`, the
// middle one `minor` and the smallest 0, as HSL and HSI both lay them out.
void SectorComponents(int sector, double major, double minor, double& r, double& g, double& b) {
  switch (sector) {
    case 0: r = major; g = minor; b = 0; break;
    case 1: r = minor; g = major; b = 0; break;
    case 2: r = 0; g = major; b = minor; break;
    case 3: r = 0; g = minor; b = major; break;
    case 4: r = minor; g = 0; b = major; break;
    default: r = major; g = 0; b = minor; break;
  }
}

// The maximum of the three components with the first of equal ones marked
// (0 red, 1 green, 2 blue), and the minimum; shared by HSV and HSI.
struct Extremes {
  double max, min;
  int marked;
};

Extremes FindExtremes(double red, double green, double blue) {
  Extremes e{red, std::min({red, green, blue}), 0};
  if (e.max < green) {
    e.max = green;
    e.marked = 1;
  }
  if (e.max < blue) {
    e.max = blue;
    e.marked = 2;
  }
  return e;
}

// The hexagonal hue in degrees for a coloured (delta != 0) triple.
double HexagonalHue(double red, double green, double blue, const Extremes& e) {
  const double delta = e.max - e.min;
  double hue;
  switch (e.marked) {
    case 0: hue = (green - blue) / delta; break;
    case 1: hue = (blue - red) / delta + 2; break;
    default: hue = (red - green) / delta + 4; break;
  }
  hue *= 60;
  if (hue < 0) hue += 360;
  return hue;
}

// Per-channel trunc(a + (b - a) * f) in 80-bit arithmetic; f must be a
// number (the callers clamp it).
int Blend(int a, int b, long double f) {
  return static_cast<int>(std::trunc(static_cast<long double>(a) + (b - a) * f));
}

}  // namespace

// --- HSL -------------------------------------------------------------------

void RGBtoHSL(int Red, int Green, int Blue, double& Hue, double& Saturation, double& Lightness) {
  const double r = Clamp(Red / 255.0, 0, 1);
  const double g = Clamp(Green / 255.0, 0, 1);
  const double b = Clamp(Blue / 255.0, 0, 1);
  const double max = std::max({r, g, b});
  const double min = std::min({r, g, b});
  const double d = max - min;
  double hue = 0;
  if (d != 0) {
    if (r == max) {
      hue = 6 * Frac(((g - b) / d) / 6);
    } else if (g == max) {
      hue = (b - r) / d + 2;
    } else {
      hue = (r - g) / d + 4;
    }
  }
  hue *= 60;
  if (hue < 0) hue += 360;
  Hue = hue;
  Lightness = (max + min) / 2;
  Saturation = d != 0 ? d / (1 - std::fabs(2 * Lightness - 1)) : 0;
}

void ColorToHSL(TColor Color, double& Hue, double& Saturation, double& Lightness) {
  RGBtoHSL(GetRValue(Color), GetGValue(Color), GetBValue(Color), Hue, Saturation, Lightness);
}

void HSLtoRGB(double Hue, double Saturation, double Lightness, int& Red, int& Green, int& Blue) {
  const double hue = NormaliseHue(Hue);
  const double s = Clamp(Saturation, 0, 1);
  const double l = Clamp(Lightness, 0, 1);
  const double c = (1 - std::fabs(2 * l - 1)) * s;
  const double x = c * (1 - std::fabs(2 * Frac(hue / 60 / 2) - 1));
  double r, g, b;
  SectorComponents(Sector(hue), c, x, r, g, b);
  const double m = l - c / 2;
  Red = Channel(r + m);
  Green = Channel(g + m);
  Blue = Channel(b + m);
}

TColor HSLtoColor(double Hue, double Saturation, double Lightness) {
  int r, g, b;
  HSLtoRGB(Hue, Saturation, Lightness, r, g, b);
  return RGBToColor(r, g, b);
}

// --- HSV -------------------------------------------------------------------

void RGBtoHSV(int Red, int Green, int Blue, double& Hue, double& Saturation, double& Value) {
  // In double: any int is exact there, and max - min cannot overflow.
  const double red = Red, green = Green, blue = Blue;
  const Extremes e = FindExtremes(red, green, blue);
  Value = e.max / 255;
  if (e.max == 0) {
    Saturation = 0;
    Hue = 0;
    return;
  }
  Saturation = (e.max - e.min) / e.max;
  if (Saturation == 0) {
    Hue = -1;
    return;
  }
  Hue = HexagonalHue(red, green, blue, e);
}

void ColorToHSV(TColor Color, double& Hue, double& Saturation, double& Value) {
  RGBtoHSV(GetRValue(Color), GetGValue(Color), GetBValue(Color), Hue, Saturation, Value);
}

void HSVtoRGB(double Hue, double Saturation, double Value, int& Red, int& Green, int& Blue) {
  const double s = Clamp(Saturation, 0, 1);
  const double v = Clamp(Value, 0, 1);
  const double hue = (Hue >= 0 && Hue < 360) ? Hue : 0;  // NaN fails both tests
  if (s == 0) {
    Red = Green = Blue = Channel(v);
    return;
  }
  const double x = hue / 60;
  const int sector = Sector(hue);
  const double f = x - sector;
  const double p = (1 - s) * v;
  const double q = (1 - s * f) * v;
  const double t = (1 - (1 - f) * s) * v;
  double r, g, b;
  switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
  Red = Channel(r);
  Green = Channel(g);
  Blue = Channel(b);
}

TColor HSVtoColor(double Hue, double Saturation, double Value) {
  int r, g, b;
  HSVtoRGB(Hue, Saturation, Value, r, g, b);
  return RGBToColor(r, g, b);
}

// --- HSI -------------------------------------------------------------------

void RGBtoHSI(int Red, int Green, int Blue, double& Hue, double& Saturation, double& Intensity) {
  const double red = Red, green = Green, blue = Blue;
  const Extremes e = FindExtremes(red, green, blue);
  Intensity = (red + green + blue) / 3 / 255;
  if (e.max == 0) {
    Saturation = 0;
    Hue = 0;
    return;
  }
  Saturation = 1 - (e.min / 255) / Intensity;
  if (Saturation == 0 || e.max == e.min) {
    Hue = -1;
    return;
  }
  Hue = HexagonalHue(red, green, blue, e);
}

void ColorToHSI(TColor Color, double& Hue, double& Saturation, double& Intensity) {
  RGBtoHSI(GetRValue(Color), GetGValue(Color), GetBValue(Color), Hue, Saturation, Intensity);
}

void HSItoRGB(double Hue, double Saturation, double Intensity, int& Red, int& Green, int& Blue) {
  const double hue = NormaliseHue(Hue);
  const double s = Clamp(Saturation, 0, 1);
  const double i = Clamp(Intensity, 0, 1);
  const double f = 1 - std::fabs(2 * Frac(hue / 60 / 2) - 1);
  const double a = 3 * i * s / (1 + f);
  const double bb = a * f;
  double r, g, b;
  SectorComponents(Sector(hue), a, bb, r, g, b);
  const double m = (1 - s) * i;
  Red = Channel(std::min(r + m, 1.0));
  Green = Channel(std::min(g + m, 1.0));
  Blue = Channel(std::min(b + m, 1.0));
}

TColor HSItoColor(double Hue, double Saturation, double Intensity) {
  int r, g, b;
  HSItoRGB(Hue, Saturation, Intensity, r, g, b);
  return RGBToColor(r, g, b);
}

// --- CMY and CMYK ----------------------------------------------------------

void RGBtoCMY(uint8_t Red, uint8_t Green, uint8_t Blue, double& Cyan, double& Magenta,
              double& Yellow) {
  Cyan = 1 - Red / 255.0;
  Magenta = 1 - Green / 255.0;
  Yellow = 1 - Blue / 255.0;
}

void CMYtoRGB(double Cyan, double Magenta, double Yellow, uint8_t& Red, uint8_t& Green,
              uint8_t& Blue) {
  Red = static_cast<uint8_t>(Channel(1 - Clamp(Cyan, 0, 1)));
  Green = static_cast<uint8_t>(Channel(1 - Clamp(Magenta, 0, 1)));
  Blue = static_cast<uint8_t>(Channel(1 - Clamp(Yellow, 0, 1)));
}

void CMYtoCMYK(double& Cyan, double& Magenta, double& Yellow, double& Black) {
  Cyan = Clamp(Cyan, 0, 1);
  Magenta = Clamp(Magenta, 0, 1);
  Yellow = Clamp(Yellow, 0, 1);
  Black = std::min({Cyan, Magenta, Yellow});
  Cyan -= Black;
  Magenta -= Black;
  Yellow -= Black;
}

void CMYKtoCMY(double& Cyan, double& Magenta, double& Yellow, double Black) {
  Cyan = Clamp(Cyan + Black, 0, 1);
  Magenta = Clamp(Magenta + Black, 0, 1);
  Yellow = Clamp(Yellow + Black, 0, 1);
}

// --- grey and distance -------------------------------------------------------

int RGBtoGray(int Red, int Green, int Blue) {
  return Nint(0.30L * Red + 0.59L * Green + 0.11L * Blue);
}

TColor RGBtoGrayColor(int Red, int Green, int Blue) {
  const int gray = RGBtoGray(Red, Green, Blue);
  return RGBToColor(gray, gray, gray);
}

int ColorToGray(TColor Color) {
  return RGBtoGray(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

TColor ColorToGrayColor(TColor Color) {
  return RGBtoGrayColor(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

double RGBColorDistance(TColor Color1, TColor Color2) {
  const int32_t dr = GetRValue(Color1) - GetRValue(Color2);
  const int32_t dg = GetGValue(Color1) - GetGValue(Color2);
  const int32_t db = GetBValue(Color1) - GetBValue(Color2);
  const int32_t sum = dr * dr + dg * dg + db * db;  // at most 195075
  return std::sqrt(sum / 195075.0);
}

// --- interpolation and simple transformations --------------------------------

TColor InterpolateColor(TColor Color1, TColor Color2, double Fraction) {
  const long double f = std::isnan(Fraction) ? 1 : Clamp(Fraction, 0, 1);
  return RGBToColor(Blend(GetRValue(Color1), GetRValue(Color2), f),
                    Blend(GetGValue(Color1), GetGValue(Color2), f),
                    Blend(GetBValue(Color1), GetBValue(Color2), f));
}

TColor Interpolate3Colors(TColor Color1, TColor Color2, TColor Color3, double Fraction) {
  const long double f = std::isnan(Fraction) ? 1 : Clamp(Fraction, 0, 1);
  TColor from = Color1, to = Color2;
  long double g = 2 * f;
  if (f > 0.5L) {
    from = Color2;
    to = Color3;
    g = (f - 0.5L) * 2;
  }
  return RGBToColor(Blend(GetRValue(from), GetRValue(to), g),
                    Blend(GetGValue(from), GetGValue(to), g),
                    Blend(GetBValue(from), GetBValue(to), g));
}

TColor MeanColor(TColor Color1, TColor Color2) { return InterpolateColor(Color1, Color2, 0.5); }

TColor ReverseRGBColor(TColor Color) {
  return RGBToColor(GetBValue(Color), GetGValue(Color), GetRValue(Color));
}

TColor InvertColor(TColor Color) {
  return RGBToColor(255 - GetRValue(Color), 255 - GetGValue(Color), 255 - GetBValue(Color));
}

// --- hexadecimal text --------------------------------------------------------

String ColorToHexStr(TColor Color) { return HexDigits(Color, 8); }

TColor HexStrToColor(StringView S) {
  const String s = StripLTBlanks(S);
  if (s.empty()) return 0;
  // After a leading '$' the scanner skips the blanks that follow it.
  int pos = s[0] == u'$' ? 2 : 1;
  return ScanHexInteger(s, pos);
}

String ColorToWebHex(TColor Color) {
  return u"#" + HexDigits(ReverseRGBColor(Color), 6);  // blue in the low byte: red is written first
}

bool TryWebHexToColor(StringView S, TColor& Color) {
  if (!S.empty() && S[0] == u'#') S.remove_prefix(1);
  if (S.size() != 6 && S.size() != 3) return false;
  uint32_t v = 0;  // the digits read as one number: red first
  for (char16_t c : S) {
    uint32_t d;
    if (c >= u'0' && c <= u'9') {
      d = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      d = c - u'a' + 10u;
    } else if (c >= u'A' && c <= u'F') {
      d = c - u'A' + 10u;
    } else {
      return false;
    }
    v = S.size() == 6 ? (v << 4) | d : (v << 8) | (d << 4) | d;
  }
  Color = RGBToColor(static_cast<int>(v >> 16), static_cast<int>(v >> 8), static_cast<int>(v));
  return true;
}

// --- wavelength and random colours ---------------------------------------------

TColor WavelengthToColor(int Wavelength, double Gamma) {
  const long double w = Wavelength;
  long double r = 0, g = 0, b = 0;
  if (Wavelength >= 380 && Wavelength < 440) {
    r = (440 - w) / 60;
    b = 1;
  } else if (Wavelength >= 440 && Wavelength < 490) {
    g = (w - 440) / 50;
    b = 1;
  } else if (Wavelength >= 490 && Wavelength < 510) {
    g = 1;
    b = (510 - w) / 20;
  } else if (Wavelength >= 510 && Wavelength < 580) {
    r = (w - 510) / 70;
    g = 1;
  } else if (Wavelength >= 580 && Wavelength < 645) {
    r = 1;
    g = (645 - w) / 65;
  } else if (Wavelength >= 645 && Wavelength < 780) {
    r = 1;
  }
  long double factor = 1;
  if (Wavelength > 700) {
    factor = 0.3L + 0.7L * (780 - w) / 80;
  } else if (Wavelength < 420) {
    factor = 0.3L + 0.7L * (w - 380) / 40;
  }
  if (factor < 0) factor = 0;
  const auto adjust = [&](long double c) -> int {
    if (factor == 0 || c == 0) return 0;
    return std::clamp(Nint(255 * std::exp(Gamma * std::log(c * factor))), 0, 255);
  };
  return RGBToColor(adjust(r), adjust(g), adjust(b));
}

TColor RandomColor() {
  const int blue = Random(256);
  const int green = Random(256);
  const int red = Random(256);
  return RGBToColor(red, green, blue);
}

TColor RandomColor(uint8_t RedLow, uint8_t RedHigh, uint8_t GreenLow, uint8_t GreenHigh,
                   uint8_t BlueLow, uint8_t BlueHigh) {
  const auto draw = [](uint8_t low, uint8_t high) {
    return static_cast<uint8_t>(low + Random(high - low + 1));
  };
  const uint8_t blue = draw(BlueLow, BlueHigh);
  const uint8_t green = draw(GreenLow, GreenHigh);
  const uint8_t red = draw(RedLow, RedHigh);
  return RGBToColor(red, green, blue);
}

}  // namespace zel
