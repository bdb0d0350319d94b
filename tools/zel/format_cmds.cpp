// Subcommands for number formatting and text transforms: fmt, scramble, text.
#include <iostream>

#include "tools/zel/cli.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/stringl.h"

namespace zel::cli {
namespace {

int Fmt(const ParsedArgs& args);

constexpr Option kFmtOptions[] = {
    {"decimals", 0, "D", "strff: D digits after the point (default 2); -2: scientific"},
    {"sig", 0, "N", "SigDigStr: N significant digits in a field of W"},
    {"auto", 0, "N", "AutoFormatData: N significant digits, compact (no width)"},
    {"width", 0, "W", "field width (default 0); a negative W pads with zeros"},
    {"plus", 0, {}, "strffForcePlus: '+' before values that are not negative"},
};
int ScrambleCmd(const Args& args);
int Text(const Args& args);

constexpr Command kCommands[] = {
    {.name = "fmt", .summary = "format a number: fixed, scientific, significant digits",
     .operands = "VALUE",
     .description =
         "Prints VALUE ('.' decimal point, exponent allowed, INF and NAN too, a\n"
         "leading '-' included) as the library formats it, with one of --decimals,\n"
         "--sig and --auto.  The text is printed as is, leading blanks included.",
     .options = kFmtOptions, .main = &Fmt},
    {"scramble", "scramble or descramble text with a seeded permutation",
     "[--seed N] [-d] [FILE]\n\n"
     "Replaces every character of code 1..255 of FILE (stdin when no FILE) through\n"
     "a permutation built from the seed (default 5261); -d reverses it.  Other\n"
     "characters, line ends included, pass through their permutation or unchanged\n"
     "alike, so 'zel scramble | zel scramble -d' gives the input back.  Input is\n"
     "read as UTF-8 (invalid bytes as Windows-1252), output written as UTF-8.\n"
     "Hides text from casual reading; it is not encryption.",
     &ScrambleCmd},
    {"text", "transform each line: capitals, case, umlauts, safe characters",
     "--capitalize|--swapcase|--umlauts|--az09|--fn83|--reverse [FILE]\n\n"
     "Transforms each line of FILE (stdin when no FILE):\n"
     "  --capitalize  first letter of every word a capital (CapitalizeString)\n"
     "  --swapcase    small letters to capitals and back (ChangeCase)\n"
     "  --umlauts     ä ö ü ß µ Ä Ö Ü written out in ASCII (ExpandDiphthongs)\n"
     "  --az09        all but A-Z, a-z, 0-9 replaced by '_' (ReduceStringToAZ09)\n"
     "  --fn83        all but file-name-safe characters replaced by '_'\n"
     "                (ReduceStringToFN83CompliantChars)\n"
     "  --reverse     the characters of the line in reverse order (ReverseString)",
     &Text},
};

// Reads an integer option value; false (after a usage message) when it is none.
bool IntArg(const Command& cmd, const Args& args, size_t& i, int& value, int& status) {
  if (i + 1 >= args.size()) {
    status = UsageError(cmd, "option '" + args[i] + "' needs a value");
    return false;
  }
  const std::string& text = args[++i];
  if (!TryStrToInt(FromUtf8(text), value)) {
    status = UsageError(cmd, "'" + text + "' is not an integer");
    return false;
  }
  return true;
}

// A whole integer option value (the library's integer text).
int IntOption(const ParsedArgs& args, std::string_view key, int fallback) {
  if (!args.Has(key)) return fallback;
  const std::string text = args.Get(key);
  int value = 0;
  if (!TryStrToInt(FromUtf8(text), value)) throw BadUsage("'" + text + "' is not an integer");
  return value;
}

int Fmt(const ParsedArgs& args) {
  if (args.Operands().empty()) throw BadUsage("VALUE is missing");
  args.RequireOperands(1, 1);
  const std::string& value_text = args.Operands()[0];
  const int width = IntOption(args, "width", 0);
  const int decimals = IntOption(args, "decimals", 2);
  const int sig = IntOption(args, "sig", 0), autosig = IntOption(args, "auto", 0);
  const bool use_sig = args.Has("sig"), use_auto = args.Has("auto"), plus = args.Has("plus");
  if (args.Has("decimals") + use_sig + use_auto > 1)
    throw BadUsage("--decimals, --sig and --auto exclude each other");
  if (plus && (use_sig || use_auto)) throw BadUsage("--plus goes with --decimals only");
  long double x;
  if (!TryStrToExtended(FromUtf8(value_text), x)) {
    throw BadUsage("'" + value_text + "' is not a number");
  }
  const double d = static_cast<double>(x);
  if (use_sig) {
    PrintLine(SigDigStr(d, width, sig));
  } else if (use_auto) {
    PrintLine(AutoFormatData(d, autosig));
  } else {
    PrintLine(plus ? strffForcePlus(x, width, decimals) : strff(x, width, decimals));
  }
  return kOk;
}

int ScrambleCmd(const Args& args) {
  const Command& cmd = kCommands[1];
  int seed = 5261;
  bool descramble = false;
  std::string path;
  bool have_path = false;
  int status = kOk;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--seed") {
      if (!IntArg(cmd, args, i, seed, status)) return status;
    } else if (a == "-d" || a == "--descramble") {
      descramble = true;
    } else if (int s = TakeOperand(cmd, a, path, have_path); s != kOk) {
      return s;
    }
  }
  // Lines with their line ends, joined: the text exactly as read.
  std::vector<String> lines;
  if (!ReadLines(path, lines, /*keep_line_ends=*/true)) return kFailure;
  String text;
  for (const String& line : lines) text += line;
  InitScramble(seed);
  std::cout << ToUtf8(descramble ? DeScramble(text) : Scramble(text));
  return kOk;
}

int Text(const Args& args) {
  const Command& cmd = kCommands[2];
  String (*transform)(StringView) = nullptr;
  std::string path;
  bool have_path = false;
  static const struct {
    const char* option;
    String (*fn)(StringView);
  } kModes[] = {
      {"--capitalize", &CapitalizeString}, {"--swapcase", &ChangeCase},
      {"--umlauts", &ExpandDiphthongs},    {"--az09", &ReduceStringToAZ09},
      {"--fn83", &ReduceStringToFN83CompliantChars}, {"--reverse", &ReverseString},
  };
  for (const std::string& a : args) {
    bool matched = false;
    for (const auto& m : kModes) {
      if (a == m.option) {
        if (transform) return UsageError(cmd, "give one transform only");
        transform = m.fn;
        matched = true;
      }
    }
    if (matched) continue;
    if (int s = TakeOperand(cmd, a, path, have_path); s != kOk) return s;
  }
  if (!transform) return UsageError(cmd, "name a transform, e.g. --capitalize");
  std::vector<String> lines;
  if (!ReadLines(path, lines)) return kFailure;
  for (const String& line : lines) PrintLine(transform(line));
  return kOk;
}

const CommandGroup kGroup(51, kCommands);

}  // namespace
}  // namespace zel::cli
