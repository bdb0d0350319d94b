// tools/zel/grep_search.h — the search behind `zel grep`: one or several
// patterns of the library's regular-expression syntax (zel/stringl/grep.h)
// tried on every line of a file in one pass, with the lines that match
// formatted into an output buffer.
//
//   GrepOptions options;                 // what to print and how
//   options.with_names = true;
//   GrepSearcher searcher(patterns, options);   // one per thread
//   std::string out;
//   GrepFileResult r = searcher.SearchFd(fd, "src/a.txt", out);
//
// Input is read in large blocks.  When every pattern is a plain literal of
// ASCII characters (the common `zel grep foo`, `-e foo -e bar`), the block
// is searched for the literals and only the line around a hit is looked at;
// otherwise each line is decoded and matched in turn.  Both give the same
// lines: a line is decoded as UTF-8 (invalid bytes as their Windows-1252
// characters), its LF and one CR before it removed, and an ASCII literal
// occurs in the decoded line exactly when its bytes occur in the raw one.
// Memory is bounded by the block size and the longest line.
#ifndef ZEL_TOOLS_ZEL_GREP_SEARCH_H_
#define ZEL_TOOLS_ZEL_GREP_SEARCH_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zel/platform/string.h"
#include "zel/stringl/grep.h"

namespace zel::cli {

enum class GrepMode : uint8_t {
  kLines,         // print each matching line
  kCount,         // print the number of matching lines per file
  kFilesMatching, // print the name of each file with a match
  kQuiet,         // print nothing; stop at the first match
};

struct GrepOptions {
  GrepMode mode = GrepMode::kLines;
  bool ignore_case = false;
  bool with_names = false;    // "NAME:" before each line (or count)
  bool line_numbers = false;  // "N:" before each line
  bool color = false;         // SGR colours as GNU grep uses them
  bool skip_binary = false;   // a file with a NUL byte in its first block is skipped
};

struct GrepFileResult {
  int64_t matches = 0;   // matching lines (at most 1 when the mode stops at the first)
  bool binary = false;   // skipped as binary: nothing was printed
  int error = 0;         // errno of a failed read (what was found before stands)
};

// The escapes of `pattern` that mean nothing in the syntax (a backslash
// before a letter, a digit, '<' or '>': '\d' is a literal 'd'), each once,
// with what the escape matches and what to write instead.  One line each,
// without the "zel: grep: " prefix.
std::vector<std::string> GrepEscapeWarnings(std::string_view pattern);

class GrepSearcher {
 public:
  // Compiles `patterns` (UTF-8); a bad one raises EZELStringlError with the
  // library's message.  Each thread needs its own searcher: matching writes
  // into the compiled patterns.
  GrepSearcher(const std::vector<std::string>& patterns, const GrepOptions& options);
  ~GrepSearcher();

  // Searches the open file `fd` (read to its end, not closed) and appends
  // what the mode prints to `out`, `name` as the file's name.  `flush` is
  // called with `out` whenever it holds more than a block's worth (it may
  // write and clear it); may be empty.
  GrepFileResult SearchFd(int fd, std::string_view name, std::string& out,
                          const std::function<void(std::string&)>& flush = {});

 private:
  struct Pattern;
  struct Scan;
  // Whether some pattern matches the UTF-8 line `raw`; matched as bytes
  // where the engine can, so a line is decoded only when it must be.
  bool LineMatches(std::string_view raw);
  // Decodes `raw` into line_ when printing needs it (a non-ASCII line, or
  // colours); `ascii` tells whether the line is ASCII.
  void DecodeForPrinting(std::string_view raw, bool& ascii);
  void PrintLine(Scan& scan, std::string_view raw, bool ascii, int64_t line_number);
  // Lines [begin, end): each ends with an LF, but the input's last may not.
  void ProcessLines(Scan& scan, const char* begin, const char* end);
  void ProcessLiteralHits(Scan& scan, const char* begin, const char* end);
  void HandleLine(Scan& scan, const char* begin, const char* end);

  GrepOptions options_;
  std::vector<std::unique_ptr<Pattern>> patterns_;
  bool literal_search_ = false;
  String line_;  // the decoded line for printing, reused
  std::vector<char> buf_;
};

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_GREP_SEARCH_H_
