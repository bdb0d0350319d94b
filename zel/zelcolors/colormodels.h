// zel/zelcolors/colormodels.h — conversions between the packed `TColor` and
// the colour models RGB, HSL, HSV, HSI, CMY and CMYK; grey values, colour
// distance, interpolation, hexadecimal text, wavelength to colour and random
// colours.
//
//   double h, s, l;
//   zel::RGBtoHSL(255, 0, 0, h, s, l);               // h 0, s 1, l 0.5
//   zel::TColor sky = zel::HSVtoColor(197.4, 0.43, 0.92);
//   zel::ColorToHexStr(0x0000FF)      == u"000000FF" // pure red
//   zel::HexStrToColor(u"  $0000FF ") == 0x0000FF
//   zel::ColorToWebHex(0x0000FF)      == u"#FF0000"  // the web's #RRGGBB
//   zel::TColor c;
//   if (zel::TryWebHexToColor(u"#87ceeb", c)) { /* c == 0xEBCE87 */ }
//   zel::InterpolateColor(0x000000, 0xFFFFFF, 0.5) == 0x7F7F7F
//   zel::RGBColorDistance(0x000000, 0xFFFFFF) == 1.0
//   zel::WavelengthToColor(550, 1.0)  == 0x00FF92    // red 146, green 255
//
// A `TColor` holds red in bits 0-7, green in 8-15 and blue in 16-23.
// Functions that split a colour use these three bytes only (a system-colour
// reference such as $FF00000F is read as its low bytes, never resolved);
// functions that build a colour give a top byte of 0, from the low byte of
// each component.
//
// Rounding: "nint" below is to the nearest integer with halves to even
// (127.5 -> 128); "trunc" drops the fraction.  Hues are degrees in [0, 360);
// the other model components are fractions in [0, 1].  Nothing here throws:
// inputs outside their range are clamped as each function says.
//
// Choices of this library where the rules above leave a gap:
//   * A hue that is still outside [0, 360) after the one-step normalisation
//     of `HSLtoRGB`/`HSItoRGB` (at most -360, exactly 360, above 720) is
//     reduced modulo 360.
//   * A hue, saturation, lightness, value or intensity that is not a number
//     counts as 0 (an infinite hue too); a CMY component that is not a
//     number counts as 0.
//   * `WavelengthToColor` limits each component to 0..255, so a negative or
//     not-a-number gamma cannot wrap a component round; a NaN power gives 0.
#ifndef ZEL_ZELCOLORS_COLORMODELS_H_
#define ZEL_ZELCOLORS_COLORMODELS_H_

#include <cstdint>

#include "zel/platform/string.h"
#include "zel/platform/types.h"

namespace zel {

// The components of a colour and a colour from components (low bytes).
constexpr int GetRValue(TColor Color) noexcept { return static_cast<int>(Color & 0xFF); }
constexpr int GetGValue(TColor Color) noexcept { return static_cast<int>((Color >> 8) & 0xFF); }
constexpr int GetBValue(TColor Color) noexcept { return static_cast<int>((Color >> 16) & 0xFF); }
constexpr TColor RGBToColor(int Red, int Green, int Blue) noexcept {
  return (static_cast<TColor>(Red) & 0xFF) | ((static_cast<TColor>(Green) & 0xFF) << 8) |
         ((static_cast<TColor>(Blue) & 0xFF) << 16);
}

// --- HSL -------------------------------------------------------------------
// Components are clamped to 0..255.  A grey gives hue 0 and saturation 0.
// Red wins a tie for the maximum, then green.
void RGBtoHSL(int Red, int Green, int Blue, double& Hue, double& Saturation, double& Lightness);
void ColorToHSL(TColor Color, double& Hue, double& Saturation, double& Lightness);
// A hue below 0 gets 360 added once, one above 360 loses 360 once;
// saturation and lightness are clamped to [0, 1].
void HSLtoRGB(double Hue, double Saturation, double Lightness, int& Red, int& Green, int& Blue);
TColor HSLtoColor(double Hue, double Saturation, double Lightness);

// --- HSV -------------------------------------------------------------------
// Components are used as given (not clamped).  Black gives hue 0 and
// saturation 0; any other grey gives saturation 0 and the hue -1, which
// marks an undefined hue.  Red wins a tie for the maximum, then green.
void RGBtoHSV(int Red, int Green, int Blue, double& Hue, double& Saturation, double& Value);
void ColorToHSV(TColor Color, double& Hue, double& Saturation, double& Value);
// A hue below 0 or at or above 360 (the undefined -1 too) counts as 0.
void HSVtoRGB(double Hue, double Saturation, double Value, int& Red, int& Green, int& Blue);
TColor HSVtoColor(double Hue, double Saturation, double Value);

// --- HSI -------------------------------------------------------------------
// Intensity is the mean of the components; the hue is the hexagonal hue of
// HSV.  Black gives hue 0, any other grey hue -1 (undefined).
void RGBtoHSI(int Red, int Green, int Blue, double& Hue, double& Saturation, double& Intensity);
void ColorToHSI(TColor Color, double& Hue, double& Saturation, double& Intensity);
// The hue is normalised as in `HSLtoRGB`.
void HSItoRGB(double Hue, double Saturation, double Intensity, int& Red, int& Green, int& Blue);
TColor HSItoColor(double Hue, double Saturation, double Intensity);

// --- CMY and CMYK ----------------------------------------------------------
void RGBtoCMY(uint8_t Red, uint8_t Green, uint8_t Blue, double& Cyan, double& Magenta,
              double& Yellow);
void CMYtoRGB(double Cyan, double Magenta, double Yellow, uint8_t& Red, uint8_t& Green,
              uint8_t& Blue);
// Clamps the three to [0, 1], takes the smallest as black and subtracts it
// from each (without dividing by 1 - black).
void CMYtoCMYK(double& Cyan, double& Magenta, double& Yellow, double& Black);
// Adds black to each and clamps each to [0, 1].
void CMYKtoCMY(double& Cyan, double& Magenta, double& Yellow, double Black);

// --- grey and distance -------------------------------------------------------
// nint(0.30 red + 0.59 green + 0.11 blue), in 80-bit arithmetic.
int RGBtoGray(int Red, int Green, int Blue);
TColor RGBtoGrayColor(int Red, int Green, int Blue);
int ColorToGray(TColor Color);
TColor ColorToGrayColor(TColor Color);
// The Euclidean distance of the two colours in RGB, scaled so that black to
// white is 1.
double RGBColorDistance(TColor Color1, TColor Color2);

// --- interpolation and simple transformations --------------------------------
// Per channel trunc(c1 + (c2 - c1) * Fraction) with Fraction clamped to
// [0, 1] (not a number counts as 1): every channel is rounded down.
TColor InterpolateColor(TColor Color1, TColor Color2, double Fraction);
// Color1 at 0, Color2 at 0.5 (exactly), Color3 at 1; truncated per channel.
TColor Interpolate3Colors(TColor Color1, TColor Color2, TColor Color3, double Fraction);
TColor MeanColor(TColor Color1, TColor Color2);
TColor ReverseRGBColor(TColor Color);  // swaps red and blue
TColor InvertColor(TColor Color);      // 255 - x per component

// --- hexadecimal text --------------------------------------------------------
// The whole 32-bit value as eight upper-case digits: top byte, blue, green,
// red.
String ColorToHexStr(TColor Color);
// Trims blanks, skips one leading '$' and the blanks after it, then reads
// hexadecimal digits up to the first other character.  No digits give 0;
// more than eight wrap modulo 2^32 and eight set the top byte as well.
TColor HexStrToColor(StringView S);
// The colour as HTML and CSS write it: '#' and two upper-case digits each
// for red, green and blue (the top byte is not shown).
String ColorToWebHex(TColor Color);
// Reads "#RRGGBB" or the short "#RGB" (each digit doubled, as CSS reads
// it), with or without the '#', digits in either case.  Nothing else is
// taken, not even blanks around it: false, with Color unchanged, for any
// other text.  The colour read has a top byte of 0.
[[nodiscard]] bool TryWebHexToColor(StringView S, TColor& Color);

// --- wavelength and random colours ---------------------------------------------
// The colour of light of `Wavelength` nanometres (380..779 visible, black
// outside), with the intensity falling off towards both ends, each
// component raised to the power `Gamma`.
TColor WavelengthToColor(int Wavelength, double Gamma);
// Draws from the process-wide generator (zel/platform/random.h) in the
// order blue, green, red.  The ranged form needs Low <= High per component
// (otherwise the component is Low).
TColor RandomColor();
TColor RandomColor(uint8_t RedLow, uint8_t RedHigh, uint8_t GreenLow, uint8_t GreenHigh,
                   uint8_t BlueLow, uint8_t BlueHigh);

}  // namespace zel

#endif  // ZEL_ZELCOLORS_COLORMODELS_H_
