// Subcommands over text files: lines, tail, filetype, asc, crlf, findtext.
// The library reads files in blocks: `lines` counts at memory speed and
// `tail` reads only the end of a file, whatever its size; `findtext` and
// `tail` hold a few blocks however long a line is (tools/zel/textstream.h).
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/tail.h"
#include "tools/zel/textstream.h"
#include "zel/filesys/filesys.h"
#include "zel/filesys/internal/lineblocks.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filename.h"
#include "zel/platform/syserror.h"
#include "zel/streams/streamio.h"

namespace zel::cli {
namespace {

int Lines(const ParsedArgs& args);
int Tail(const ParsedArgs& args);
int FileType(const ParsedArgs& args);
int Asc(const ParsedArgs& args);
int Crlf(const ParsedArgs& args);
int FindText(const ParsedArgs& args);

constexpr Option kTailOptions[] = {
    {"lines", 'n', "N", "print the last N lines (default 10); +K: from line K on"},
};
constexpr Option kFindTextOptions[] = {
    {"ignore-case", 'i', {}, "ignore the case of letters (all alphabets)"},
};

constexpr Command kCommands[] = {
    {.name = "lines", .summary = "count the lines of files",
     .operands = "[FILE...]",
     .description =
         "Prints the number of lines of each FILE (stdin when none or '-'), two\n"
         "blanks and the name, and a total when there are several.  CR LF, LF and a\n"
         "lone CR each end a line; a last line without a line end counts.  On a\n"
         "terminal, the count so far is shown on stderr while a large file is read.",
     .main = &Lines},
    {.name = "tail", .summary = "print the last lines of a file",
     .operands = "[FILE]",
     .description =
         "Prints the last N lines of FILE (stdin when none or '-'), or with -n +K\n"
         "every line from line K on.  -N alone, as the first argument, is -n N.\n"
         "A file is read from its end in blocks, so the time goes with what is\n"
         "printed, not with the size of the file or the length of a line.  Lines\n"
         "end with CR LF, LF or a lone CR and are printed with LF.  A pipe, or a\n"
         "file whose size reads as 0 (/proc), is read to its end keeping the last\n"
         "N lines, at most 256 MiB of them.",
     .options = kTailOptions, .main = &Tail},
    {.name = "filetype", .summary = "name the encoding a file's first bytes announce",
     .operands = "[FILE...]",
     .description =
         "Prints for each FILE (stdin when none or '-') the encoding its first four bytes announce, two blanks\n"
         "and the name: UTF-8 (byte-order mark EF BB BF), UTF-16LE (FF FE), UTF-16BE\n"
         "(FE FF), UTF-32LE (FF FE 00 00), UTF-32BE (00 00 FE FF), RTF (\"{\\rtf\"), or\n"
         "unknown.  Missing bytes of a short file count as 0.",
     .main = &FileType},
    {.name = "asc", .summary = "read the header of an ASC data file",
     .operands = "[FILE]",
     .description =
         "Reads the four header lines of an ASC data file (FILE, or stdin when none\n"
         "or '-'): a comment, two counts above 0 and four TRUE/FALSE flags, and\n"
         "prints them.  A header that is not well-formed is reported with the line\n"
         "at fault (exit 1), as is one longer than 1 MiB.",
     .main = &Asc},
    {.name = "crlf", .summary = "end every CR with CR LF, in place",
     .operands = "FILE",
     .description =
         "Rewrites FILE so that every CR is followed by LF: CR LF stays, a lone CR\n"
         "becomes CR LF, a lone LF stays.  The new content goes to a temporary file\n"
         "beside FILE, which replaces it only when complete: on any failure FILE is\n"
         "left as it was.",
     .main = &Crlf},
    {.name = "findtext", .summary = "find the first line that holds a text",
     .operands = "TEXT [FILE]",
     .description =
         "Prints the first line of FILE (stdin when none or '-') that contains\n"
         "TEXT as LINE:POSITION:text (both counted from 1).  Exit status 1 when no\n"
         "line contains it, 2 when the input cannot be read.  Lines are searched\n"
         "in blocks, so a line of any length is found; a matching line longer\n"
         "than 1 MiB is printed by reading it again, which a pipe cannot do\n"
         "(exit 2).",
     .options = kFindTextOptions, .main = &FindText},
};

// Reports a library I/O error on `path`: "zel: CMD: PATH: REASON".
int ReportIOError(const std::string& path, const EInOutError& e) {
  return FailWith(path, e.ErrorCode());
}

// Progress of `lines` on a terminal: the count, at most five times a second.
std::chrono::steady_clock::time_point g_next_progress;
bool g_progress_shown = false;

void ShowProgress(TObject*, double count, double) {
  const auto now = std::chrono::steady_clock::now();
  if (now < g_next_progress) return;
  g_next_progress = now + std::chrono::milliseconds(200);
  std::fprintf(stderr, "\r%.0f lines...", count);
  g_progress_shown = true;
}

void ClearProgress() {
  if (g_progress_shown) std::fputs("\r\033[K", stderr);
  g_progress_shown = false;
}

// The lines of stdin, counted by the library's rules in blocks; false
// after reporting a read error (a closed stdin: "Bad file descriptor").
bool CountLinesOfStdin(int64_t& n, bool progress) {
  const Input in = OpenInput("-");
  if (!in) return false;
  detail::LineCounter counter;
  if (!ReadBlocks(in, [&](std::string_view block) {
        counter.Add(block);
        if (progress) ShowProgress(nullptr, static_cast<double>(counter.Lines()), 0);
        return true;
      })) {
    return false;
  }
  n = counter.Finish();
  return true;
}

int Lines(const ParsedArgs& args) {
  const bool terminal = isatty(STDERR_FILENO) != 0;
  int status = kOk;
  int64_t total = 0;
  const std::vector<std::string> files = args.OperandsOrStdin();
  for (const std::string& path : files) {
    try {
      g_next_progress = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
      int64_t n = 0;
      if (path == "-") {
        if (!CountLinesOfStdin(n, terminal)) {
          ClearProgress();
          status = kFailure;
          continue;
        }
      } else {
        n = CountLinesInTextFile(FileNameFromBytes(path), terminal ? &ShowProgress : nullptr);
      }
      ClearProgress();
      total += n;
      std::cout << n << "  " << path << '\n';
    } catch (const EInOutError& e) {
      ClearProgress();
      status = ReportIOError(path, e);
    }
  }
  if (files.size() > 1) std::cout << total << "  total\n";
  return status;
}

// A -n value: N (the last N lines), +K (from line K on) or -N.
void ParseTailCount(const std::string& text, int64_t& count, bool& from_start) {
  std::string digits = text;
  from_start = !digits.empty() && digits[0] == '+';
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.erase(0, 1);
  constexpr int64_t kMax = int64_t{1} << 62;
  count = 0;
  bool ok = !digits.empty() && digits.size() <= 19;
  for (char c : digits) {
    if (c < '0' || c > '9') ok = false;
    if (ok) count = count * 10 + (c - '0');
  }
  if (!ok || count > kMax) {
    throw BadUsage("option '--lines' needs N, +K or -N with whole numbers, not '" + text + "'");
  }
}

int Tail(const ParsedArgs& args) {
  std::vector<std::string> operands = args.Operands();
  int64_t count = 10;
  bool from_start = false;
  // The obsolete form of coreutils: "tail -5 FILE" is "tail -n 5 FILE".
  const std::string& first = operands.empty() ? std::string() : operands[0];
  if (args.OperandsBeforeOptionsEnd() > 0 && first.size() > 1 && first[0] == '-' &&
      first.find_first_not_of("0123456789", 1) == std::string::npos) {
    if (args.Has("lines")) throw BadUsage("give either -N or -n N");
    ParseTailCount(first, count, from_start);
    operands.erase(operands.begin());
  } else if (args.Has("lines")) {
    ParseTailCount(args.Get("lines"), count, from_start);
  }
  if (operands.size() > 1) throw BadUsage("too many arguments (tail reads one FILE)");
  const Input in = OpenInput(operands.empty() ? "-" : operands[0]);
  if (!in) return kFailure;
  return from_start ? PrintFromLine(in, count) : PrintLastLines(in, count);
}

const char* TypeName(TTextfileType t) {
  switch (t) {
    case tftUnicode_le: return "UTF-16LE";
    case tftUnicode_be: return "UTF-16BE";
    case tftUnicode4_le: return "UTF-32LE";
    case tftUnicode4_be: return "UTF-32BE";
    case tftRTF: return "RTF";
    case tftUTF8: return "UTF-8";
    case tftUnknown: break;
  }
  return "unknown";
}

int FileType(const ParsedArgs& args) {
  int status = kOk;
  for (const std::string& path : args.OperandsOrStdin()) {
    const Input in = OpenInput(path);
    if (!in) {
      status = kFailure;
      continue;
    }
    // The first four bytes decide (missing ones count as 0).
    char head[4];
    int64_t n = 0;
    try {
      n = in->Read(head, sizeof head);
    } catch (const EReadError& e) {
      status = FailRead(in, e);
      continue;
    }
    std::cout << TypeName(TextFileTypeOfBytes(std::string_view(head, static_cast<size_t>(n)))) << "  "
              << path << '\n';
  }
  return status;
}

// The first lines of `in`, enough for a header of four lines whatever their
// ends (eight line-end bytes), or all of a shorter input.  False after a
// message when the input cannot be read, or when its first four lines do not
// end within `cap` bytes.
bool ReadHeaderBytes(const Input& in, size_t cap, std::string& head) {
  size_t ends = 0;
  const bool read = ReadBlocks(in, [&](std::string_view block) {
    for (size_t i = 0; i < block.size() && ends < 8 && head.size() < cap; ++i) {
      head += block[i];
      ends += block[i] == '\n' || block[i] == '\r';
    }
    return ends < 8 && head.size() < cap;
  });
  if (!read) return false;
  if (head.size() < cap) return true;
  int64_t complete = 0;
  LineSplitter lines;
  lines.Feed(head, [&](std::string_view, bool line_ends) { complete += line_ends; });
  if (complete >= 4) return true;
  Fail(Quoted(in.name) + ": the header does not end within its first " + std::to_string(cap) +
       " bytes (line " + std::to_string(complete + 1) + " is longer)");
  return false;
}

int Asc(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const std::string path = args.OperandsOrStdin()[0];
  String comment;
  int32_t a = 0, b = 0;
  bool f[4] = {};
  int status = 0;
  // The header is read with a bound first: a file whose first line is
  // gigabytes long is refused instead of read into memory.
  constexpr size_t kMaxHeader = 1 << 20;
  const Input in = OpenInput(path);
  std::string head;
  if (!in || !ReadHeaderBytes(in, kMaxHeader, head)) return kFailure;
  if (path == "-") {
    TMemoryStream stream;
    stream.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
    stream.SetPosition(0);
    status = ReadHeaderOfASC(stream, comment, a, b, f[0], f[1], f[2], f[3]);
  } else {
    try {
      status = ReadHeaderOfASC(FileNameFromBytes(path), comment, a, b, f[0], f[1], f[2], f[3]);
    } catch (const EInOutError& e) {
      return ReportIOError(path, e);
    }
  }
  static const char* const kErrors[] = {
      "line 2: the first count is missing or not greater than 0",
      "line 3: the second count is missing or not greater than 0",
      "line 4: a flag is neither TRUE nor FALSE"};
  if (status != 0) return Fail(Quoted(path) + ": " + kErrors[-status - 1]);
  std::cout << "comment: " << ToUtf8(comment) << '\n'
            << "count 1: " << a << '\n'
            << "count 2: " << b << '\n'
            << "flags:";
  for (bool flag : f) std::cout << (flag ? " TRUE" : " FALSE");
  std::cout << '\n';
  return kOk;
}

int Crlf(const ParsedArgs& args) {
  args.RequireOperands(1, 1, "FILE");
  const std::string& path = args.Operands()[0];
  if (path == "-") throw BadUsage("crlf rewrites a file in place; stdin cannot be rewritten");
  try {
    EnsureCRLFInFile(FileNameFromBytes(path), FileNameFromBytes(path));
  } catch (const EInOutError& e) {
    return ReportIOError(path, e);
  }
  return kOk;
}

// The search of `findtext`: the pieces of each line (LineSplitter) are
// decoded and folded block by block, and TEXT is looked for in what is new
// plus the TEXT's length less one of what came before, so that a match
// across two pieces is found.  The line's bytes are kept up to kKeep for
// printing it.
class FirstMatch {
 public:
  static constexpr size_t kKeep = 1 << 20;

  FirstMatch(String needle, bool fold) : needle_(std::move(needle)), fold_(fold) {}

  // True once the matching line has been read to its end.
  bool Done() const noexcept { return done_; }
  bool Found() const noexcept { return line_ > 0; }
  int64_t Line() const noexcept { return line_; }
  int64_t Position() const noexcept { return position_; }
  // The matching line's bytes, when they were no longer than kKeep.
  const std::string* Kept() const noexcept { return kept_all_ ? &kept_ : nullptr; }

  void Piece(std::string_view bytes, bool line_ends) {
    if (done_) return;
    if (kept_all_ && kept_.size() + bytes.size() > kKeep) {
      kept_all_ = false;
      std::string().swap(kept_);
    }
    if (kept_all_) kept_.append(bytes);
    if (line_ == 0) Search(bytes, line_ends);
    if (!line_ends) return;
    ++lines_done_;
    done_ = line_ > 0;
    window_.clear();
    carry_.clear();
    dropped_ = 0;
    if (!done_) {
      kept_.clear();
      kept_all_ = true;
    }
  }

 private:
  void Search(std::string_view bytes, bool line_ends) {
    std::string joined;
    if (!carry_.empty()) {
      joined = carry_ + std::string(bytes);
      bytes = joined;
    }
    const size_t complete = line_ends ? bytes.size() : CompleteUtf8Prefix(bytes);
    scratch_.clear();
    AppendFromUtf8(scratch_, bytes.substr(0, complete));
    carry_.assign(bytes.substr(complete));
    window_ += fold_ ? AnsiLowerCase(scratch_) : scratch_;
    const size_t at = window_.find(needle_);
    if (at != String::npos) {
      line_ = lines_done_ + 1;
      position_ = dropped_ + static_cast<int64_t>(at) + 1;
      return;
    }
    // Keep only what a match still to come could start in.
    const size_t keep = needle_.size() - 1;
    if (window_.size() > keep) {
      const size_t drop = window_.size() - keep;
      dropped_ += static_cast<int64_t>(drop);
      window_.erase(0, drop);
    }
  }

  const String needle_;
  const bool fold_;
  String window_, scratch_;
  std::string carry_;  // the start of a UTF-8 sequence cut by a block end
  std::string kept_;
  bool kept_all_ = true;
  int64_t dropped_ = 0;  // characters of the line before the window
  int64_t lines_done_ = 0;
  int64_t line_ = 0, position_ = 0;
  bool done_ = false;
};

// Prints line `number` of `in`, read again from its start.
bool PrintLineAgain(const Input& in, int64_t number) {
  if (::lseek(in.Fd(), 0, SEEK_SET) != 0) return false;
  OutBuffer out;
  LinePrinter printer(out, false);
  LineSplitter lines;
  int64_t line = 1;
  bool printed = false;
  const auto piece = [&](std::string_view bytes, bool line_ends) {
    if (line == number && !printed) {
      printer.Piece(bytes, line_ends);
      printed = line_ends;
    }
    line += line_ends;
  };
  return ReadBlocks(in, [&](std::string_view block) {
           lines.Feed(block, piece);
           return !printed;
         }) &&
         (lines.Finish(piece), printed);
}

int FindText(const ParsedArgs& args) {
  AnswersNoMatch();
  args.RequireOperands(1, 2, "TEXT");
  const std::string& text = args.Operands()[0];
  const std::string path = args.Operands().size() > 1 ? args.Operands()[1] : "-";
  if (text.empty()) throw BadUsage("the TEXT to find is empty");
  const bool fold = args.Has("ignore-case");
  const Input in = OpenInput(path);
  if (!in) return kTrouble;
  FirstMatch match(fold ? AnsiLowerCase(FromUtf8(text)) : FromUtf8(text), fold);
  LineSplitter lines;
  const auto piece = [&](std::string_view bytes, bool line_ends) { match.Piece(bytes, line_ends); };
  if (!ReadBlocks(in, [&](std::string_view block) {
        lines.Feed(block, piece);
        return !match.Done();
      })) {
    return kTrouble;
  }
  if (!match.Done()) lines.Finish(piece);
  if (!match.Found()) return kNoMatch;
  std::cout << match.Line() << ':' << match.Position() << ':';
  if (const std::string* kept = match.Kept()) {
    std::string line;
    String scratch;
    AppendPrintable(line, *kept, scratch);
    std::cout << line << '\n';
    return kOk;
  }
  std::cout.flush();
  if (PrintLineAgain(in, match.Line())) return kOk;
  std::cout << '\n';
  return Fail(Quoted(in.name) + ": line " + std::to_string(match.Line()) +
              " matches, but it is longer than 1 MiB and this input cannot be read again to print it");
}

const CommandGroup kGroup(90, kCommands);

}  // namespace
}  // namespace zel::cli
