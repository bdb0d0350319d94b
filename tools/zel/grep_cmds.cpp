// Subcommand over the regular-expression component: grep.
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "zel/stringl/grep.h"
#include "zel/zelbase/errors.h"

namespace zel::cli {
namespace {

int Grep(const ParsedArgs& args);

constexpr Option kGrepOptions[] = {
    {"ignore-case", 'i', {}, "ignore the case of A-Z"},
    {"explain", 0, {}, "print the compiled token list and the error state instead"},
};

constexpr Command kCommands[] = {
    {.name = "grep", .summary = "print the lines that match a pattern",
     .operands = "PATTERN [FILE...]",
     .description =
         "Prints the lines of the FILEs (stdin when none, or for \"-\") in which\n"
         "PATTERN has a match, each preceded by its file name and ':' when there\n"
         "are several files.  Exit status 0 when a line matched, 1 when none did\n"
         "(or a file could not be read), 2 for a bad pattern.\n\n"
         "Patterns: abc literal, . any character, [a-z] and [^a-z] sets, ^ start,\n"
         "$ end, (abc) a literal group, * + ? after an item (after a literal only\n"
         "its last character repeats), \\c the character c, \\#hh the character\n"
         "with hexadecimal code hh.",
     .options = kGrepOptions, .main = &Grep},
};

// Prints the matching lines of one input; the lines stream through one
// reused buffer, so memory does not grow with the input.
bool GrepInput(TGrep& grep, const Input& in, const std::string& prefix, OutBuffer& out,
               bool& matched) {
  TLineReader reader = LineReader(in);
  String line;
  std::string_view raw;
  while (reader.ReadLine(raw)) {
    line.clear();
    if (reader.LastLineAscii()) {
      AppendByteChars(line, raw);
    } else {
      AppendFromUtf8(line, raw);
    }
    int pos = 0;
    if (!grep.MatchString(line, pos)) continue;
    matched = true;
    out.Append(prefix);
    // An ASCII line is its own UTF-8 form; others are written as decoded.
    if (reader.LastLineAscii()) {
      out.Append(raw);
      out.Append('\n');
    } else {
      out.Line(line);
    }
  }
  return ReadSucceeded(reader, in);
}

int Grep(const ParsedArgs& args) {
  args.RequireOperands(1, -1, "PATTERN");
  const std::string& pattern = args.Operands()[0];
  TGrep grep(nullptr);
  grep.SetName(u"grep");
  grep.SetIgnoreCase(args.Has("ignore-case"));
  if (args.Has("explain")) {
    grep.SetStopOnError(false);
    grep.SetRegExp(FromUtf8(pattern));
    for (const String& line : grep.RegExpListing()) PrintLine(line);
    return grep.LastError() == 0 ? kOk : kUsage;
  }
  try {
    grep.SetRegExp(FromUtf8(pattern));
  } catch (const EZELStringlError& e) {
    return Fail(ToUtf8(e.Message()), kUsage);
  }

  std::vector<std::string> files(args.Operands().begin() + 1, args.Operands().end());
  if (files.empty()) files.emplace_back("-");
  const bool with_names = files.size() > 1;
  bool matched = false, failed = false;
  OutBuffer out;
  for (const std::string& file : files) {
    const Input in = OpenInput(file);
    if (in.stream == nullptr ||
        !GrepInput(grep, in, with_names ? file + ":" : std::string(), out, matched)) {
      failed = true;
    }
  }
  return matched && !failed ? kOk : kFailure;
}

const CommandGroup kGroup(52, kCommands);

}  // namespace

}  // namespace zel::cli
