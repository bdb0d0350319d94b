// Subcommands for number formatting and text transforms: fmt, scramble, text.
#include <iostream>

#include "tools/zel/cli.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/stringl.h"

namespace zel::cli {
namespace {

int Fmt(const Args& args);
int ScrambleCmd(const Args& args);
int Text(const Args& args);

constexpr Command kCommands[] = {
    {"fmt", "format a number: fixed, scientific, significant digits",
     "VALUE [--width W] [--decimals D | --sig N | --auto N] [--plus]\n\n"
     "Prints VALUE ('.' decimal point, exponent allowed, INF and NAN too) as\n"
     "the library formats it:\n"
     "  --decimals D  strff: D digits after the point (default 2); D = -2 gives\n"
     "                scientific text in W characters with a two-digit exponent\n"
     "  --sig N       SigDigStr: N significant digits in a field of W\n"
     "  --auto N      AutoFormatData: N significant digits, compact (no width)\n"
     "  --width W     field width (default 0); a negative W pads with zeros\n"
     "  --plus        strffForcePlus: a '+' before values that are not negative\n"
     "                (with --decimals only)\n"
     "The text is printed as is, leading blanks included.",
     &Fmt},
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

// An argument that looks like an option (but a negative number or "-").
int Fmt(const Args& args) {
  const Command& cmd = kCommands[0];
  int width = 0, decimals = 2, sig = 0, autosig = 0;
  int modes = 0;  // how many of --decimals, --sig, --auto were given
  bool use_sig = false, use_auto = false, plus = false;
  std::string value_text;
  bool have_value = false;
  int status = kOk;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--width") {
      if (!IntArg(cmd, args, i, width, status)) return status;
    } else if (a == "--decimals") {
      if (!IntArg(cmd, args, i, decimals, status)) return status;
      ++modes;
    } else if (a == "--sig") {
      if (!IntArg(cmd, args, i, sig, status)) return status;
      use_sig = true;
      ++modes;
    } else if (a == "--auto") {
      if (!IntArg(cmd, args, i, autosig, status)) return status;
      use_auto = true;
      ++modes;
    } else if (a == "--plus") {
      plus = true;
    } else if (int s = TakeOperand(cmd, a, value_text, have_value); s != kOk) {
      return s;
    }
  }
  if (!have_value) return UsageError(cmd, "VALUE is missing");
  if (modes > 1) return UsageError(cmd, "--decimals, --sig and --auto exclude each other");
  if (plus && (use_sig || use_auto)) return UsageError(cmd, "--plus goes with --decimals only");
  long double x;
  if (!TryStrToExtended(FromUtf8(value_text), x)) {
    return UsageError(cmd, "'" + value_text + "' is not a number");
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
