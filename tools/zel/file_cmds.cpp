// Subcommands over text files: lines, tail, filetype, asc, crlf, findtext.
// The library reads files in blocks: `lines` counts at memory speed and
// `tail` reads only the end of a file, whatever its size.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "zel/filesys/filesys.h"
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
    {"lines", 'n', "N", "print the last N lines (default 10)"},
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
     .operands = "FILE",
     .description =
         "Prints the last N lines of FILE (stdin for '-').  A file is read from its\n"
         "end, so this takes the same time for a file of any size.  Lines end with CR\n"
         "LF, LF or a lone CR and are printed with LF.",
     .options = kTailOptions, .main = &Tail},
    {.name = "filetype", .summary = "name the encoding a file's first bytes announce",
     .operands = "FILE...",
     .description =
         "Prints for each FILE the encoding its first four bytes announce, two blanks\n"
         "and the name: UTF-8 (byte-order mark EF BB BF), UTF-16LE (FF FE), UTF-16BE\n"
         "(FE FF), UTF-32LE (FF FE 00 00), UTF-32BE (00 00 FE FF), RTF (\"{\\rtf\"), or\n"
         "unknown.  Missing bytes of a short file count as 0.",
     .main = &FileType},
    {.name = "asc", .summary = "read the header of an ASC data file",
     .operands = "FILE",
     .description =
         "Reads the four header lines of an ASC data file (FILE, or stdin for '-'):\n"
         "a comment, two counts above 0 and four TRUE/FALSE flags, and prints them.\n"
         "A header that is not well-formed is reported with the line at fault (exit 1).",
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
     .operands = "TEXT FILE",
     .description =
         "Prints the first line of FILE that contains TEXT as LINE:POSITION:text\n"
         "(both counted from 1).  Exit status 1 when no line contains it.",
     .options = kFindTextOptions, .main = &FindText},
};

// "-" reads standard input through its device name.
String FileArg(const std::string& path) {
  return FileNameFromBytes(path == "-" ? "/dev/stdin" : path);
}

// Reports a library I/O error on `path` the way the tool reports others.
int ReportIOError(const std::string& path, const EInOutError& e) {
  const std::string what = e.what();
  const char* verb = what.starts_with("Cannot open")   ? "cannot open"
                     : what.starts_with("Cannot read") ? "error reading"
                                                       : "cannot write";
  return Fail(std::string(verb) + " '" + path + "': " + ToUtf8(SysErrorMessage(e.ErrorCode())));
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

int Lines(const ParsedArgs& args) {
  const bool terminal = isatty(STDERR_FILENO) != 0;
  int status = kOk;
  int64_t total = 0;
  const std::vector<std::string> files = args.OperandsOrStdin();
  for (const std::string& path : files) {
    try {
      g_next_progress = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
      const int64_t n = CountLinesInTextFile(FileArg(path), terminal ? &ShowProgress : nullptr);
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

int Tail(const ParsedArgs& args) {
  args.RequireOperands(1, 1, "FILE");
  const long long n = args.GetInt("lines", 10, 0, 1'000'000'000);
  const std::string& path = args.Operands()[0];
  std::vector<String> lines;
  if (path == "-") {
    // A pipe has no end to read from: keep the last n lines while reading.
    const Input in = OpenInput(path);
    if (in.stream == nullptr) return kFailure;
    TLineReader reader = LineReader(in);
    std::deque<String> last;
    for (String line; reader.ReadLine(line);) {
      if (n == 0) continue;
      if (last.size() == static_cast<size_t>(n)) last.pop_front();
      last.push_back(std::move(line));
    }
    if (!ReadSucceeded(reader, in)) return kFailure;
    lines.assign(std::make_move_iterator(last.begin()), std::make_move_iterator(last.end()));
  } else {
    try {
      lines = ReadLastLinesOfFile(FileNameFromBytes(path), n);
    } catch (const EInOutError& e) {
      return ReportIOError(path, e);
    }
  }
  for (const String& line : lines) PrintLine(line);
  return kOk;
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
  args.RequireOperands(1, -1, "FILE");
  int status = kOk;
  for (const std::string& path : args.Operands()) {
    try {
      std::cout << TypeName(CheckTextFileType(FileArg(path))) << "  " << path << '\n';
    } catch (const EInOutError& e) {
      status = ReportIOError(path, e);
    }
  }
  return status;
}

int Asc(const ParsedArgs& args) {
  args.RequireOperands(1, 1, "FILE");
  const std::string& path = args.Operands()[0];
  String comment;
  int32_t a = 0, b = 0;
  bool f[4] = {};
  int status = 0;
  if (path == "-") {
    const Input in = OpenInput(path);
    if (!in.stream) return kFailure;
    status = ReadHeaderOfASC(*in, comment, a, b, f[0], f[1], f[2], f[3]);
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
  if (status != 0) return Fail("asc: '" + path + "': " + kErrors[-status - 1]);
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

int FindText(const ParsedArgs& args) {
  args.RequireOperands(2, 2, "TEXT and FILE");
  const std::string& text = args.Operands()[0];
  const std::string& path = args.Operands()[1];
  if (text.empty()) throw BadUsage("the TEXT to find is empty");
  String line;
  int64_t number = 0;
  int pos = 0;
  try {
    pos = FindFirstMatchInTextFile(FileArg(path), FromUtf8(text), args.Has("ignore-case"), line,
                                   number);
  } catch (const EInOutError& e) {
    return ReportIOError(path, e);
  }
  if (pos == 0) return kFailure;
  std::cout << number << ':' << pos << ':' << ToUtf8(line) << '\n';
  return kOk;
}

const CommandGroup kGroup(90, kCommands);

}  // namespace
}  // namespace zel::cli
