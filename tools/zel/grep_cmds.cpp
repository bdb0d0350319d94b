// Subcommand over the regular-expression component: grep.
#include <iostream>

#include "tools/zel/cli.h"
#include "zel/stringl/grep.h"
#include "zel/zelbase/errors.h"

namespace zel::cli {
namespace {

int Grep(const Args& args);

constexpr Command kCommands[] = {
    {"grep", "print the lines that match a pattern",
     "[-i] [--explain] PATTERN [FILE...]\n\n"
     "Prints the lines of the FILEs (stdin when none) in which PATTERN has a\n"
     "match, each preceded by its file name and ':' when there are several\n"
     "files.  Exit status 0 when a line matched, 1 when none did (or a file\n"
     "could not be read), 2 for a bad pattern.\n\n"
     "  -i         ignore the case of A-Z\n"
     "  --explain  print the compiled token list and the error state instead\n\n"
     "Patterns: abc literal, . any character, [a-z] and [^a-z] sets, ^ start,\n"
     "$ end, (abc) a literal group, * + ? after an item (after a literal only\n"
     "its last character repeats), \\c the character c, \\#hh the character\n"
     "with hexadecimal code hh.",
     &Grep},
};

int Grep(const Args& args) {
  const Command& cmd = kCommands[0];
  bool ignore_case = false, explain = false, options_done = false;
  std::string pattern;
  bool have_pattern = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (!options_done && a == "--") {
      options_done = true;
    } else if (!options_done && a == "-i") {
      ignore_case = true;
    } else if (!options_done && a == "--explain") {
      explain = true;
    } else if (!options_done && a.size() > 1 && a[0] == '-') {
      return UsageError(cmd, "unknown option '" + a + "'");
    } else if (!have_pattern) {
      pattern = a;
      have_pattern = true;
    } else {
      files.push_back(a);
    }
  }
  if (!have_pattern) return UsageError(cmd, "missing PATTERN");

  TGrep grep(nullptr);
  grep.SetName(u"grep");
  grep.SetIgnoreCase(ignore_case);
  if (explain) {
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

  if (files.empty()) files.emplace_back();
  const bool with_names = files.size() > 1;
  bool matched = false, failed = false;
  for (const std::string& file : files) {
    std::vector<String> lines;
    if (!ReadLines(file, lines)) {
      failed = true;
      continue;
    }
    const std::string prefix = with_names ? (file.empty() ? "-" : file) + ":" : "";
    for (const String& line : lines) {
      int pos = 0;
      if (!grep.MatchString(line, pos)) continue;
      matched = true;
      std::cout << prefix << ToUtf8(line) << '\n';
    }
  }
  return matched && !failed ? kOk : kFailure;
}

const CommandGroup kGroup(52, kCommands);

}  // namespace

}  // namespace zel::cli
