#include "tools/zel/cli.h"

#include <signal.h>

#include <iostream>

namespace zel::cli {

int Fail(std::string_view message, int code) {
  std::cerr << "zel: " << message << '\n';
  return code;
}

int UsageError(const Command& cmd, std::string_view message) {
  std::cerr << "zel " << cmd.name << ": " << message << '\n'
            << "try 'zel " << cmd.name << " --help'\n";
  return kUsage;
}

std::string HelpText(const Command& cmd) {
  std::string text = "usage: zel " + std::string(cmd.name) + ' ';
  if (cmd.main == nullptr) return text + std::string(cmd.usage) + '\n';
  text += "[OPTIONS]";
  if (!cmd.operands.empty()) text += ' ' + std::string(cmd.operands);
  text += "\n\n";
  if (!cmd.description.empty()) text += std::string(cmd.description) + "\n\n";
  return text + OptionsHelp(cmd.options);
}

int RunCommand(const Command& cmd, const Args& args) {
  if (cmd.main == nullptr) {
    if (HandleHelp(cmd, args)) return kOk;
    return cmd.run(args);
  }
  try {
    const ParsedArgs parsed(cmd.options, args);
    if (parsed.HelpRequested()) {
      std::cout << HelpText(cmd);
      return kOk;
    }
    return cmd.main(parsed);
  } catch (const BadUsage& e) {
    return UsageError(cmd, e.what());
  }
}

bool HandleHelp(const Command& cmd, const Args& args) {
  for (const auto& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") {
      std::cout << HelpText(cmd);
      return true;
    }
  }
  return false;
}

bool LooksLikeOption(const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '-') return false;
  return !(arg[1] == '.' || (arg[1] >= '0' && arg[1] <= '9'));
}

int TakeOperand(const Command& cmd, const std::string& arg, std::string& operand,
                bool& have_operand) {
  if (LooksLikeOption(arg)) return UsageError(cmd, "unknown option '" + arg + "'");
  if (have_operand) return UsageError(cmd, "too many arguments");
  operand = arg;
  have_operand = true;
  return kOk;
}

const Command* FindCommand(std::span<const Command> commands, std::string_view name) {
  for (const Command& c : commands) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

int RunProgram(int argc, char** argv, int (*run)(const Args& words)) {
  signal(SIGPIPE, SIG_DFL);
  int status;
  try {
    status = run(Args(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    status = Fail(e.what());
  }
  return FinishOutput(status);
}

}  // namespace zel::cli
