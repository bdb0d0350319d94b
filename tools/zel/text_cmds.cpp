// Subcommands over plain text: csvdelim, words.
#include <iostream>

#include "tools/zel/cli.h"
#include "zel/stringl/stringl.h"
#include "zel/zelbase/csvdelim.h"

namespace zel::cli {
namespace {

int CsvDelim(const ParsedArgs& args);
int Words(const ParsedArgs& args);

constexpr Command kCommands[] = {
    {.name = "csvdelim", .summary = "name the CSV delimiter of a file's first line",
     .operands = "[FILE]",
     .description =
         "Prints the delimiter that occurs most often in the first line of FILE\n"
         "(stdin when no FILE): blank, semicolon, comma, colon, tab, or undefined.",
     .main = &CsvDelim},
    {.name = "words", .summary = "count the words of a text",
     .operands = "[FILE]",
     .description =
         "Prints the number of words in FILE (stdin when no FILE).  A word is a\n"
         "run of two or more characters between separators (blank, line end and\n"
         "the punctuation \"#%'()*+,-./:;<=>[\\]{}); a one-character run is no word.",
     .main = &Words},
};

int CsvDelim(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  // Only the first line is read, whatever follows it.
  TLineReader reader = LineReader(in);
  String first;
  const bool any = reader.ReadLine(first);
  if (!ReadSucceeded(reader, in)) return kFailure;
  const TCSVDelimiters d = any ? DetectCSVDelimiter(first) : csvUnknown;
  PrintLine(CSVDELIMITERIDS[d]);
  return kOk;
}

int Words(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  // Line ends are kept: they separate the last word of a line from the next.
  TLineReader reader = LineReader(in, leKeep);
  long long total = 0;
  for (String line; reader.ReadLine(line);) total += CountWords(line);
  if (!ReadSucceeded(reader, in)) return kFailure;
  std::cout << total << '\n';
  return kOk;
}

const CommandGroup kGroup(50, kCommands);

}  // namespace

}  // namespace zel::cli
