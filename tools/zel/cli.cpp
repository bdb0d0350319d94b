#include "tools/zel/cli.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "tools/zel/host.h"

namespace zel::cli {
namespace {

// The running command and the status of its errors (one command runs per
// process).
std::string_view g_command;
int g_error_status = kFailure;

int UsageError(const Command& cmd, std::string_view message) {
  std::cerr << "zel: " << cmd.name << ": " << message << '\n'
            << "try 'zel " << cmd.name << " --help'\n";
  return kUsage;
}

}  // namespace

void AnswersNoMatch() { g_error_status = kTrouble; }
int ErrorStatus() { return g_error_status; }
std::string_view RunningCommand() { return g_command; }
void SetRunningCommand(std::string_view name) { g_command = name; }

int Fail(std::string_view message, int code) {
  std::string line = "zel: ";
  if (!g_command.empty()) line.append(g_command).append(": ");
  line.append(message).append("\n");
  std::cerr << line;
  return code;
}

int Fail(std::string_view message) { return Fail(message, g_error_status); }

int FailWith(std::string_view item, int err) {
  return Fail(Quoted(item) + ": " + std::strerror(err));
}

std::string Quoted(std::string_view name) {
  if (name == kStdinName) return std::string(name);
  bool plain = !name.empty();
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == ' ' || c == '\'' || c == '"') plain = false;
  }
  if (plain) return std::string(name);
  std::string out = "'";
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else if (c == '\'') out += "\\'";
    else if (u < 0x20 || u == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "'";
}

std::string HelpText(const Command& cmd) {
  std::string text = "usage: zel " + std::string(cmd.name) + " [OPTIONS]";
  if (!cmd.operands.empty()) text += ' ' + std::string(cmd.operands);
  text += "\n\n";
  if (!cmd.description.empty()) text += std::string(cmd.description) + "\n\n";
  return text + OptionsHelp(cmd.options);
}

int RunCommand(const Command& cmd, const Args& args) {
  g_command = cmd.name;
  g_error_status = kFailure;
  // Commands listed by the drawing helper are run by it (main.cpp), never
  // here.
  if (cmd.main == nullptr) return Fail("this command is run by the drawing helper", kFailure);
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

const Command* FindCommand(std::span<const Command> commands, std::string_view name) {
  for (const Command& c : commands) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

int RunProgram(int argc, char** argv, int (*run)(const Args& words)) {
  PrepareProcess();
  int status;
  try {
    status = run(Args(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    status = Fail(e.what());
  }
  return FinishOutput(status);
}

}  // namespace zel::cli
