#include "zel/stringl/grep.h"
#include "zel/stringl/internal/grepop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

String Pattern(std::string_view ascii) { return S(ascii); }

struct MatchCase {
  const char* pattern;
  const char16_t* input;
  bool found;
  int start;  // MatchPos / MatchStartPos when found
  int end;    // MatchEndPos when found
  bool ignore_case = false;
  int search_start = 1;
};

class GrepMatch : public testing::TestWithParam<MatchCase> {
 protected:
  void TearDown() override { detail::ForceGrepTable(false); }
};

// Once through the backtracking walk, once through the table that takes
// over from a long walk: the same match either way.
TEST_P(GrepMatch, FindsTheDocumentedMatch) {
  const MatchCase& c = GetParam();
  for (const bool table : {false, true}) {
    SCOPED_TRACE(table ? "table" : "walk");
    detail::ForceGrepTable(table);
    TGrep grep(nullptr);
    grep.SetIgnoreCase(c.ignore_case);
    grep.SetRegExp(Pattern(c.pattern));
    ASSERT_EQ(grep.LastError(), 0);
    grep.SetSearchStartPos(c.search_start);
    int pos = -1;
    ASSERT_EQ(grep.MatchString(c.input, pos), c.found);
    if (c.found) {
      EXPECT_EQ(pos, c.start);
      EXPECT_EQ(grep.MatchStartPos(), c.start);
      EXPECT_EQ(grep.MatchEndPos(), c.end);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GrepMatch,
    testing::Values(
        // The documented examples.
        MatchCase{"abc", u"xxabcxx", true, 3, 5},
        MatchCase{"^abc", u"xabc", false, 0, 0},
        MatchCase{"^abc", u"xabc", false, 0, 0, false, 2},
        MatchCase{"^abc", u"abcx", true, 1, 3},
        MatchCase{"a*", u"bbb", true, 1, 3},
        MatchCase{"[0-9]+", u"ab12c", true, 3, 4},
        MatchCase{"(ab)+", u"xababy", true, 2, 5},
        MatchCase{"ab*c", u"ac", true, 1, 2},
        MatchCase{"ab*c", u"abbc", true, 1, 4},
        MatchCase{"ABC", u"xabcx", true, 2, 4, true},
        MatchCase{"ABC", u"xABCx", true, 2, 4, true},
        MatchCase{"abc", u"xABCx", false, 0, 0},
        MatchCase{"\\#41", u"xA", true, 2, 2},
        MatchCase{"\\#41", u"xA", false, 0, 0, true},  // folded pattern, then the escape
        MatchCase{"\\#41", u"xa", false, 0, 0, true},
        // The same past the eight characters a block scan needs.
        MatchCase{"\\#41", u"aaaaaaaaaaA", false, 0, 0, true},
        MatchCase{"x\\#41", u"xxxxxxxxxxxA", false, 0, 0, true},
        MatchCase{"a.*c", u"abcbc", true, 1, 3},
        MatchCase{"b+", u"abbbc", true, 2, 4},
        // The end of the input.
        MatchCase{"a.", u"a", false, 0, 0},
        MatchCase{"x[^a]", u"x", false, 0, 0},
        MatchCase{"ab*", u"a", true, 1, 1},
        MatchCase{"ab?", u"a", true, 1, 1},
        MatchCase{"ab?", u"ab", true, 1, 2},
        MatchCase{"a(bc)?", u"abc", true, 1, 3},
        MatchCase{"a(bc)?", u"ab", true, 1, 1},
        MatchCase{"a.?", u"a", true, 1, 1},
        MatchCase{".*$", u"aa", true, 1, 2},
        MatchCase{"[a]*$", u"aa", true, 1, 2},
        MatchCase{"b*$", u"aab", true, 3, 3},
        MatchCase{"ab+$", u"xabb", true, 2, 4},
        MatchCase{"[0-9]+", u"ab12", true, 3, 4},
        MatchCase{"x[0-9]*", u"x12", true, 1, 3},
        MatchCase{"(ab)+", u"xa", false, 0, 0},
        MatchCase{"x(ab)+", u"xaba", true, 1, 3},
        MatchCase{"b*$", u"aa", true, 3, 2},  // only the position after the end
        MatchCase{"b*$", u"", true, 1, 0},
        MatchCase{"c$", u"abc", true, 3, 3},
        MatchCase{"c$", u"abcd", false, 0, 0},
        MatchCase{"^$", u"", true, 1, 0},
        MatchCase{"^$", u"a", false, 0, 0},
        // Repetitions before more pattern take as few as they can.
        MatchCase{"a.*", u"xabc", true, 2, 4},
        MatchCase{"a.+c", u"acbc", true, 1, 4},
        MatchCase{"a[bc]*d", u"abcbd", true, 1, 5},
        MatchCase{"ab*bc", u"abbbc", true, 1, 5},
        MatchCase{"a?b", u"xb", true, 2, 2},
        MatchCase{"(ab)*c", u"ababc", true, 1, 5},
        MatchCase{"(ab)(cd)", u"abcd", true, 1, 4},
        MatchCase{"(ab)(cd)+", u"abcdcd", true, 1, 6},
        MatchCase{"(ab)(cd)+", u"ababcd", true, 3, 6},
        // Starting later, and characters outside the 8-bit range.
        MatchCase{"b", u"abab", true, 4, 4, false, 3},
        MatchCase{"b", u"abab", false, 0, 0, false, 6},
        MatchCase{"a*", u"abc", false, 0, 0, false, 5},  // input shorter than the start
        MatchCase{"[^a]", u"\u20ac", false, 0, 0},
        MatchCase{"x[^a]", u"x\u00e4", true, 1, 2},
        MatchCase{"\u00e9t\u00e9", u"\u00c9T\u00c9 \u00e9t\u00e9", true, 5, 7, true},
        MatchCase{"", u"abc", true, 1, 0},
        MatchCase{"[A-C]+", u"xxbcA", true, 3, 5, true}));

TEST(Grep, MatchStringUsesTheUtf16Pattern) {
  TGrep grep(nullptr);
  grep.SetRegExp(u"\u20ac+[0-9]");
  int pos = 0;
  EXPECT_TRUE(grep.MatchString(u"ab\u20ac\u20ac7", pos));
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(grep.MatchEndPos(), 5);
}

// The scans for a start and for the end of a run work on blocks of
// characters; every offset of the match inside and at the end of a block
// must be found, from every start, with and without folding.
// Runs `body` once per width of the literal scan this processor offers,
// narrowest first (the widths apply to patterns compiled after they are
// set); the widest is set again at the end.
template <class Body>
void AtEveryScanWidth(const Body& body) {
  for (int w = detail::kGrepPortable; w <= detail::GrepVectorAvailable(); ++w) {
    SCOPED_TRACE(testing::Message() << "scan width " << w);
    detail::LimitGrepVector(static_cast<detail::GrepVector>(w));
    body();
  }
  detail::LimitGrepVector(detail::kGrepAvx512);
}

TEST(Grep, FindsTheFirstMatchAtEveryOffset) {
  const struct {
    const char16_t* pattern;
    bool ignore_case;
    const char16_t* needle;
    bool run = false;
  } kCases[] = {
      {u"ab", false, u"ab"},  {u"ab", true, u"aB"},  {u"a", false, u"a"},
      {u"[a-b]+", false, u"a"}, {u"[A-B]+", true, u"A"}, {u"(ab)+", true, u"AB"},
      {u"a[b]", false, u"ab"}, {u"[a-b]+", false, u"abbaabbab", true},
      {u"[A-B]+", true, u"aBbA", true}, {u"[0-9]", false, u"7"},
      // Literals found by their first, second and last characters, alone
      // and as the first item of a longer pattern.
      {u"abc", false, u"abc"}, {u"ABC", true, u"aBc"}, {u"abcdef", false, u"abcdef"},
      {u"(abc)+", true, u"AbC"}, {u"ab.d", false, u"abxd"}, {u"abc[d]", true, u"ABCd"},
      // Runs that end at, just before and past the end of a block.
      {u"[0-9]+", false, u"0123456789012345", true},
      {u"[0-9]+", false, u"01234567890123456789", true},
      {u"[A-B]+", true, u"aBbAabABbaBAabbaBAb", true}};
  AtEveryScanWidth([&] {
    for (const auto& c : kCases) {
      TGrep grep(nullptr);
      grep.SetIgnoreCase(c.ignore_case);
      grep.SetRegExp(c.pattern);
      const String needle = c.needle;
      for (int length = 2; length <= 40; ++length) {
        for (int at = 1; at + static_cast<int>(needle.size()) - 1 <= length; ++at) {
          String input(static_cast<size_t>(length), u'x');
          input.replace(static_cast<size_t>(at) - 1, needle.size(), needle);
          const int last = at + static_cast<int>(needle.size()) - 1;
          for (int start = 1; start <= length + 1; ++start) {
            grep.SetSearchStartPos(start);
            int pos = 0;
            const bool found = grep.MatchString(input, pos);
            // A set repetition also matches the rest of its run.
            const bool want = start <= at || (c.run && start <= last);
            ASSERT_EQ(found, want) << ToUtf8(c.pattern) << " at " << at << " in " << length;
            if (found) {
              ASSERT_EQ(pos, std::max(start, at));
              ASSERT_EQ(grep.MatchEndPos(), last);
            }
          }
        }
      }
    }
  });
}

// Single literals, runs of one and '^' with a literal against a plain
// search of the folded input, over random lines of a few letters (so that
// partial matches abound), at every scan width and from every start.  A
// failed search reports the start of the last match (0 before the first).
TEST(Grep, LiteralSearchAgreesWithAPlainSearch) {
  const struct {
    const char* pattern;
    bool ignore_case;
    const char16_t* literal;  // what stands at a match in the folded input
    bool run = false;
    bool bol = false;
  } kCases[] = {
      {"b", false, u"b"}, {"ab", false, u"ab"}, {"abc", false, u"abc"}, {"aBC", true, u"abc"},
      {"abcab", false, u"abcab"}, {"AbCaB", true, u"abcab"},
      {"(ab)+", false, u"ab", true}, {"(aB)+", true, u"ab", true}, {"(abca)+", false, u"abca", true},
      {"B+", false, u"B", true},
      // A capital that an escape puts in the pattern: never in the folded input.
      {"\\#41b", true, u"Ab"},
      {"^abc", false, u"abc", false, true}, {"^aBc", true, u"abc", false, true}};
  const String alphabet = u"abcABx\u0141";
  std::mt19937 rng(11);
  std::vector<String> lines;
  for (int i = 0; i < 200; ++i) {
    String line(rng() % 91, u' ');
    for (Char& ch : line) ch = alphabet[rng() % alphabet.size()];
    lines.push_back(line);
  }
  AtEveryScanWidth([&] {
    for (const auto& c : kCases) {
      TGrep grep(nullptr);
      grep.SetIgnoreCase(c.ignore_case);
      grep.SetRegExp(Pattern(c.pattern));
      const String literal = c.literal;
      int last_match = 0;
      for (const String& line : lines) {
        const String folded = c.ignore_case ? LowerCase(line) : line;
        const int length = static_cast<int>(line.size());
        for (int start = 1; start <= length + 2; ++start) {
          size_t at = String::npos;
          if (!c.bol) {
            at = folded.find(literal, static_cast<size_t>(start) - 1);
          } else if (start == 1 && folded.compare(0, literal.size(), literal) == 0) {
            at = 0;
          }
          grep.SetSearchStartPos(start);
          int pos = -1;
          const bool found = grep.MatchString(line, pos);
          ASSERT_EQ(found, at != String::npos) << c.pattern << " from " << start << " in " << ToUtf8(line);
          // '^' passes at the first position whether the literal follows or not.
          if (found || (c.bol && start == 1)) last_match = found ? static_cast<int>(at) + 1 : 1;
          ASSERT_EQ(pos, last_match) << c.pattern << " from " << start << " in " << ToUtf8(line);
          if (!found) continue;
          size_t end = at + literal.size();
          while (c.run && folded.compare(end, literal.size(), literal) == 0) end += literal.size();
          ASSERT_EQ(grep.MatchEndPos(), static_cast<int>(end)) << c.pattern << " in " << ToUtf8(line);
        }
      }
    }
  });
}

// MatchUtf8 on a line of bytes gives exactly what MatchString gives on the
// decoded line: result, positions and every token's ValidFrom, line after
// line (so what an earlier line left in the tokens is compared too), from
// every start, at every scan width, through the walk and through the table.
// Lines mix ASCII with UTF-8 characters, invalid bytes and ASCII-only lines;
// the patterns cover each kind of search, with ASCII and other characters.
TEST(Grep, MatchUtf8AgreesWithMatchStringOnTheDecodedLine) {
  const struct {
    const char* pattern;  // UTF-8
    bool ignore_case;
  } kCases[] = {
      {"ab", false}, {"aB", true}, {"(ab)+", false}, {"(Ab)+", true}, {"b+", false},
      {"[0-9]+", false}, {"[a-b]", true}, {"[A-B]+", true}, {"\\#41", false},
      {"^ab", false}, {"^aB", true}, {"^\\#E9", false},
      {"a.*b", false}, {"a.*B", true}, {"[^a]b", false}, {"a?b*$", false}, {"[a-b]*1", false},
      {"x[\\#80-\\#FF]", false}, {"\xC3\xA9", false}, {"a\xC3\xA9+", true}, {"[\xC3\xA9]b", false},
      {"\xC5\x81", false}, {"^\xC3\xA9", false}, {".", false}, {"a*", false}, {"", false}};
  const std::vector<std::string> pieces = {"a", "b", "A", "B", "1", "x", " ", "ab",
                                           "\xC3\xA9", "\xC5\x81", "\xFF", "\x80", "\xC3", "\xE9"};
  std::mt19937 rng(21);
  std::vector<std::string> lines = {"", "ab", "\xC3\xA9" "ab", "ab\xC3\xA9", "x\xC3\xA9" "1"};
  for (int i = 0; i < 120; ++i) {
    std::string line;
    const bool ascii = i % 2 == 0;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) {
      line += pieces[rng() % (ascii ? 8 : pieces.size())];
    }
    lines.push_back(line);
  }
  for (const bool table : {false, true}) {
    detail::ForceGrepTable(table);
    AtEveryScanWidth([&] {
      for (const auto& c : kCases) {
        TGrep by_bytes(nullptr), by_chars(nullptr);
        for (TGrep* g : {&by_bytes, &by_chars}) {
          g->SetStopOnError(false);
          g->SetIgnoreCase(c.ignore_case);
          g->SetRegExp(FromUtf8(c.pattern));
        }
        for (const std::string& line : lines) {
          const String decoded = FromUtf8(line);
          for (int start = 0; start <= static_cast<int>(decoded.size()) + 2; ++start) {
            by_bytes.SetSearchStartPos(start);
            by_chars.SetSearchStartPos(start);
            int pos_bytes = -7, pos_chars = -7;
            const bool found = by_chars.MatchString(decoded, pos_chars);
            ASSERT_EQ(by_bytes.MatchUtf8(line, pos_bytes), found) << c.pattern << " in " << line;
            ASSERT_EQ(pos_bytes, pos_chars) << c.pattern << " in " << line << " from " << start;
            ASSERT_EQ(by_bytes.MatchStartPos(), by_chars.MatchStartPos());
            ASSERT_EQ(by_bytes.MatchEndPos(), by_chars.MatchEndPos()) << c.pattern << " in " << line;
            for (int k = 1; k <= by_chars.NrOfRegExpTokens(); ++k) {
              ASSERT_EQ(by_bytes.GetRegExpToken(k).ValidFrom, by_chars.GetRegExpToken(k).ValidFrom)
                  << c.pattern << " token " << k << " in " << line << " from " << start;
            }
          }
        }
      }
    });
  }
  detail::ForceGrepTable(false);
}

struct CompileCase {
  const char* pattern;
  int error;
  int tokens;
};

class GrepCompile : public testing::TestWithParam<CompileCase> {};

TEST_P(GrepCompile, GivesTheErrorCodeAndTokenCount) {
  const CompileCase& c = GetParam();
  TGrep grep(nullptr);
  EXPECT_EQ(grep.CompileRegExp(Pattern(c.pattern)), c.error);
  EXPECT_EQ(grep.LastError(), c.error);
  EXPECT_EQ(grep.NrOfRegExpTokens(), c.tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GrepCompile,
    testing::Values(
        CompileCase{"*a", 1, 0}, CompileCase{"$", 1, 0}, CompileCase{"+", 1, 0},
        CompileCase{"?a", 1, 0}, CompileCase{"a^", 2, 1}, CompileCase{"(a^)", 2, 1},
        CompileCase{"[a]^", 2, 1}, CompileCase{"(a)^", 2, 1}, CompileCase{"a$b", 3, 2},
        CompileCase{"[]", 4, 1}, CompileCase{"[a^]", 5, 1}, CompileCase{"[^^]", 5, 1},
        CompileCase{"a]", 6, 1}, CompileCase{"]", 6, 0}, CompileCase{"[a]]", 6, 1},
        CompileCase{"(a)]", 6, 1}, CompileCase{"[-a]", 7, 1}, CompileCase{"[^-a]", 7, 1},
        CompileCase{"[a]-", 7, 1}, CompileCase{"a)", 8, 1}, CompileCase{")", 8, 0},
        CompileCase{"[a])", 8, 1}, CompileCase{"(a))", 8, 1}, CompileCase{"^*", 9, 1},
        CompileCase{"a**", 9, 1}, CompileCase{"[a]*+", 9, 1}, CompileCase{"(a)*?", 9, 1},
        CompileCase{"()*", 9, 1}, CompileCase{"a$*", 3, 2},
        // No error.
        CompileCase{"[ab", 0, 1}, CompileCase{"(ab", 0, 1}, CompileCase{"[^]", 0, 1},
        CompileCase{"ab*c", 0, 3}, CompileCase{"abc*", 0, 2}, CompileCase{"a.b.", 0, 4},
        CompileCase{"(ab)(cd)", 0, 2}, CompileCase{"(ab)*(cd)", 0, 2}, CompileCase{"^$", 0, 2},
        CompileCase{"[a][b]c", 0, 3}, CompileCase{"(a-b)-", 0, 2}, CompileCase{"\\*a", 0, 1},
        CompileCase{"a\\", 0, 1}, CompileCase{"", 0, 0}, CompileCase{"\\#2A", 1, 0},
        CompileCase{"\\\\#2A", 0, 1}));

TEST(Grep, TooManyTokensOrTooLongALiteralIsError10) {
  TGrep grep(nullptr);
  String tokens;
  for (int i = 0; i < 64; ++i) tokens += u"a.";  // 128 tokens wanted
  EXPECT_EQ(grep.CompileRegExp(tokens), grepErrTooLong);
  EXPECT_EQ(grep.NrOfRegExpTokens(), 64);
  EXPECT_EQ(grep.CompileRegExp(tokens.substr(0, 64)), 0);
  EXPECT_EQ(grep.NrOfRegExpTokens(), 64);
  // The split of a long literal by an operator also needs a token.
  EXPECT_EQ(grep.CompileRegExp(tokens.substr(0, 62) + u".xy*"), grepErrTooLong);

  EXPECT_EQ(grep.CompileRegExp(String(255, u'x')), 0);
  EXPECT_EQ(grep.GetRegExpToken(1).NumChars, 255);
  EXPECT_EQ(grep.CompileRegExp(String(256, u'x')), grepErrTooLong);
  EXPECT_EQ(grep.CompileRegExp(u"(" + String(256, u'x') + u")"), grepErrTooLong);
  EXPECT_EQ(GrepErrorMessage(grepErrTooLong),
            u"reg.exp. too long: more than 64 tokens or 255 characters in a literal");
}

TEST(Grep, TokensHoldTheCompiledItems) {
  TGrep grep(nullptr);
  grep.SetRegExp(u"ab*c");
  ASSERT_EQ(grep.NrOfRegExpTokens(), 3);
  EXPECT_EQ(grep.GetRegExpToken(1).Action, taNormal);
  EXPECT_EQ(grep.GetRegExpToken(1).NumChars, 1);
  EXPECT_EQ(grep.GetRegExpToken(1).Params[1], u'a');
  EXPECT_EQ(grep.GetRegExpToken(2).Action, taMult0);
  EXPECT_EQ(grep.GetRegExpToken(2).NumChars, 1);
  EXPECT_EQ(grep.GetRegExpToken(2).Params[1], u'b');
  EXPECT_EQ(grep.GetRegExpToken(3).Action, taNormal);
  // Out-of-range indexes are clamped.
  EXPECT_EQ(grep.GetRegExpToken(0).Params[1], u'a');
  EXPECT_EQ(grep.GetRegExpToken(-5).Params[1], u'a');
  EXPECT_EQ(grep.GetRegExpToken(99).Params[1], u'c');
  EXPECT_EQ(grep.RegExpToken(99).Params[1], u'c');

  grep.SetRegExp(u"[a-c]?.+(xy)*");
  EXPECT_EQ(grep.GetRegExpToken(1).Action, taOpti);
  EXPECT_EQ(grep.GetRegExpToken(1).NumChars, -1);
  EXPECT_EQ(grep.GetRegExpToken(2).Action, taMult1);
  EXPECT_EQ(grep.GetRegExpToken(2).NumChars, 0);
  EXPECT_EQ(grep.GetRegExpToken(3).Action, taMult0);
  EXPECT_EQ(grep.GetRegExpToken(3).NumChars, 2);
}

// The members of token 1's set as a string of codes 0..255.
String SetMembers(const TGrep& grep) {
  String members;
  const TGrepToken t = grep.GetRegExpToken(1);
  for (int code = 0; code < 256; ++code) {
    if (t.Params[code] == u'*') members += static_cast<Char>(code);
    else EXPECT_EQ(t.Params[code], u' ');
  }
  return members;
}

TEST(Grep, SetsRangesAndNegation) {
  TGrep grep(nullptr);
  grep.SetRegExp(u"[c-a]");
  const String abc = SetMembers(grep);
  EXPECT_EQ(abc, u"abc");
  grep.SetRegExp(u"[a-c]");
  EXPECT_EQ(SetMembers(grep), abc);
  grep.SetRegExp(u"[^a]");
  const String not_a = SetMembers(grep);
  EXPECT_EQ(not_a.size(), 255u);
  EXPECT_EQ(not_a.find(u'a'), String::npos);
  grep.SetRegExp(u"[\\]\\-x]");
  EXPECT_EQ(SetMembers(grep), u"-]x");
  grep.SetRegExp(u"[x-\u20ac]");  // a range ends at 255
  EXPECT_EQ(SetMembers(grep).size(), 256u - 'x');
  grep.SetRegExp(u"[z-x-b]");  // the lower end of a range is remembered
  EXPECT_EQ(SetMembers(grep), u"bcdefghijklmnopqrstuvwxyz");
  grep.SetRegExp(u"[^ab");  // an unclosed set is not negated
  EXPECT_EQ(SetMembers(grep), u"ab");
  grep.SetRegExp(u"[a-");  // a trailing minus adds nothing
  EXPECT_EQ(SetMembers(grep), u"a");
  grep.SetIgnoreCase(true);
  grep.SetRegExp(u"[A-C]");
  EXPECT_EQ(SetMembers(grep), u"abc");
}

TEST(Grep, HexEscapesAreResolvedBeforeCompiling) {
  TGrep grep(nullptr);
  grep.SetRegExp(u"a\\#2A");  // produces '*', which then acts as an operator
  EXPECT_EQ(grep.GetRegExpToken(1).Action, taMult0);
  grep.SetRegExp(u"\\#4a\\#62");  // either case of hex digits
  EXPECT_EQ(grep.GetRegExpToken(1).NumChars, 2);
  EXPECT_EQ(grep.GetRegExpToken(1).Params[1], u'J');
  EXPECT_EQ(grep.GetRegExpToken(1).Params[2], u'b');
  grep.SetRegExp(u"\\\\#41");  // after a backslash: literal "\#41"
  EXPECT_EQ(grep.GetRegExpToken(1).NumChars, 4);
  EXPECT_EQ(grep.GetRegExpToken(1).Params[1], u'\\');
  grep.SetRegExp(u"x\\#4");  // too short for an escape: '#' and '4' literally
  EXPECT_EQ(grep.GetRegExpToken(1).NumChars, 3);
  EXPECT_EQ(grep.GetRegExpToken(1).Params[2], u'#');
}

TEST(Grep, StopOnErrorRaisesInTheComponentForm) {
  TGrep grep(nullptr);
  grep.SetName(u"Grep1");
  try {
    grep.SetRegExp(u"[]");
    FAIL() << "no exception";
  } catch (const EZELStringlError& e) {
    EXPECT_EQ(e.Message(), u"Component \"Grep1\": error in regular expression - empty set");
  }
  EXPECT_EQ(grep.RegExp(), u"[]");
  EXPECT_EQ(grep.LastError(), grepErrEmptySet);

  grep.SetStopOnError(false);
  EXPECT_NO_THROW(grep.SetRegExp(u"a**"));
  EXPECT_EQ(grep.LastError(), grepErrOperator);
  // Recompiling through IgnoreCase never raises.
  grep.SetStopOnError(true);
  EXPECT_NO_THROW(grep.SetIgnoreCase(true));
  EXPECT_EQ(grep.LastError(), grepErrOperator);
}

TEST(Grep, CreateDefaults) {
  TGrep grep(nullptr);
  EXPECT_FALSE(grep.IgnoreCase());
  EXPECT_TRUE(grep.StopOnError());
  EXPECT_EQ(grep.SearchStartPos(), 1);
  EXPECT_EQ(grep.MatchStartPos(), 0);
  EXPECT_EQ(grep.MatchEndPos(), 0);
  EXPECT_EQ(grep.NrOfRegExpTokens(), 0);
  EXPECT_EQ(grep.LastError(), 0);
}

TEST(Grep, IgnoreCaseRecompilesTheStoredPattern) {
  TGrep grep(nullptr);
  grep.SetRegExp(u"AB");
  int pos = 0;
  EXPECT_FALSE(grep.MatchString(u"xab", pos));
  grep.SetIgnoreCase(true);
  EXPECT_TRUE(grep.MatchString(u"xab", pos));
  EXPECT_EQ(grep.RegExp(), u"AB");
  grep.SetIgnoreCase(false);
  EXPECT_FALSE(grep.MatchString(u"xab", pos));
}

TEST(Grep, FailureReportsTheLastStartWhereTheFirstTokenPassed) {
  TGrep grep(nullptr);
  grep.SetRegExp(u"a[b]");
  int pos = -1;
  EXPECT_FALSE(grep.MatchString(u"zzz", pos));
  EXPECT_EQ(pos, 0);  // never passed since compilation
  EXPECT_FALSE(grep.MatchString(u"axxaxx", pos));
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(grep.MatchStartPos(), 4);
  EXPECT_EQ(grep.GetRegExpToken(1).ValidFrom, 4);
  EXPECT_TRUE(grep.MatchString(u"xxab", pos));
  EXPECT_EQ(grep.GetRegExpToken(2).ValidFrom, 4);
  const int end = grep.MatchEndPos();
  EXPECT_FALSE(grep.MatchString(u"zzz", pos));
  EXPECT_EQ(pos, 3);  // still the earlier start
  EXPECT_EQ(grep.MatchEndPos(), end);
}

// Ten stacked repetitions before a failing item would try about 400^10
// ways; the search must still finish (a hang here is the fault).
TEST(Grep, DeeplyStackedRepetitionsFinish) {
  TGrep grep(nullptr);
  grep.SetRegExp(u".*.*.*.*.*.*.*.*.*.*x");
  const String input(400, u'a');
  int pos = 0;
  EXPECT_FALSE(grep.MatchString(input, pos));
  EXPECT_TRUE(grep.MatchString(input + u"x", pos));
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(grep.MatchEndPos(), 401);
  // The table of one search does not carry over to the next.
  grep.SetRegExp(u"a.*.*.*.*.*.*.*.*.*b");
  EXPECT_FALSE(grep.MatchString(input, pos));
  EXPECT_TRUE(grep.MatchString(input.substr(0, 200) + u"b", pos));
  EXPECT_EQ(grep.MatchEndPos(), 201);
}

std::vector<int> ValidFroms(const TGrep& grep) {
  std::vector<int> v;
  for (int k = 1; k <= grep.NrOfRegExpTokens(); ++k) v.push_back(grep.GetRegExpToken(k).ValidFrom);
  return v;
}

// A failed search leaves each token where the walk last passed it, also
// when the walk ran long enough to be decided by the table: here the last
// attempt (after the last character) passes the four repetitions, and 'c'
// never passes.
TEST(Grep, FailedLongSearchKeepsWhereEachTokenLastPassed) {
  for (const bool table : {false, true}) {
    SCOPED_TRACE(table ? "table" : "walk");
    detail::ForceGrepTable(table);
    TGrep grep(nullptr);
    grep.SetRegExp(u".*.*.*[ab]*c");
    int pos = -1;
    EXPECT_FALSE(grep.MatchString(u"abbbaabbabbbabaaabab", pos));
    EXPECT_EQ(pos, 21);
    EXPECT_EQ(ValidFroms(grep), (std::vector<int>{21, 21, 21, 21, 0}));
    // Where the search gives up, a token that passed earlier in it keeps
    // that position: 'b' last passed at 3 (from the starts at 1 and 2), '[c]'
    // never.
    grep.SetRegExp(u"a+b[c]");
    EXPECT_FALSE(grep.MatchString(u"aabaaa", pos));
    EXPECT_EQ(ValidFroms(grep), (std::vector<int>{6, 3, 0}));
    detail::ForceGrepTable(false);
  }
}

// Stacked repetitions over one long run, where every later start fails the
// same way as the first: the search must neither hang nor lose a position.
// `vf` holds the `ValidFrom` of each token after the search, with L for
// the line length.
TEST(Grep, RepetitionsOverALongRunGiveTheDefinedPositions) {
  constexpr int L = 100000;
  const String line(L, u'a');
  const struct {
    const char* pattern;
    String input;
    bool found;
    int end;
    std::vector<int> vf;
  } kCases[] = {
      {"a*b", line, false, 0, {L + 1, 0}},
      {"[a-z]*x", line, false, 0, {L + 1, 0}},
      {"a*a*a*a*a*b", line, false, 0, {L + 1, L + 1, L + 1, L + 1, L + 1, 0}},
      // A one-or-more item needs an 'a': the last start that reaches token
      // k + 1 is L - k.
      {"a+a+a+a+a+b", line, false, 0, {L, L, L, L, L, 0}},
      {".*.*.*=.*", line, false, 0, {L + 1, L + 1, L + 1, 0, 0}},
      {"[a]*[a]*[a]*[a]*[a]*b", line, false, 0, {L + 1, L + 1, L + 1, L + 1, L + 1, 0}},
      // Found: the first way through, shortest first.  The first two take
      // one long walk; the rest fail for long before they match.
      {"a*a*a*a*a*b", line + u"b", true, L + 1, {1, 1, 1, 1, 1, L + 1}},
      {"a*a*a*a*a*bc", line + u"bxabc", true, L + 5, {L + 3, L + 3, L + 3, L + 3, L + 3, L + 4}},
      {"^a?[a-x]*x[a-w]*[a-w]*[a-w]*y", u"x" + line + u"xy", true, L + 3,
       {1, 1, 1, L + 2, L + 3, L + 3, L + 3, L + 3}},
      {"a+a+a+a+a+b", line + u"b", true, L + 1, {1, 2, 3, 4, 5, L + 1}},
      {".*.*.*b.*", line + u"bcc", true, L + 3, {1, 1, 1, L + 1, L + 2}},
      {"^a?a*a(aa)+$", line, true, L, {1, 1, 1, 2, 3, L + 1}},
  };
  for (const auto& c : kCases) {
    TGrep grep(nullptr);
    grep.SetRegExp(Pattern(c.pattern));
    int pos = -1;
    ASSERT_EQ(grep.MatchString(c.input, pos), c.found) << c.pattern;
    EXPECT_EQ(pos, c.vf[0]) << c.pattern;
    if (c.found) {
      EXPECT_EQ(grep.MatchEndPos(), c.end) << c.pattern;
    }
    EXPECT_EQ(ValidFroms(grep), c.vf) << c.pattern;
  }
}

TEST(Grep, ListingNamesEveryTokenAndTheErrorState) {
  testutil::TempDir dir("grep");
  TGrep grep(nullptr);
  grep.SetRegExp(u"^a[b-d]+.(xy)?e*\\*f.*[\\#41]$");
  const String file = dir.Path("list.txt");
  grep.PrintRegExp(file);
  EXPECT_EQ(dir.Bytes("list.txt"),
            "    taBol: \r\n"
            " taNormal: a\r\n"
            "  taMult1: (set) bcd\r\n"
            "taAnyByte: \r\n"
            "   taOpti: (string) xy\r\n"
            "  taMult0: (string) e\r\n"
            " taNormal: *f\r\n"
            "  taMult0: (anychar) \r\n"
            "    taSet: A\r\n"
            "    taEol: \r\n"
            "no errors\r\n");
  grep.SetStopOnError(false);
  grep.SetRegExp(u"ab[c]]");
  grep.PrintRegExp(file);
  EXPECT_EQ(dir.Bytes("list.txt"),
            " taNormal: ab\r\n"
            "    taSet: c\r\n"
            "mismatch of set brackets\r\n");
  EXPECT_THROW(grep.PrintRegExp(dir.Path("no/such/dir")), EInOutError);
}

TEST(Grep, OwnerDeletesIt) {
  TComponent owner(nullptr);
  auto* grep = new TGrep(&owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(grep->Owner(), &owner);
}

}  // namespace
}  // namespace zel
