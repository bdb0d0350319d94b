// Subcommands of HTML support: html, urlencode, urldecode, htmlwords.
#include <iostream>
#include <map>

#include "tools/zel/cli.h"
#include "zel/htmlsupport/htmlsupport.h"
#include "zel/platform/casemap.h"

namespace zel::cli {
namespace {

int Html(const ParsedArgs& args);
int UrlEncode(const Args& args);
int UrlDecode(const Args& args);
int HtmlWords(const Args& args);

constexpr Command kCommands[] = {
    {.name = "html", .summary = "fill the placeholders of an HTML template",
     .operands = "TEMPLATE [NAME=VALUE ...]",
     .description =
     "Writes the page made from the template file TEMPLATE (stdin for \"-\") to\n"
     "stdout.  A placeholder is '<#' followed by a name, optional parameters\n"
     "after a blank, and '>': '<#date>', '<#table border=1>'.  Each placeholder\n"
     "whose name has a VALUE here is replaced by it (names compare without\n"
     "regard to the case of A-Z); the others stay as they are.",
     .main = &Html},
    {"urlencode", "percent-encode the reserved characters of URL text",
     "[TEXT]\n\n"
     "Prints TEXT, or each line of stdin when no TEXT is given, with the blank\n"
     "and the characters ! * ' ( ) ; : @ & = + $ , / ? % # [ ] written as\n"
     "'%' and two hexadecimal digits.  Other characters stay as they are.\n"
     "Use '--' before a TEXT that begins with '-'.",
     &UrlEncode},
    {"urldecode", "decode the percent escapes of URL text",
     "[TEXT]\n\n"
     "Prints TEXT, or each line of stdin when no TEXT is given, with each\n"
     "'%XX' escape replaced by the character of code XX (hexadecimal), in two\n"
     "passes, so that '%2541' gives 'A'.  '+' is not changed.  Use '--' before\n"
     "a TEXT that begins with '-'.",
     &UrlDecode},
    {"htmlwords", "count the words of an HTML text outside its markup",
     "[--no-numbers] [FILE]\n\n"
     "Prints the number of words in FILE (stdin when no FILE) outside markup:\n"
     "text between '<' and '>' is skipped, also across lines.  A word is a run\n"
     "of two or more characters between separators, as for 'zel words'.  With\n"
     "--no-numbers, a word that begins with a digit is not counted.",
     &HtmlWords},
};

int Html(const ParsedArgs& parsed) {
  parsed.RequireOperands(1, -1, "TEMPLATE");
  const std::vector<std::string>& args = parsed.Operands();
  std::map<String, String> values;
  for (size_t i = 1; i < args.size(); ++i) {
    const size_t eq = args[i].find('=');
    if (eq == std::string::npos || eq == 0) {
      throw BadUsage("expected NAME=VALUE, got '" + args[i] + "'");
    }
    values[LowerCase(FromUtf8(args[i].substr(0, eq)))] = FromUtf8(args[i].substr(eq + 1));
  }
  // Line ends are kept as they are in the file.
  std::vector<String> lines;
  if (!ReadLines(args[0], lines, /*keep_line_ends=*/true)) return kFailure;
  String text;
  for (const auto& line : lines) text += line;

  THtmlProducer producer(nullptr);
  producer.SetTemplate(text);
  producer.SetOnHTMLTag([&values](TObject*, const String& name, const String&, String& r) {
    if (const auto it = values.find(name); it != values.end()) r = it->second;
  });
  std::cout << ToUtf8(producer.Convert());
  return kOk;
}

// urlencode and urldecode: TEXT, or each line of stdin.
int UrlFilter(const Command& cmd, const Args& args, String (*convert)(StringView)) {
  size_t first = 0;
  if (!args.empty() && args[0] == "--") {
    first = 1;
  } else if (!args.empty() && args[0].size() > 1 && args[0][0] == '-') {
    return UsageError(cmd, "unknown option '" + args[0] + "'");
  }
  if (args.size() > first + 1) return UsageError(cmd, "too many arguments (quote the TEXT)");
  if (args.size() == first + 1) {
    PrintLine(convert(FromUtf8(args[first])));
    return kOk;
  }
  std::vector<String> lines;
  if (!ReadLines("", lines)) return kFailure;
  for (const auto& line : lines) PrintLine(convert(line));
  return kOk;
}

int UrlEncode(const Args& args) { return UrlFilter(kCommands[1], args, &URLEncode); }
int UrlDecode(const Args& args) { return UrlFilter(kCommands[2], args, &URLDecode); }

int HtmlWords(const Args& args) {
  const Command& cmd = kCommands[3];
  bool ignore_numbers = false;
  std::string path;
  bool have_path = false;
  for (const auto& a : args) {
    if (a == "--no-numbers") {
      ignore_numbers = true;
    } else if (int s = TakeOperand(cmd, a, path, have_path); s != kOk) {
      return s;
    }
  }
  // Line ends are kept: they separate the last word of a line from the next.
  std::vector<String> lines;
  if (!ReadLines(path, lines, /*keep_line_ends=*/true)) return kFailure;
  bool in_tag = false;
  long long total = 0;
  for (const auto& line : lines) total += CountWordsHTML(line, ignore_numbers, in_tag);
  std::cout << total << '\n';
  return kOk;
}

const CommandGroup kGroup(70, kCommands);

}  // namespace

}  // namespace zel::cli
