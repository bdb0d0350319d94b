// The `zel` command-line tool: one subcommand per job.
#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/draw_helper.h"

namespace zel::cli {
namespace {

constexpr std::string_view kVersion = "0.1.0";

void PrintHelp(const std::vector<Command>& commands) {
  std::cout << "usage: zel COMMAND [ARGS...]\n"
               "       zel COMMAND --help\n"
               "       zel --version\n\n"
               "The command-line side of the zel library.  Filters read stdin when no\n"
               "file is given.  Exit status: 0 success, 1 failure or no match, 2 usage.\n\n"
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
  const std::vector<Command> commands = AllCommands();
  const Command* command = FindCommand(commands, first);
  if (command == nullptr) {
    // Not one of the tool's own: the drawing helper runs it, or says it
    // knows no such command either.
    if (!DrawHelperPath().empty()) return ExecDrawHelper(words);
    return Fail("unknown command '" + first + "' (see 'zel --help')", kUsage);
  }
  return RunCommand(*command, Args(words.begin() + 1, words.end()));
}

}  // namespace
}  // namespace zel::cli

int main(int argc, char** argv) { return zel::cli::RunProgram(argc, argv, &zel::cli::Main); }
