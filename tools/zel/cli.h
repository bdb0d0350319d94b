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
// Exit codes: 0 success, 1 failure or no match, 2 usage error.  Messages go
// to stderr as "zel: ...".  Standard output is flushed and checked when the
// command returns: a write error is a message and exit status 1.  Input is
// opened through `OpenInput` (tools/zel/io.h): "-" is stdin.
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
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;

using Args = std::vector<std::string>;

struct Command {
  std::string_view name;
  std::string_view summary;
  // Commands not yet on the option table: the full --help text after
  // "usage: zel NAME " and a function that parses its own arguments.
  std::string_view usage = {};
  int (*run)(const Args& args) = nullptr;
  // Commands on the option table.
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

// Prints "zel: <message>" to stderr and returns `code`.
int Fail(std::string_view message, int code = kFailure);

// Prints "zel <cmd>: <message>" and the usage hint, returns kUsage.
int UsageError(const Command& cmd, std::string_view message);

// True when `arg` reads as an option: '-' and more, but not a negative
// number ("-5", "-.5"), and not "-" alone (stdin).
bool LooksLikeOption(const std::string& arg);

// Stores `arg` as the command's one operand (its FILE, VALUE, ...).
// Returns kOk, or kUsage after reporting an unknown option or a second
// operand.  Typical use in an argument loop, after the known options:
//   } else if (int s = TakeOperand(cmd, a, path, have_path); s != kOk) {
//     return s;
//   }
int TakeOperand(const Command& cmd, const std::string& arg, std::string& operand,
                bool& have_operand);

// True when `args` holds "--help" or "-h"; prints the command's help.
bool HandleHelp(const Command& cmd, const Args& args);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_CLI_H_
