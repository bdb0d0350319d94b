// Subcommands for number formatting and text transforms: fmt, scramble, text.
#include <iostream>

#include "tools/zel/cli.h"
#include "tools/zel/textstream.h"
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
int ScrambleCmd(const ParsedArgs& args);
int Text(const ParsedArgs& args);

constexpr Option kScrambleOptions[] = {
    {"seed", 0, "N", "the seed of the permutation (default 5261)"},
    {"descramble", 'd', {}, "reverse the scrambling"},
};

// The transforms of `zel text`, one option each.
constexpr struct {
  std::string_view option;
  String (*fn)(StringView);
} kTextModes[] = {
    {"capitalize", &CapitalizeString}, {"swapcase", &ChangeCase},
    {"umlauts", &ExpandDiphthongs},    {"az09", &ReduceStringToAZ09},
    {"fn83", &ReduceStringToFN83CompliantChars}, {"reverse", &ReverseString},
};

constexpr Option kTextOptions[] = {
    {"capitalize", 0, {}, "first letter of every word a capital (CapitalizeString)"},
    {"swapcase", 0, {}, "small letters to capitals and back (ChangeCase)"},
    {"umlauts", 0, {}, "ä ö ü ß µ Ä Ö Ü written out in ASCII (ExpandDiphthongs)"},
    {"az09", 0, {}, "all but A-Z, a-z, 0-9 replaced by '_' (ReduceStringToAZ09)"},
    {"fn83", 0, {}, "all but file-name-safe characters replaced by '_' (ReduceStringToFN83CompliantChars)"},
    {"reverse", 0, {}, "the characters of the line in reverse order (ReverseString)"},
};

constexpr Command kCommands[] = {
    {.name = "fmt", .summary = "format a number: fixed, scientific, significant digits",
     .operands = "VALUE",
     .description =
         "Prints VALUE ('.' decimal point, exponent allowed, INF and NAN too, a\n"
         "leading '-' included) as the library formats it, with one of --decimals,\n"
         "--sig and --auto.  The text is printed as is, leading blanks included.",
     .options = kFmtOptions, .main = &Fmt},
    {.name = "scramble", .summary = "scramble or descramble text with a seeded permutation",
     .operands = "[FILE]",
     .description =
         "Replaces every character of code 1..255 of FILE (stdin when no FILE) through\n"
         "a permutation built from the seed (default 5261); -d reverses it.  Other\n"
         "characters, line ends included, pass through their permutation or unchanged\n"
         "alike, so 'zel scramble | zel scramble -d' gives the input back.  Input is\n"
         "read as UTF-8 (invalid bytes as Windows-1252), output written as UTF-8.\n"
         "Hides text from casual reading; it is not encryption.",
     .options = kScrambleOptions, .main = &ScrambleCmd},
    {.name = "text", .summary = "transform each line: capitals, case, umlauts, safe characters",
     .operands = "--capitalize|--swapcase|--umlauts|--az09|--fn83|--reverse [FILE]",
     .description =
         "Transforms each line of FILE (stdin when no FILE) with one of the options.\n"
         "A line longer than 64 MiB is refused (exit 1).",
     .options = kTextOptions, .main = &Text},
};

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

int ScrambleCmd(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const int seed = IntOption(args, "seed", 5261);
  const bool descramble = args.Has("descramble");
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  InitScramble(seed);
  // Each character is replaced on its own, so block by block (a UTF-8
  // sequence cut by a block's end waits for the next block) gives the same
  // text as the whole input at once, in memory of a block.
  OutBuffer out;
  std::string carry;
  String text;
  const auto convert = [&](std::string_view bytes) {
    text.clear();
    AppendFromUtf8(text, bytes);
    out.Append(ToUtf8(descramble ? DeScramble(text) : Scramble(text)));
  };
  const bool read = ReadBlocks(in, [&](std::string_view block) {
    if (!carry.empty()) {
      carry.append(block);
      block = carry;
    }
    const size_t complete = CompleteUtf8Prefix(block);
    convert(block.substr(0, complete));
    std::string rest(block.substr(complete));
    carry = std::move(rest);
    return true;
  });
  if (!carry.empty()) convert(carry);
  return read ? kOk : kFailure;
}

int Text(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  String (*transform)(StringView) = nullptr;
  for (const auto& m : kTextModes) {
    if (!args.Has(m.option)) continue;
    if (transform) throw BadUsage("give one transform only");
    transform = m.fn;
  }
  if (!transform) throw BadUsage("name a transform, e.g. --capitalize");
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  // A transform needs its whole line: lines are held up to kMaxLine.
  OutBuffer out;
  String line;
  return ReadLinesUpTo(in, kMaxLine, [&](std::string_view bytes) {
           line.clear();
           AppendFromUtf8(line, bytes);
           out.Line(transform(line));
         })
             ? kOk
             : kFailure;
}

const CommandGroup kGroup(51, kCommands);

}  // namespace
}  // namespace zel::cli
