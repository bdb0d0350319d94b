// Subcommands over colours: color, colors, palette.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/colorspec.h"
#include "tools/zel/draw_helper.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filename.h"
#include "zel/platform/numconv.h"
#include "zel/platform/syserror.h"
#include "zel/platform/textfile.h"
#include "zel/stringl/charclass.h"
#include "zel/stringl/numscan.h"
#include "zel/zelcolors/zelcolors.h"

namespace zel::cli {
namespace {

int Color(const ParsedArgs& args);
int Colors(const ParsedArgs& args);
int Palette(const ParsedArgs& args);

constexpr int kMaxPaletteSize = 1000000;

constexpr Option kColorOptions[] = {
    {"wavelength", 0, "NM", "the colour of light of NM nanometres (380 to 779 visible)"},
    {"gamma", 0, "G", "raise the wavelength colour's components to the power G (default 1)"},
};
constexpr Option kPaletteOptions[] = {
    {"size", 0, "N", "number of entries (default 1000, at most 1000000)"},
    {"levels", 0, "K", "fill in K bands (default 0: smooth)"},
    {"gamma", 0, "G", "stretch the low end logarithmically (0 none .. 1 full)"},
    {"mirror", 0, {}, "reverse the palette"},
    {"invert", 0, {}, "invert every colour"},
    {"out", 0, "FILE", "write the palette file to FILE instead of stdout"},
    {"png", 0, "FILE", "draw the palette as a strip into the PNG file FILE"},
};

constexpr Command kCommands[] = {
    {.name = "color", .summary = "a colour in every colour model",
     .operands = "SPEC | --wavelength NM [--gamma G]",
     .description =
         "SPEC is a colour name (SkyBlue; case and blanks do not matter), a web\n"
         "colour #RRGGBB, a TColor in hexadecimal ($00EBCE87: top byte, blue, green,\n"
         "red), or r,g,b with components 0..255.  --wavelength gives the colour of\n"
         "light of NM nanometres (visible from 380 to 779), its components raised\n"
         "to the power G (default 1).\n\n"
         "Prints one 'key: value' line each for name (the first named colour with\n"
         "exactly this value, else the eight hex digits and the nearest named\n"
         "colour), rgb, web, tcolor, hsl, hsv, hsi, cmy, cmyk and gray.  A hue of\n"
         "-1 is undefined (a grey in HSV and HSI).",
     .options = kColorOptions, .main = &Color},
    {.name = "colors", .summary = "list the named colours",
     .operands = "[TEXT]",
     .description =
         "Lists the 466 named colours in table order, one 'Name #RRGGBB' line each;\n"
         "with TEXT only those whose name contains it (case ignored).  Exit status\n"
         "1 when no name matches, 2 when the list cannot be written.",
     .main = &Colors},
    {.name = "palette", .summary = "build a colour palette and write its file",
     .operands = "BASE",
     .description =
         "BASE is a predefined palette (rainbow, geo1, geo2, geo3, circle,\n"
         "morgenstemning, contrast) or a comma-separated list of colours (names,\n"
         "#RRGGBB or $hex).  The palette of N entries is filled by interpolating\n"
         "between the base colours; then stretched, mirrored and inverted, in this\n"
         "order.  The palette file (first and last entry number, then one TColor\n"
         "per line as eight hex digits, CR LF line ends) goes to stdout or FILE.\n\n"
         "--png draws the palette as a strip 40 pixels high, one column per entry\n"
         "(at most 2000 columns, entries picked evenly beyond that), first entry on\n"
         "the left; the palette file is then written only when --out is given.",
     .options = kPaletteOptions, .main = &Palette},
};

std::string Fixed(double x, int digits) { return ToUtf8(FloatToText(x, 0, digits)); }

std::string Hue(double h) { return h == -1 ? "-1 (undefined)" : Fixed(h, 2); }

std::string Web(TColor c) { return "#" + ToUtf8(HexDigits(ReverseRGBColor(c), 6)); }

void Describe(TColor color) {
  String name = ObtainColorName(color);
  std::string line = "name: " + ToUtf8(name);
  if (name == ColorToHexStr(color)) {
    int nearest = 1;
    double best = 2;
    for (int i = AllZELColors.Low(); i <= AllZELColors.High(); ++i) {
      const double d = RGBColorDistance(color, AllZELColors[i]);
      if (d < best) {
        best = d;
        nearest = i;
      }
    }
    line += " (nearest: " + ToUtf8(AllZELColorNames[nearest]) + ", distance " + Fixed(best, 4) + ")";
  }
  std::cout << line << '\n';
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  std::cout << "rgb: " << r << ',' << g << ',' << b << '\n';
  std::cout << "web: " << Web(color) << '\n';
  std::cout << "tcolor: $" << ToUtf8(ColorToHexStr(color)) << '\n';
  double h, s, x;
  ColorToHSL(color, h, s, x);
  std::cout << "hsl: h=" << Hue(h) << " s=" << Fixed(s, 4) << " l=" << Fixed(x, 4) << '\n';
  ColorToHSV(color, h, s, x);
  std::cout << "hsv: h=" << Hue(h) << " s=" << Fixed(s, 4) << " v=" << Fixed(x, 4) << '\n';
  ColorToHSI(color, h, s, x);
  std::cout << "hsi: h=" << Hue(h) << " s=" << Fixed(s, 4) << " i=" << Fixed(x, 4) << '\n';
  double c, m, y, k;
  RGBtoCMY(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), c, m, y);
  std::cout << "cmy: c=" << Fixed(c, 4) << " m=" << Fixed(m, 4) << " y=" << Fixed(y, 4) << '\n';
  CMYtoCMYK(c, m, y, k);
  std::cout << "cmyk: c=" << Fixed(c, 4) << " m=" << Fixed(m, 4) << " y=" << Fixed(y, 4)
            << " k=" << Fixed(k, 4) << '\n';
  std::cout << "gray: " << ColorToGray(color) << " (" << Web(ColorToGrayColor(color)) << ")\n";
}

int Color(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const std::string spec = args.Operands().empty() ? std::string() : args.Operands()[0];
  if (!args.Has("wavelength")) {
    if (args.Has("gamma")) throw BadUsage("--gamma goes with --wavelength");
    if (spec.empty()) throw BadUsage("missing SPEC");
    TColor color = 0;
    if (!ParseColor(spec, true, color)) throw BadUsage("not a colour: '" + spec + "'");
    Describe(color);
    return kOk;
  }
  if (!spec.empty()) throw BadUsage("give either SPEC or --wavelength");
  const int nm = static_cast<int>(args.GetInt("wavelength", 0, INT32_MIN, INT32_MAX));
  Describe(WavelengthToColor(nm, args.GetDouble("gamma", 1)));
  return kOk;
}

int Colors(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  if (!args.Operands().empty()) AnswersNoMatch();
  const String filter = args.Operands().empty() ? String() : LowerCase(FromUtf8(args.Operands()[0]));
  bool any = false;
  for (int i = AllZELColorNames.Low(); i <= AllZELColorNames.High(); ++i) {
    const StringView name = AllZELColorNames[i];
    if (LowerCase(name).find(filter) == String::npos) continue;
    std::string text = ToUtf8(name);
    text.resize(std::max<size_t>(text.size() + 1, 21), ' ');
    std::cout << text << Web(AllZELColors[i]) << '\n';
    any = true;
  }
  return any ? kOk : kNoMatch;
}

struct NamedPalette {
  std::string_view name;
  std::span<const TColor> colors;
};

int Palette(const ParsedArgs& args) {
  const NamedPalette named[] = {
      {"rainbow", ColorArray_Rainbow}, {"geo1", ColorArray_Geo1},
      {"geo2", ColorArray_Geo2},       {"geo3", ColorArray_Geo3},
      {"circle", ColorArray_Circle},   {"morgenstemning", ColorArray_MorgenStemning},
      {"contrast", ColorArray_Contrast},
  };
  args.RequireOperands(1, 1, "BASE");
  const std::string& base = args.Operands()[0];
  const auto size = static_cast<int32_t>(args.GetInt("size", 1000, 1, kMaxPaletteSize));
  const auto levels = static_cast<int32_t>(args.GetInt("levels", 0, INT32_MIN, INT32_MAX));
  const bool have_gamma = args.Has("gamma");
  const double gamma = args.GetDouble("gamma", 0);
  const bool mirror = args.Has("mirror"), invert = args.Has("invert");
  const std::string out = args.Get("out");

  std::vector<TColor> colors;
  for (const auto& p : named) {
    if (ToUtf8(LowerCase(FromUtf8(base))) == p.name) colors.assign(p.colors.begin(), p.colors.end());
  }
  if (colors.empty()) {
    for (const std::string& item : SplitCommas(base)) {
      TColor c = 0;
      if (!ParseColor(item, false, c)) {
        throw BadUsage("not a palette or colour: '" + item + "'");
      }
      colors.push_back(c);
    }
  }

  TColorArray palette(nullptr);
  palette.SetSize(size);
  palette.FillByInterpolation(levels, colors);
  if (have_gamma) palette.LogTransform(gamma);
  if (mirror) palette.MirrorColors();
  if (invert) palette.InvertColors();

  if (args.Has("png")) {
    const std::string png = args.Get("png");
    const int width = std::min(palette.Size(), 2000);
    std::vector<TColor> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
      columns[static_cast<size_t>(x)] =
          palette.GetColorElem(static_cast<int>(1 + int64_t{x} * palette.Size() / width)) & 0xFFFFFF;
    }
    if (SavePngStrip(columns, 40, png) != kOk) return kFailure;
    if (!args.Has("out")) return kOk;
  }
  if (args.Has("out")) {
    errno = 0;
    if (!palette.StoreOnFile(1, palette.Size(), FileNameFromBytes(out))) {
      return Fail(Quoted(out) + ": " + (errno != 0 ? std::strerror(errno) : "cannot be written"));
    }
    return kOk;
  }
  try {
    TextFile f;
    f.AssignFile(u"");  // standard output
    f.Rewrite();
    const bool ok = palette.WriteToOpenTextFile(f, 1, palette.Size());
    f.Close();
    return ok ? kOk : Fail("write error");
  } catch (const EInOutError& e) {
    return Fail("write error: " + ToUtf8(SysErrorMessage(e.ErrorCode())));
  }
}

const CommandGroup kGroup(40, kCommands);

}  // namespace
}  // namespace zel::cli
