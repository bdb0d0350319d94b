// Subcommand `label`: writes the label element of a chart text label
// (TCustomTextLabel) from options, or reads one from a file and prints its
// settings, one `key=value` line each, under the names of the options that
// set them, so that the output reads as the options it came from.
#include <array>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/zel/cli.h"
#include "tools/zel/colorspec.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filename.h"
#include "zel/platform/numconv.h"
#include "zel/platform/syserror.h"
#include "zel/platform/textfile.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/nametables.h"
#include "zel/zelbase/textlabel.h"
#include "zel/zelcolors/colormodels.h"

namespace zel::cli {
namespace {

int Label(const ParsedArgs& args);

constexpr Option kLabelOptions[] = {
    {"caption", 'c', "TEXT", "the caption; \\n, \\r, \\t and \\\\ in TEXT are escapes"},
    {"x", 'x', "X", "horizontal position in chart coordinates (default 100)"},
    {"y", 'y', "Y", "vertical position in chart coordinates (default 10)"},
    {"layer", 0, "N", "chart layer, 1 to 16 (default 1)"},
    {"shadow-dx", 0, "N", "horizontal shadow offset in pixels (default 0)"},
    {"shadow-dy", 0, "N", "vertical shadow offset in pixels (default 0)"},
    {"border", 0, "COLOR", "frame colour (default black)"},
    {"background", 0, "COLOR", "background colour (default silver)"},
    {"shadow-color", 0, "COLOR", "shadow colour (default gray)"},
    {"transparent", 0, {}, "transparent background"},
    {"hidden", 0, {}, "the label is not shown"},
    {"align", 0, "H", "left, right or center (default)"},
    {"valign", 0, "V", "top, center or bottom (default)"},
    {"attach", 0, "A", "coordinates tied to the data: none (default), x, y, both"},
    {"mode", 0, "M", "off, simple (default), box, underline or shadow"},
    {"font", 0, "NAME", "font family (default DejaVu Sans)"},
    {"size", 0, "PT", "font size in points, 1 to 1000 (default 10)"},
    {"font-color", 0, "COLOR", "font colour (default black)"},
    {"style", 0, "LIST", "font style: bold, italic, underline, strikeout, comma-separated"},
    {"id", 0, "ID", "the element's id; with --read, the id to look for (any case)"},
    {"header", 0, {}, "start with the XML declaration"},
    {"indent", 0, "N", "blanks before each line, 1 to 255 (default 1)"},
    {"out", 'o', "FILE", "write to FILE (replaced only when complete) instead of stdout"},
    {"read", 'r', "FILE", "read a label element from FILE ('-': stdin) and print its settings"},
};

constexpr Command kCommands[] = {
    {.name = "label", .summary = "write a chart text label element, or read one back",
     .operands = "",
     .description =
         "Writes the tagged-text element of a chart text label (custtextlbl) with the\n"
         "settings given by the options to stdout or FILE.  COLOR is a colour name,\n"
         "#RRGGBB or $00BBGGRR.  The enumerations also take their own names (taCenter,\n"
         "vaTop, tlamBoth, tlBox, fsBold).\n"
         "\n"
         "With --read FILE, finds the first label element of FILE (with --id, the one\n"
         "with that id, ignoring case) and prints its settings as key=value lines, one\n"
         "per option above (visible=0 for --hidden); exit 1 when there is none, 2\n"
         "when FILE cannot be read.",
     .options = kLabelOptions, .main = &Label},
};

// The short words of the command line beside the table names, by value.
constexpr std::string_view kAlignWords[] = {"left", "right", "center"};
constexpr std::string_view kVAlignWords[] = {"top", "center", "bottom"};
constexpr std::string_view kAttachWords[] = {"none", "x", "y", "both"};
constexpr std::string_view kModeWords[] = {"off", "simple", "box", "underline", "shadow"};
constexpr std::string_view kStyleWords[] = {"bold", "italic", "underline", "strikeout"};

// The value of `words` (or of the table `names`) that `text` names.
template <size_t N, size_t M>
int Choice(const std::string_view (&words)[N], const std::array<StringView, M>& names,
           const std::string& option, const std::string& text) {
  static_assert(N == M);
  for (size_t i = 0; i < N; ++i) {
    if (text == words[i] || FromUtf8(text) == names[i]) return static_cast<int>(i);
  }
  std::string list;
  for (std::string_view w : words) list += (list.empty() ? "" : ", ") + std::string(w);
  throw BadUsage("--" + option + ": '" + text + "' is none of " + list);
}

TColor ColorOption(const ParsedArgs& args, const std::string& option, TColor fallback) {
  if (!args.Has(option)) return fallback;
  TColor c = 0;
  const std::string spec = args.Get(option);
  if (!ParseColor(spec, false, c)) throw BadUsage("--" + option + ": not a colour: '" + spec + "'");
  return c;
}

String Unescape(const std::string& text) {
  String out;
  const String s = FromUtf8(text);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'\\' && i + 1 < s.size()) {
      const Char e = s[i + 1];
      const Char c = e == u'n' ? u'\n' : e == u'r' ? u'\r' : e == u't' ? u'\t' : e == u'\\' ? u'\\' : 0;
      if (c != 0) {
        out.push_back(c);
        ++i;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

// Backslash escapes for the line breaks, tabs, other control characters
// and the backslash, so that every setting stays on its line.
std::string Escape(StringView s) {
  String out;
  for (Char c : s) {
    switch (c) {
      case u'\n': out += u"\\n"; break;
      case u'\r': out += u"\\r"; break;
      case u'\t': out += u"\\t"; break;
      case u'\\': out += u"\\\\"; break;
      default:
        if (c < 32) out += u"\\x" + HexDigits(c, 2);
        else out.push_back(c);
    }
  }
  return ToUtf8(out);
}

std::string Web(TColor c) { return "#" + ToUtf8(HexDigits(ReverseRGBColor(c & 0xFFFFFF), 6)); }

void Print(std::string_view key, const std::string& value) {
  std::cout << key << '=' << value << '\n';
}

int ReadLabel(const ParsedArgs& args) {
  AnswersNoMatch();
  for (const Option& o : kLabelOptions) {
    if (o.name != "read" && o.name != "id" && args.Has(o.Key())) {
      throw BadUsage("--read takes no other option than --id (not --" + std::string(o.name) + ")");
    }
  }
  const std::string path = args.Get("read");
  const String id = FromUtf8(args.Get("id"));
  TCustomTextLabel l;
  try {
    TextFile f(path == "-" ? String() : FileNameFromBytes(path));
    f.Reset();
    if (!l.ReadFromOpenXMLFile(f, id)) {
      Fail(Quoted(path == "-" ? std::string(kStdinName) : path) + ": no label element" +
           (id.empty() ? std::string() : " with id '" + ToUtf8(id) + "'"));
      return kNoMatch;
    }
  } catch (const EInOutError& e) {
    return FailWith(path == "-" ? std::string(kStdinName) : path, e.ErrorCode());
  }
  const auto name = [](const auto& words, size_t i) {
    return i < std::size(words) ? std::string(words[i]) : "?" + std::to_string(i);
  };
  std::string style;
  for (int s = fsBold; s <= fsStrikeOut; ++s) {
    if (!l.Font().HasStyle(static_cast<TFontStyle>(s))) continue;
    style += (style.empty() ? "" : ",") + std::string(kStyleWords[s]);
  }
  Print("caption", Escape(l.Caption()));
  Print("x", ToUtf8(FloatToStr(l.PosX())));
  Print("y", ToUtf8(FloatToStr(l.PosY())));
  Print("layer", std::to_string(l.Layer()));
  Print("shadow-dx", std::to_string(l.XShadow()));
  Print("shadow-dy", std::to_string(l.YShadow()));
  Print("border", Web(l.ColorBrd()));
  Print("background", Web(l.ColorBkg()));
  Print("shadow-color", Web(l.ColorShadow()));
  Print("transparent", l.TransPar() ? "1" : "0");
  Print("visible", l.Visible() ? "1" : "0");
  Print("align", name(kAlignWords, l.Alignment()));
  Print("valign", name(kVAlignWords, l.VertAlign()));
  Print("attach", name(kAttachWords, l.AttachDat()));
  Print("mode", name(kModeWords, l.Mode()));
  Print("font", Escape(l.Font().Name()));
  Print("size", std::to_string(l.Font().Size()));
  Print("font-color", Web(l.Font().Color()));
  Print("style", style);
  return kOk;
}

int Label(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  if (args.Has("read")) return ReadLabel(args);

  TCustomTextLabel l;
  l.SetTxtLblCaption(Unescape(args.Get("caption")));
  l.SetTxtLblPosX(args.GetDouble("x", l.PosX()));
  l.SetTxtLblPosY(args.GetDouble("y", l.PosY()));
  l.SetTxtLblLayer(static_cast<int32_t>(args.GetInt("layer", 1, 1, 16)));
  l.SetTxtLblShadowDx(static_cast<int32_t>(args.GetInt("shadow-dx", 0, INT32_MIN, INT32_MAX)));
  l.SetTxtLblShadowDy(static_cast<int32_t>(args.GetInt("shadow-dy", 0, INT32_MIN, INT32_MAX)));
  l.SetTxtLblColorBrd(ColorOption(args, "border", l.ColorBrd()));
  l.SetTxtLblColorBkg(ColorOption(args, "background", l.ColorBkg()));
  l.SetTxtLblColorShadow(ColorOption(args, "shadow-color", l.ColorShadow()));
  l.SetTxtLblTranspar(args.Has("transparent"));
  l.SetTxtLblVisible(!args.Has("hidden"));
  if (args.Has("align")) {
    l.SetTxtLblAlignment(static_cast<TAlignment>(Choice(kAlignWords, xmlAlignment, "align", args.Get("align"))));
  }
  if (args.Has("valign")) {
    l.SetTxtLblVertAlignment(static_cast<TVerticalAlignment>(
        Choice(kVAlignWords, xmlVerticalAlignment, "valign", args.Get("valign"))));
  }
  if (args.Has("attach")) {
    l.SetTxtLblScreenPos(static_cast<TTxtLblAttachMode>(
        Choice(kAttachWords, xmlTxtLblAttachMode, "attach", args.Get("attach"))));
  }
  if (args.Has("mode")) {
    l.SetTxtLblMode(static_cast<TTxtLblMode>(Choice(kModeWords, xmlTxtLblMode, "mode", args.Get("mode"))));
  }
  if (args.Has("font")) l.Font().SetName(FromUtf8(args.Get("font")));
  l.Font().SetSize(static_cast<int>(args.GetInt("size", TFont::kDefaultSize, 1, 1000)));
  l.Font().SetColor(ColorOption(args, "font-color", l.Font().Color()));
  TFontStyles style = 0;
  for (const std::string& word : SplitCommas(args.Get("style"))) {
    if (word.empty()) continue;
    style |= FontStyleBit(static_cast<TFontStyle>(Choice(kStyleWords, xmlFontStyle, "style", word)));
  }
  l.Font().SetStyle(style);
  const int indent = static_cast<int>(args.GetInt("indent", 1, 1, 255));

  const std::string out = args.Get("out");
  try {
    TextFile f;
    f.AssignFile(out == "-" ? String() : FileNameFromBytes(out));
    f.RewriteReplacing();  // standard output is written directly
    l.WriteToOpenXMLFile(f, args.Has("header"), FromUtf8(args.Get("id")), indent);
    f.Close();
  } catch (const EInOutError& e) {
    return Fail((out.empty() || out == "-" ? std::string("write error") : Quoted(out)) + ": " +
                ToUtf8(SysErrorMessage(e.ErrorCode())));
  }
  return kOk;
}

const CommandGroup kGroup(31, kCommands);

}  // namespace
}  // namespace zel::cli
