// Subcommand over the regular-expression component: grep, on files, stdin
// or (with -r) whole trees on every core.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/grep_search.h"
#include "tools/zel/grep_tree.h"
#include "zel/stringl/grep.h"
#include "zel/zelbase/errors.h"

namespace zel::cli {
namespace {

int Grep(const ParsedArgs& args);

constexpr Option kGrepOptions[] = {
    {"regexp", 'e', "PATTERN", "a pattern (repeatable: a line matches when any does)"},
    {"ignore-case", 'i', {}, "ignore the case of A-Z"},
    {"recursive", 'r', {}, "search the files of the DIRs (the current one when none)"},
    {"line-number", 'n', {}, "print each line's number before it"},
    {"count", 'c', {}, "print the number of matching lines of each file"},
    {"files-with-matches", 'l', {}, "print only the names of files with a match"},
    {"quiet", 'q', {}, "print nothing; exit 0 at the first match"},
    {"with-filename", 'H', {}, "print the file name before each line"},
    {"no-filename", 0, {}, "never print file names"},
    {"color", 0, "WHEN", "colour matches: auto (on a terminal), always or never"},
    {"hidden", 0, {}, "with -r, search hidden files and directories too"},
    {"binary", 0, {}, "with -r, search binary files (with a NUL byte) too"},
    {"glob", 'g', "MASK", "with -r, search only files matching MASK; !MASK leaves out"},
    {"type", 't', "TYPE", "with -r, search only files of TYPE (c, cpp, py, ...)"},
    {"threads", 'j', "N", "with -r, search on N threads (default: one per core)"},
    {"explain", 0, {}, "print the compiled token list and the error state instead"},
};

constexpr Command kCommands[] = {
    {.name = "grep", .summary = "print the lines that match a pattern",
     .operands = "PATTERN [FILE...] | -e PATTERN... [FILE...] | -r PATTERN [DIR...]",
     .description =
         "Prints the lines of the FILEs (stdin when none, or for \"-\") in which\n"
         "PATTERN has a match, each preceded by its file name and ':' when there\n"
         "are several files.  With -r every file below the DIRs is searched, on\n"
         "all cores, in the order of the walk; links are not followed, hidden\n"
         "and binary files are skipped.  Exit status 0 when a line matched, 1\n"
         "when none did, 2 for a bad pattern or any file that could not be read\n"
         "(the others are still searched).\n\n"
         "Patterns (no alternation, no nesting; a match may lie anywhere in a line):\n"
         "  abc      the literal text abc       .        any one character\n"
         "  [a-z0-9] one character of a set     [^a-z]   one character not in it\n"
         "  ^        the start of the line      $        the end of the line (last)\n"
         "  (abc)    a literal group: every character in it is taken as it stands\n"
         "  x* x+ x? zero or more, one or more, zero or one of the item x; after\n"
         "           a literal only its last character repeats (ab+ is a, b+)\n"
         "  \\c       the character c itself (\\. \\[ \\* \\\\ ...)\n"
         "  \\#hh     the character with the hexadecimal code hh (\\#09 a tab)\n"
         "There are no classes such as \\d, \\w or \\s (\\d is the letter d; write\n"
         "[0-9]), no word boundaries, no {m,n} and no |: give each alternative\n"
         "with -e.\n\n"
         "A MASK of --glob is matched without regard to case (* any run, ? one\n"
         "character) against a file's name, or against its path below the DIR\n"
         "when it holds a '/'.  TYPEs: c, cpp, py, sh, md, txt, cmake, json,\n"
         "html, xml, yaml, java, js, ts, go, rust.",
     .options = kGrepOptions, .main = &Grep},
};

struct FileType {
  std::string_view name;
  std::string_view masks;  // separated by ' '
};
constexpr FileType kFileTypes[] = {
    {"c", "*.c *.h"},
    {"cpp", "*.cpp *.cc *.cxx *.c++ *.hpp *.hh *.hxx *.h++ *.h *.inl"},
    {"py", "*.py *.pyi"},
    {"sh", "*.sh *.bash *.zsh"},
    {"md", "*.md *.markdown"},
    {"txt", "*.txt"},
    {"cmake", "*.cmake CMakeLists.txt"},
    {"json", "*.json"},
    {"html", "*.html *.htm"},
    {"xml", "*.xml"},
    {"yaml", "*.yaml *.yml"},
    {"java", "*.java"},
    {"js", "*.js *.mjs *.cjs"},
    {"ts", "*.ts *.tsx"},
    {"go", "*.go"},
    {"rust", "*.rs"},
};

void AddTypeMasks(const std::string& type, std::vector<std::string>& masks) {
  for (const FileType& t : kFileTypes) {
    if (t.name != type) continue;
    std::string_view rest = t.masks;
    while (!rest.empty()) {
      const size_t space = rest.find(' ');
      masks.emplace_back(rest.substr(0, space));
      rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
    return;
  }
  std::string known;
  for (const FileType& t : kFileTypes) known += (known.empty() ? "" : ", ") + std::string(t.name);
  throw BadUsage("unknown file type '" + type + "' (known: " + known + ")");
}

bool UseColor(const std::string& when) {
  if (when == "always") return true;
  if (when == "never") return false;
  if (when != "auto") throw BadUsage("option '--color' needs auto, always or never, not '" + when + "'");
  const char* term = std::getenv("TERM");
  return ::isatty(STDOUT_FILENO) == 1 && term != nullptr && std::strcmp(term, "dumb") != 0;
}

int Grep(const ParsedArgs& args) {
  std::vector<std::string> operands = args.Operands();
  GrepRun run;
  run.patterns = args.All("regexp");
  if (run.patterns.empty()) {
    args.RequireOperands(1, -1, "PATTERN");
    run.patterns.push_back(operands.front());
    operands.erase(operands.begin());
  }
  GrepOptions& options = run.options;
  options.ignore_case = args.Has("ignore-case");
  if (args.Has("explain")) {
    // The listing of each pattern; 2 when one has an error.
    bool bad = false;
    for (const std::string& pattern : run.patterns) {
      TGrep grep(nullptr);
      grep.SetIgnoreCase(options.ignore_case);
      grep.SetStopOnError(false);
      grep.SetRegExp(FromUtf8(pattern));
      for (const String& line : grep.RegExpListing()) PrintLine(line);
      bad = bad || grep.LastError() != 0;
    }
    return bad ? kUsage : kOk;
  }
  run.recursive = args.Has("recursive");
  if (args.Has("count")) options.mode = GrepMode::kCount;
  if (args.Has("files-with-matches")) options.mode = GrepMode::kFilesMatching;
  if (args.Has("quiet")) options.mode = GrepMode::kQuiet;
  options.line_numbers = args.Has("line-number");
  options.color = UseColor(args.Get("color", "auto"));
  run.hidden = args.Has("hidden");
  run.binary = args.Has("binary");
  for (const std::string& mask : args.All("glob")) {
    if (mask.empty() || mask == "!") throw BadUsage("option '--glob' needs a mask");
    if (mask[0] == '!') {
      run.exclude_masks.push_back(mask.substr(1));
    } else {
      run.include_masks.push_back(mask);
    }
  }
  for (const std::string& type : args.All("type")) AddTypeMasks(type, run.include_masks);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  run.threads = run.recursive ? static_cast<int>(args.GetInt("threads", cores, 1, 256)) : 0;

  if (operands.empty()) operands.emplace_back(run.recursive ? "" : "-");
  const bool several = operands.size() > 1 || run.recursive;
  options.with_names = args.Has("no-filename") ? false : several || args.Has("with-filename");

  // Every pattern compiles before anything is read; bad escapes are told once.
  try {
    GrepSearcher check(run.patterns, options);
  } catch (const EZELStringlError& e) {
    return Fail(ToUtf8(e.Message()), kUsage);
  }
  for (const std::string& pattern : run.patterns) {
    for (const std::string& warning : GrepEscapeWarnings(pattern)) std::cerr << "zel: grep: " << warning << '\n';
  }

  std::cout.flush();
  const GrepOutcome outcome = RunGrep(operands, run);
  if (outcome.write_error != 0) {
    return Fail(std::string("write error: ") + std::strerror(outcome.write_error), kUsage);
  }
  if (outcome.error && !(options.mode == GrepMode::kQuiet && outcome.matched)) return kUsage;
  return outcome.matched ? kOk : kFailure;
}

const CommandGroup kGroup(52, kCommands);

}  // namespace

}  // namespace zel::cli
