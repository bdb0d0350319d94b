#include "tools/zel/args.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "tools/zel/host.h"

namespace zel::cli {
namespace {

const Option* FindLong(std::span<const Option> options, std::string_view name) {
  for (const Option& o : options)
    if (!o.name.empty() && o.name == name) return &o;
  return nullptr;
}

const Option* FindShort(std::span<const Option> options, char c) {
  for (const Option& o : options)
    if (o.short_name != 0 && o.short_name == c) return &o;
  return nullptr;
}

std::string Display(const Option& o) {
  return o.name.empty() ? "-" + std::string(1, o.short_name) : "--" + std::string(o.name);
}

}  // namespace

bool LooksLikeNumber(const std::string& arg) {
  if (arg.size() < 2) return false;
  char* end = nullptr;
  errno = 0;
  CStrtod(arg.c_str(), &end);
  return end != nullptr && *end == '\0' && end != arg.c_str();
}

ParsedArgs::ParsedArgs(std::span<const Option> options, const std::vector<std::string>& args) {
  bool options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (options_done || a.size() < 2 || a[0] != '-') {
      operands_.push_back(a);
      continue;
    }
    if (a == "--") {
      if (!options_done) before_end_ = operands_.size();
      options_done = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      help_requested_ = true;
      return;
    }
    // The value of an option that takes one: attached, or the next word.
    auto take_value = [&](const Option& o, std::string_view attached) {
      if (!attached.empty()) return std::string(attached);
      if (i + 1 >= args.size())
        throw BadUsage("option '" + Display(o) + "' needs a value " + std::string(o.value));
      return args[++i];
    };
    if (a[1] == '-') {
      const size_t eq = a.find('=');
      const std::string_view name = std::string_view(a).substr(2, eq == std::string::npos ? eq : eq - 2);
      const Option* o = FindLong(options, name);
      if (o == nullptr) throw BadUsage("unknown option '--" + std::string(name) + "'");
      if (o->value.empty()) {
        if (eq != std::string::npos)
          throw BadUsage("option '--" + std::string(name) + "' takes no value");
        given_.push_back({o->Key(), {}});
      } else if (eq != std::string::npos) {
        given_.push_back({o->Key(), a.substr(eq + 1)});
      } else {
        given_.push_back({o->Key(), take_value(*o, {})});
      }
      continue;
    }
    // Short options; a negative number that names no option is an operand.
    if (FindShort(options, a[1]) == nullptr && LooksLikeNumber(a)) {
      operands_.push_back(a);
      continue;
    }
    for (size_t j = 1; j < a.size(); ++j) {
      const Option* o = FindShort(options, a[j]);
      if (o == nullptr) {
        throw BadUsage(j == 1 ? "unknown option '" + a + "'"
                                : "unknown option '-" + std::string(1, a[j]) + "' in '" + a + "'");
      }
      if (!o->value.empty()) {
        given_.push_back({o->Key(), take_value(*o, std::string_view(a).substr(j + 1))});
        break;
      }
      given_.push_back({o->Key(), {}});
    }
  }
  if (!options_done) before_end_ = operands_.size();  // no "--": all came before it
}

bool ParsedArgs::Has(std::string_view key) const {
  return std::any_of(given_.begin(), given_.end(), [&](const Given& g) { return g.key == key; });
}

std::string ParsedArgs::Get(std::string_view key, std::string_view fallback) const {
  for (auto it = given_.rbegin(); it != given_.rend(); ++it)
    if (it->key == key) return it->value;
  return std::string(fallback);
}

std::vector<std::string> ParsedArgs::All(std::string_view key) const {
  std::vector<std::string> values;
  for (const Given& g : given_)
    if (g.key == key) values.push_back(g.value);
  return values;
}

long long ParsedArgs::GetInt(std::string_view key, long long fallback, long long lo,
                             long long hi) const {
  if (!Has(key)) return fallback;
  const std::string v = Get(key);
  char* end = nullptr;
  errno = 0;
  const long long n = std::strtoll(v.c_str(), &end, 10);
  const std::string label = key.size() == 1 ? "-" + std::string(key) : "--" + std::string(key);
  if (v.empty() || *end != '\0' || errno == ERANGE || n < lo || n > hi) {
    throw BadUsage("option '" + label + "' needs an integer from " + std::to_string(lo) +
                     " to " + std::to_string(hi) + ", not '" + v + "'");
  }
  return n;
}

double ParsedArgs::GetDouble(std::string_view key, double fallback) const {
  if (!Has(key)) return fallback;
  const std::string v = Get(key);
  char* end = nullptr;
  const double d = CStrtod(v.c_str(), &end);
  if (v.empty() || *end != '\0') {
    const std::string label = key.size() == 1 ? "-" + std::string(key) : "--" + std::string(key);
    throw BadUsage("option '" + label + "' needs a number, not '" + v + "'");
  }
  return d;
}

std::vector<std::string> ParsedArgs::OperandsOrStdin() const {
  if (operands_.empty()) return {"-"};
  return operands_;
}

void ParsedArgs::RequireOperands(size_t min, long max, std::string_view what) const {
  if (operands_.size() < min) {
    // `what` may name the operands one by one ("DIR MASK"): the message
    // names those not given.
    std::vector<std::string> names;
    for (size_t start = 0; start < what.size();) {
      size_t end = what.find(' ', start);
      if (end == std::string_view::npos) end = what.size();
      if (end > start) names.emplace_back(what.substr(start, end - start));
      start = end + 1;
    }
    if (names.size() != min) throw BadUsage("missing " + std::string(what));
    std::string missing;
    for (size_t i = operands_.size(); i < min; ++i) {
      missing += (missing.empty() ? "" : i + 1 == min ? " and " : ", ") + names[i];
    }
    throw BadUsage("missing " + missing);
  }
  if (max >= 0 && operands_.size() > static_cast<size_t>(max))
    throw BadUsage("too many arguments");
}

std::string OptionsHelp(std::span<const Option> options) {
  std::vector<std::pair<std::string, std::string_view>> rows;
  for (const Option& o : options) {
    std::string form = o.short_name != 0 ? "-" + std::string(1, o.short_name) : "  ";
    if (!o.name.empty()) form += (o.short_name != 0 ? ", --" : "  --") + std::string(o.name);
    if (!o.value.empty()) form += (o.name.empty() ? " " : " ") + std::string(o.value);
    rows.emplace_back(std::move(form), o.help);
  }
  rows.emplace_back("-h, --help", "print this help");
  size_t width = 0;
  for (const auto& r : rows) width = std::max(width, r.first.size());
  std::string out = "options:\n";
  for (const auto& [form, help] : rows) {
    out += "  " + form + std::string(width - form.size() + 2, ' ') + std::string(help) + '\n';
  }
  return out;
}

}  // namespace zel::cli
