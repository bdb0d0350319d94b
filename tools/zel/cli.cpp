#include "tools/zel/cli.h"

#include <fstream>
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

bool ReadLines(const std::string& path, std::vector<String>& lines, bool keep_line_ends) {
  std::ifstream file;
  const bool from_stdin = path.empty() || path == "-";
  if (!from_stdin) {
    file.open(path, std::ios::binary);
    if (!file) {
      Fail("cannot open '" + path + "'");
      return false;
    }
  }
  std::istream& in = from_stdin ? std::cin : file;
  std::string line;
  while (std::getline(in, line)) {
    if (keep_line_ends) {
      if (!in.eof()) line += '\n';
    } else if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(FromUtf8(line));
  }
  if (in.bad()) {
    Fail("error reading '" + (from_stdin ? std::string("stdin") : path) + "'");
    return false;
  }
  return true;
}

void PrintLine(StringView s) { std::cout << ToUtf8(s) << '\n'; }

bool HandleHelp(const Command& cmd, const Args& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      std::cout << "usage: zel " << cmd.name << ' ' << cmd.usage << '\n';
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

}  // namespace zel::cli
