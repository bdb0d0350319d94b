// `zel tour` section: the regular-expression component TGrep.
#include <string>

#include "tools/zel/cli.h"
#include "zel/stringl/grep.h"
#include "zel/zelbase/errors.h"

namespace zel::cli {
namespace {

// "found at S..E" or "no match", from a real call.
std::string Where(TGrep& grep, StringView input) {
  int pos = 0;
  if (!grep.MatchString(input, pos)) return "no match";
  return "found at " + std::to_string(pos) + ".." + std::to_string(grep.MatchEndPos());
}

void TourGrep() {
  TourHeading("stringl", "regular expressions (TGrep)");
  TGrep grep(nullptr);
  grep.SetName(u"Grep1");
  const struct {
    const char16_t* pattern;
    const char16_t* input;
  } kExamples[] = {
      {u"[0-9]+", u"ab12c"}, {u"a.*c", u"abcbc"}, {u"(ab)+", u"xababy"},
      {u"^abc", u"xabc"},    {u"ab*", u"a"},      {u".*$", u"aa"},
  };
  for (const auto& e : kExamples) {
    grep.SetRegExp(e.pattern);
    TourShow("'" + ToUtf8(e.pattern) + "' in '" + ToUtf8(e.input) + "'", Where(grep, e.input));
  }
  grep.SetIgnoreCase(true);
  grep.SetRegExp(u"ABC");
  TourShow("IgnoreCase: 'ABC' in 'xabcx'", Where(grep, u"xabcx"));
  grep.SetIgnoreCase(false);

  grep.SetRegExp(u"ab*c");
  TourShow("'ab*c' compiles to tokens", grep.NrOfRegExpTokens());
  for (const String& line : grep.RegExpListing()) TourShow("  listing", line);
  try {
    grep.SetRegExp(u"[a^]");
  } catch (const EZELStringlError& e) {
    TourShow("'[a^]' raises", e.Message());
  }
}

const TourSection kGrep(52, &TourGrep);

}  // namespace

}  // namespace zel::cli
