// tools/zel/args.h — the declarative option table of a subcommand and the
// parser that reads the command line against it.
//
// A command declares its options once; parsing, `--help` and usage errors
// all come from that table:
//
//   constexpr Option kTailOptions[] = {
//       {"lines", 'n', "N", "print the last N lines (default 10)"},
//       {"quiet", 'q', {}, "never print file names"},
//   };
//   int Tail(const ParsedArgs& a) {
//     const long long n = a.GetInt("lines", 10, 0, 1'000'000'000);
//     for (const std::string& file : a.OperandsOrStdin()) ...
//   }
//
// The rules, as coreutils users expect them:
//   --name, --name=VALUE, --name VALUE; -x, -xVALUE, -x VALUE; short flags
//   group (-iq).  "--" ends the options: everything after it is an operand.
//   "-" alone is an operand (stdin).  An argument that reads as a number
//   ("-5", "-.5", "-1e3", "-inf") is an operand unless it names a declared
//   short option.  "--help" and "-h" before "--" print the help.
// Unknown options, a missing value, a value given to a flag, a bad number
// and a wrong operand count throw `BadUsage`; the tool prints it with the
// hint "try 'zel CMD --help'" and exits 2.
#ifndef ZEL_TOOLS_ZEL_ARGS_H_
#define ZEL_TOOLS_ZEL_ARGS_H_

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zel::cli {

struct Option {
  std::string_view name;      // long form without "--"; empty for a short-only option
  char short_name = 0;        // 'n' for -n; 0 for none
  std::string_view value;     // the value's name in --help ("N"); empty for a flag
  std::string_view help;      // one line
  // The key `ParsedArgs` knows the option by: its long name, or its short
  // letter when it has no long name.
  std::string_view Key() const noexcept {
    return name.empty() ? std::string_view(&short_name, 1) : name;
  }
};

// A usage error found while reading the command line (or later, while the
// command checks its values).  The tool prints it and exits with status 2.
class BadUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ParsedArgs {
 public:
  // Reads `args` (the words after the command name) against `options`.
  // Throws BadUsage.  Sets `help_requested` instead of parsing further
  // when "--help"/"-h" comes before "--".
  ParsedArgs(std::span<const Option> options, const std::vector<std::string>& args);

  bool HelpRequested() const noexcept { return help_requested_; }

  // True when the option was given (at least once).
  bool Has(std::string_view key) const;
  // The last value given for the option, or `fallback`.
  std::string Get(std::string_view key, std::string_view fallback = {}) const;
  // Every value given for the option, in order.
  std::vector<std::string> All(std::string_view key) const;
  // The value as a decimal integer in [lo, hi], or `fallback` when the
  // option was not given; anything else is a usage error naming the option.
  long long GetInt(std::string_view key, long long fallback, long long lo, long long hi) const;
  // The value as a number (C locale), or `fallback` when not given.
  double GetDouble(std::string_view key, double fallback) const;

  const std::vector<std::string>& Operands() const noexcept { return operands_; }
  // How many of the operands came before "--" (all of them without one):
  // only those may be read as an option-like form ("tail -5").
  size_t OperandsBeforeOptionsEnd() const noexcept { return before_end_; }
  // The operands, or a single "-" (stdin) when there are none.
  std::vector<std::string> OperandsOrStdin() const;
  // Throws BadUsage unless the operand count is within [min, max]
  // (max < 0: no upper limit).  `what` names the missing operand, or the
  // `min` required operands one by one ("SRC DST"), of which the message
  // names those not given ("missing DST").
  void RequireOperands(size_t min, long max, std::string_view what = "operand") const;

 private:
  struct Given {
    std::string_view key;
    std::string value;
  };
  std::vector<Given> given_;
  std::vector<std::string> operands_;
  size_t before_end_ = 0;
  bool help_requested_ = false;
};

// True when `arg` reads completely as a number, sign first ("-5", "-.5",
// "-1e3", "-inf", "-nan").
bool LooksLikeNumber(const std::string& arg);

// The options part of a command's --help: one line per option, the forms
// aligned, "-h, --help" last.
std::string OptionsHelp(std::span<const Option> options);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_ARGS_H_
