// The `zel` command-line tool: one subcommand per job.
#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/draw_helper.h"

namespace zel::cli {
namespace {

// The project's version, given by the build (CMakeLists.txt's project()).
#ifndef ZEL_VERSION_TEXT
#error "the build defines ZEL_VERSION_TEXT"
#endif
constexpr std::string_view kVersion = ZEL_VERSION_TEXT;

void PrintHelp(const std::vector<Command>& commands) {
  std::cout << "usage: zel COMMAND [ARGS...]\n"
               "       zel COMMAND --help\n"
               "       zel --version\n\n"
               "The command-line side of the zel library.  Commands that read files read\n"
               "stdin when none is given, and '-' is stdin.  Exit status: 0 success;\n"
               "2 usage error; 1 failure, except for the commands that can answer \"no\n"
               "match\" (findtext, grep, find, colors TEXT, table --find, label --read,\n"
               "check-id): 1 no match, 2 error.  Messages: \"zel: COMMAND: ITEM: reason\".\n\n"
               "commands:\n";
  for (const auto& c : commands) {
    std::cout << "  " << c.name << std::string(12 - std::min<size_t>(c.name.size(), 11), ' ')
              << c.summary << '\n';
  }
}

int Main(const Args& words) {
  if (words.empty()) {
    RegisterDrawHelperCommands();
    PrintHelp(AllCommands());
    return kUsage;
  }
  const std::string& first = words[0];
  if (first == "--help" || first == "-h" || first == "help") {
    RegisterDrawHelperCommands();
    PrintHelp(AllCommands());
    return kOk;
  }
  if (first == "--version") {
    std::cout << "zel " << kVersion << '\n';
    return kOk;
  }
  // No other option comes before the command; in particular the drawing
  // helper's own entry points (--list, --tour, --png-strip) are not
  // reachable through zel.
  if (first.starts_with("-")) {
    return Fail("unknown option '" + first + "' (see 'zel --help')", kUsage);
  }
  const std::vector<Command> commands = AllCommands();
  const Command* command = FindCommand(commands, first);
  if (command == nullptr) {
    // Not one of the tool's own: the drawing helper runs it, or says it
    // knows no such command either.
    if (!DrawHelperPath().empty()) return RunDrawCommand(words);
    return Fail("unknown command '" + first + "' (see 'zel --help')", kUsage);
  }
  return RunCommand(*command, Args(words.begin() + 1, words.end()));
}

}  // namespace
}  // namespace zel::cli

int main(int argc, char** argv) { return zel::cli::RunProgram(argc, argv, &zel::cli::Main); }
