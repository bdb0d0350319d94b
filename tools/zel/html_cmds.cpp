// Subcommands of HTML support: html, urlencode, urldecode, htmlwords.
#include <iostream>
#include <map>

#include "tools/zel/cli.h"
#include "zel/htmlsupport/htmlsupport.h"
#include "zel/platform/casemap.h"

namespace zel::cli {
namespace {

int Html(const ParsedArgs& args);
int UrlEncode(const ParsedArgs& args);
int UrlDecode(const ParsedArgs& args);
int HtmlWords(const ParsedArgs& args);

constexpr Option kHtmlWordsOptions[] = {
    {"no-numbers", 0, {}, "do not count words that begin with a digit"},
};

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
    {.name = "urlencode", .summary = "percent-encode the reserved characters of URL text",
     .operands = "[TEXT]",
     .description =
         "Prints TEXT, or each line of stdin when no TEXT is given, with the blank\n"
         "and the characters ! * ' ( ) ; : @ & = + $ , / ? % # [ ] written as\n"
         "'%' and two hexadecimal digits.  Other characters stay as they are.\n"
         "Use '--' before a TEXT that begins with '-'.",
     .main = &UrlEncode},
    {.name = "urldecode", .summary = "decode the percent escapes of URL text",
     .operands = "[TEXT]",
     .description =
         "Prints TEXT, or each line of stdin when no TEXT is given, with each\n"
         "'%XX' escape replaced by the character of code XX (hexadecimal), in two\n"
         "passes, so that '%2541' gives 'A'.  '+' is not changed.  Use '--' before\n"
         "a TEXT that begins with '-'.",
     .main = &UrlDecode},
    {.name = "htmlwords", .summary = "count the words of an HTML text outside its markup",
     .operands = "[FILE]",
     .description =
         "Prints the number of words in FILE (stdin when no FILE) outside markup:\n"
         "text between '<' and '>' is skipped, also across lines.  A word is a run\n"
         "of two or more characters between separators, as for 'zel words'.",
     .options = kHtmlWordsOptions, .main = &HtmlWords},
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
int UrlFilter(const ParsedArgs& args, String (*convert)(StringView)) {
  if (args.Operands().size() > 1) throw BadUsage("too many arguments (quote the TEXT)");
  if (args.Operands().size() == 1) {
    PrintLine(convert(FromUtf8(args.Operands()[0])));
    return kOk;
  }
  const Input in = OpenInput("-");
  if (!in) return kFailure;
  TLineReader reader = LineReader(in);
  OutBuffer out;
  for (String line; reader.ReadLine(line);) out.Line(convert(line));
  return ReadSucceeded(reader, in) ? kOk : kFailure;
}

int UrlEncode(const ParsedArgs& args) { return UrlFilter(args, &URLEncode); }
int UrlDecode(const ParsedArgs& args) { return UrlFilter(args, &URLDecode); }

int HtmlWords(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const bool ignore_numbers = args.Has("no-numbers");
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  // Line ends are kept: they separate the last word of a line from the next.
  TLineReader reader = LineReader(in, leKeep);
  bool in_tag = false;
  long long total = 0;
  for (String line; reader.ReadLine(line);) total += CountWordsHTML(line, ignore_numbers, in_tag);
  if (!ReadSucceeded(reader, in)) return kFailure;
  std::cout << total << '\n';
  return kOk;
}

const CommandGroup kGroup(70, kCommands);

}  // namespace

}  // namespace zel::cli
