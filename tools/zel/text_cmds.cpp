// Subcommands over plain text: csvdelim, words.
#include <iostream>

#include "tools/zel/cli.h"
#include "zel/stringl/stringl.h"
#include "zel/zelbase/csvdelim.h"

namespace zel::cli {
namespace {

// Takes at most one FILE argument; anything starting with '-' (but "-"
// itself) is an unknown option.
bool OneOptionalFile(const Command& cmd, const Args& args, std::string& path, int& status) {
  bool have_path = false;
  path.clear();
  for (const auto& a : args) {
    status = TakeOperand(cmd, a, path, have_path);
    if (status != kOk) return false;
  }
  return true;
}

int CsvDelim(const ParsedArgs& args);
int Words(const Args& args);

constexpr Command kCommands[] = {
    {.name = "csvdelim", .summary = "name the CSV delimiter of a file's first line",
     .operands = "[FILE]",
     .description =
         "Prints the delimiter that occurs most often in the first line of FILE\n"
         "(stdin when no FILE): blank, semicolon, comma, colon, tab, or undefined.",
     .main = &CsvDelim},
    {"words", "count the words of a text",
     "[FILE]\n\n"
     "Prints the number of words in FILE (stdin when no FILE).  A word is a\n"
     "run of two or more characters between separators (blank, line end and\n"
     "the punctuation \"#%'()*+,-./:;<=>[\\]{}); a one-character run is no word.",
     &Words},
};

int CsvDelim(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  std::vector<String> lines;
  if (!ReadLines(args.OperandsOrStdin()[0], lines)) return kFailure;
  const TCSVDelimiters d = lines.empty() ? csvUnknown : DetectCSVDelimiter(lines.front());
  PrintLine(CSVDELIMITERIDS[d]);
  return kOk;
}

int Words(const Args& args) {
  std::string path;
  int status = kOk;
  if (!OneOptionalFile(kCommands[1], args, path, status)) return status;
  // Line ends are kept: they separate the last word of a line from the next.
  std::vector<String> lines;
  if (!ReadLines(path, lines, /*keep_line_ends=*/true)) return kFailure;
  long long total = 0;
  for (const auto& line : lines) total += CountWords(line);
  std::cout << total << '\n';
  return kOk;
}

const CommandGroup kGroup(50, kCommands);

}  // namespace

}  // namespace zel::cli
