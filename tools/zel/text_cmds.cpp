// Subcommands over plain text: csvdelim, words.
#include <algorithm>
#include <array>
#include <iostream>

#include "tools/zel/cli.h"
#include "tools/zel/textstream.h"
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

// The delimiter of a first line too long to hold: DetectCSVDelimiter's
// rule (the kind that occurs most often, the earlier kind on a tie, the
// character 0 counted as csvUnknown's) on counts taken block by block.  All
// delimiters are ASCII, which never occurs inside a UTF-8 sequence, so the
// bytes are counted as they are.
class DelimiterCounts {
 public:
  void Add(std::string_view bytes) {
    for (size_t d = 0; d < counts_.size(); ++d) {
      counts_[d] += std::count(bytes.begin(), bytes.end(), static_cast<char>(CSVDELIMITERS[d]));
    }
  }
  TCSVDelimiters Best() const {
    TCSVDelimiters best = csvUnknown;
    int64_t best_count = 0;
    for (size_t d = 0; d < counts_.size(); ++d) {
      if (counts_[d] > best_count) {
        best_count = counts_[d];
        best = static_cast<TCSVDelimiters>(d);
      }
    }
    return best;
  }

 private:
  std::array<int64_t, CSVDELIMITERS.size()> counts_{};
};

int CsvDelim(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  // Only the first line is read, whatever follows it, and only up to 1 MiB
  // of it is held: beyond, the delimiters are counted as the blocks go by.
  constexpr size_t kHold = 1 << 20;
  LineSplitter lines = LineSplitter::LfOnly();
  std::string first;
  DelimiterCounts counts;
  bool any = false, done = false, long_line = false;
  const auto piece = [&](std::string_view bytes, bool line_ends) {
    if (done) return;
    any = true;
    done = line_ends;
    if (!long_line && first.size() + bytes.size() > kHold) {
      long_line = true;
      counts.Add(first);
      std::string().swap(first);
    }
    if (long_line) counts.Add(bytes);
    else first.append(bytes);
  };
  if (!ReadBlocks(in, [&](std::string_view block) {
        lines.Feed(block, piece);
        return !done;
      })) {
    return kFailure;
  }
  if (!done) lines.Finish(piece);
  const TCSVDelimiters d = !any ? csvUnknown : long_line ? counts.Best() : DetectCSVDelimiter(FromUtf8(first));
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
