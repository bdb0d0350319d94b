// tools/zel/cli.h — the pieces every subcommand of the `zel` tool shares.
//
// A subcommand is a `Command`: its name, a one-line summary, its operands,
// a description, its option table (tools/zel/args.h) and a function that
// gets the parsed arguments.  `--help`, usage errors and the option syntax
// all come from the table:
//
//   constexpr Option kGrepOptions[] = {
//       {"ignore-case", 'i', {}, "ignore the case of A-Z"},
//   };
//   constexpr Command kCommands[] = {
//       {.name = "grep", .summary = "print the lines that match a pattern",
//        .operands = "PATTERN [FILE...]",
//        .description = "Prints the lines of the FILEs ...",
//        .options = kGrepOptions, .main = &Grep},
//   };
//
// The contract every command keeps (the README repeats it for users):
//
//   Exit status  0 success.
//                2 a usage error (unknown option, bad value, wrong operands).
//                A command that can answer "no match" (findtext, grep, find,
//                colors TEXT, table --find, label --read, check-id) exits 1
//                for that answer only and 2 for any error reading its input
//                or writing its output, as grep does; it says so by calling
//                `AnswersNoMatch()` before it reads anything.  Every other
//                command exits 1 for any failure, as coreutils do.  So a
//                missing input file is 1 for `zel lines` and 2 for
//                `zel findtext`.
//   Messages     on stderr as "zel: COMMAND: ITEM: reason", the reason the
//                system's own (strerror): "zel: lines: a.txt: No such file
//                or directory", "zel: perm: write error: No space left on
//                device".  `Fail` adds "zel: COMMAND: ".
//   Input        "-" is stdin everywhere, and a command that reads files
//                reads stdin when none is given.  A closed stdin reads as
//                EBADF ("standard input: Bad file descriptor").
//   Output       standard output is flushed and checked when the command
//                returns: a write error is a message and the error status.
#ifndef ZEL_TOOLS_ZEL_CLI_H_
#define ZEL_TOOLS_ZEL_CLI_H_

#include <functional>
#include <sstream>
#include <type_traits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zel/args.h"
#include "tools/zel/io.h"
#include "zel/platform/string.h"

namespace zel::cli {

inline constexpr int kOk = 0;
inline constexpr int kFailure = 1;  // any failure of an ordinary command
inline constexpr int kNoMatch = 1;  // the "no match" answer of a search
inline constexpr int kUsage = 2;
inline constexpr int kTrouble = 2;  // any error of a command that answers "no match"

// Declares that the running command can answer "no match": from now on its
// errors exit with kTrouble (2) instead of kFailure (1).
void AnswersNoMatch();
// The status of an error of the running command: kFailure, or kTrouble
// after AnswersNoMatch().
int ErrorStatus();
// The name of the running command ("" outside one); RunCommand sets it,
// and main() for the commands the drawing helper runs.
std::string_view RunningCommand();
void SetRunningCommand(std::string_view name);

using Args = std::vector<std::string>;

struct Command {
  std::string_view name;
  std::string_view summary;
  std::string_view operands = {};     // "PATTERN [FILE...]", after "[OPTIONS]"
  std::string_view description = {};  // paragraphs between usage and options
  std::span<const Option> options = {};
  int (*main)(const ParsedArgs& args) = nullptr;
};

// The full --help text of a command.
std::string HelpText(const Command& cmd);

// Runs a command on the words after its name: parses them against its
// option table (printing the help or a usage error), then runs it.
int RunCommand(const Command& cmd, const Args& args);

// Each source file of the tool registers its group of subcommands with a
// namespace-scope `CommandGroup`; `zel --help` lists the groups by `order`
// (then by name), each group's commands as given:
//
//   constexpr Command kCommands[] = {...};
//   const CommandGroup kGroup(20, kCommands);
struct CommandGroup {
  CommandGroup(int order, std::span<const Command> commands);
};

// Every registered command, groups in order.
std::vector<Command> AllCommands();

// The command called `name`, or null.
const Command* FindCommand(std::span<const Command> commands, std::string_view name);

// The body of a program's main(): SIGPIPE back to its default (a closed
// pipe ends the program quietly, as it does the system's tools, even when
// the parent left it ignored), `run` on the words after the program's name,
// an escaping exception as a message, and standard output checked
// (FinishOutput).
int RunProgram(int argc, char** argv, int (*run)(const Args& words));

// Each tour source registers its sections the same way; `zel tour` runs
// them by `order` (the unit start order: 10 platform, 20 univconst,
// 30 zelbase, 40 zelcolors, 50 stringl, 60 streams, 70 htmlsupport,
// 80 dstruct, 90 filesys, 100 cpuid; steps of one within a unit).
struct TourSection {
  TourSection(int order, void (*show)());
};
void RunTourSections();

// The directory `zel tour` writes its pictures into: --dir DIR (given to
// SetTourDirectory), or ./zel-tour; created on first use.  Returns ""
// (after a message) when it cannot be created.
void SetTourDirectory(const std::string& dir);
std::string TourDirectory();

// Tour output helpers: a unit heading, and one labelled result per line
// (strings quoted, with their line breaks shown as \r and \n).
void TourHeading(std::string_view unit, std::string_view what);
void TourShowText(std::string_view label, StringView value);
void TourShowValue(std::string_view label, const std::string& value);
template <class T>
void TourShow(std::string_view label, const T& value) {
  if constexpr (std::is_convertible_v<const T&, StringView>) {
    TourShowText(label, StringView(value));
  } else if constexpr (std::is_convertible_v<const T&, std::string>) {
    TourShowValue(label, std::string(value));
  } else if constexpr (std::is_same_v<T, bool>) {
    TourShowValue(label, value ? "1" : "0");
  } else {
    std::ostringstream out;
    out << value;
    TourShowValue(label, out.str());
  }
}

// Prints "zel: COMMAND: <message>" (or "zel: <message>" outside a
// command) to stderr and returns `code`, or ErrorStatus() without one.
int Fail(std::string_view message, int code);
int Fail(std::string_view message);
// "zel: COMMAND: ITEM: strerror(err)"; returns ErrorStatus().
int FailWith(std::string_view item, int err);

// A name as messages show it: as it is (and "standard input" for stdin), or, when it is empty or holds a
// blank, a quote or a control character, in single quotes with control
// characters written as \n, \t, \r or \xHH (so a name cannot forge a line
// of its own).
std::string Quoted(std::string_view name);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_CLI_H_
