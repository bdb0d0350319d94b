// The `zel` command-line tool: one subcommand per job.
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"

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

int Main(int argc, char** argv) {
  const std::vector<Command> commands = AllCommands();
  if (argc < 2) {
    PrintHelp(commands);
    return kUsage;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    PrintHelp(commands);
    return kOk;
  }
  if (first == "--version") {
    std::cout << "zel " << kVersion << '\n';
    return kOk;
  }
  for (const auto& c : commands) {
    if (c.name == first) {
      const Args args(argv + 2, argv + argc);
      return RunCommand(c, args);
    }
  }
  return Fail("unknown command '" + first + "' (see 'zel --help')", kUsage);
}

}  // namespace
}  // namespace zel::cli

int main(int argc, char** argv) {
  // A closed pipe ends the tool quietly, as it does the system's tools,
  // even when the parent left SIGPIPE ignored.
  signal(SIGPIPE, SIG_DFL);
  int status;
  try {
    status = zel::cli::Main(argc, argv);
  } catch (const std::exception& e) {
    status = zel::cli::Fail(e.what());
  }
  return zel::cli::FinishOutput(status);
}
