// Finding the first match in every line of a 16 MiB text, TGrep beside
// std::regex (ECMAScript) for five patterns.  Both must find the same lines
// at the same start positions (the ends may differ: TGrep's repetitions
// before further pattern take as few characters as they can).
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "zel/stringl/grep.h"

namespace {

constexpr size_t kTextLength = size_t{16} << 20;

struct Corpus {
  std::string bytes;                          // for std::regex
  std::u16string chars;                       // the same text for TGrep
  std::vector<std::pair<size_t, size_t>> lines;  // start, length
};

// Words of letters (the first eight more often) and numbers, lines of 20 to
// 120 characters.
const Corpus& Text() {
  static const Corpus corpus = [] {
    Corpus c;
    std::mt19937 rng(7);
    c.bytes.reserve(kTextLength);
    while (c.bytes.size() < kTextLength) {
      const size_t start = c.bytes.size();
      const size_t want = 20 + rng() % 101;
      while (c.bytes.size() - start < want) {
        if (rng() % 5 == 0) {
          for (int n = 1 + rng() % 4; n > 0; --n) c.bytes += static_cast<char>('0' + rng() % 10);
        } else {
          for (int n = 2 + rng() % 7; n > 0; --n) {
            c.bytes += static_cast<char>(rng() % 2 ? 'a' + rng() % 8 : 'a' + rng() % 26);
          }
        }
        c.bytes += ' ';
      }
      c.lines.emplace_back(start, c.bytes.size() - start);
      c.bytes += '\n';
    }
    c.chars.assign(c.bytes.begin(), c.bytes.end());
    return c;
  }();
  return corpus;
}

// The matched lines and the sum of their match starts, per pattern, from
// whichever side ran first; the other side must agree.
struct Result {
  long lines = 0;
  long long starts = 0;
};

void Compare(benchmark::State& state, const char* pattern, const Result& r) {
  static std::map<std::string, Result> seen;
  const auto [it, first] = seen.emplace(pattern, r);
  if (r.lines == 0) state.SkipWithError("no line matched");
  if (!first && (it->second.lines != r.lines || it->second.starts != r.starts)) {
    state.SkipWithError("TGrep and std::regex disagree");
  }
  state.counters["lines"] = static_cast<double>(r.lines);
}

void BM_Zel(benchmark::State& state, const char* pattern) {
  const Corpus& c = Text();
  zel::TGrep grep(nullptr);
  grep.SetRegExp(zel::String(pattern, pattern + std::char_traits<char>::length(pattern)));
  Result r;
  for (auto _ : state) {
    r = Result{};
    for (const auto& [start, length] : c.lines) {
      int pos = 0;
      if (grep.MatchString(std::u16string_view(c.chars).substr(start, length), pos)) {
        ++r.lines;
        r.starts += pos;
      }
    }
    benchmark::DoNotOptimize(r);
  }
  Compare(state, pattern, r);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bytes.size()));
}

void BM_Anchor(benchmark::State& state, const char* pattern) {
  const Corpus& c = Text();
  const std::regex re(pattern, std::regex::ECMAScript);
  Result r;
  for (auto _ : state) {
    r = Result{};
    std::cmatch m;
    for (const auto& [start, length] : c.lines) {
      const char* begin = c.bytes.data() + start;
      if (std::regex_search(begin, begin + length, m, re)) {
        ++r.lines;
        r.starts += m.position(0) + 1;
      }
    }
    benchmark::DoNotOptimize(r);
  }
  Compare(state, pattern, r);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bytes.size()));
}

BENCHMARK_CAPTURE(BM_Zel, abc, "abc")->Name("BM_Grep_abc/zel")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Anchor, abc, "abc")->Name("BM_Grep_abc/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Zel, digits, "[0-9]+")->Name("BM_Grep_digits/zel")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Anchor, digits, "[0-9]+")->Name("BM_Grep_digits/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Zel, a_any_c, "a.*c")->Name("BM_Grep_a_any_c/zel")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Anchor, a_any_c, "a.*c")->Name("BM_Grep_a_any_c/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Zel, ab_plus, "(ab)+")->Name("BM_Grep_ab_plus/zel")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Anchor, ab_plus, "(ab)+")->Name("BM_Grep_ab_plus/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Zel, bol_abc, "^abc")->Name("BM_Grep_bol_abc/zel")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Anchor, bol_abc, "^abc")->Name("BM_Grep_bol_abc/anchor")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
