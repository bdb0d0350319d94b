// Counting and replacing a substring in a text of 2^20 characters with
// 100,000 occurrences, each beside a plain `std::u16string::find` loop that
// does the same work.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "zel/stringl/search.h"

namespace {

constexpr size_t kTextLength = size_t{1} << 20;
constexpr int kMatches = 100'000;
const std::u16string kNeedle = u"needle";
const std::u16string kReplacement = u"haystack";

// Random letters without 'n', so the needle only occurs where it is put:
// once in every stretch of about ten characters.
const std::u16string& Text() {
  static const std::u16string text = [] {
    std::mt19937 rng(42);
    std::u16string t;
    t.reserve(kTextLength);
    const size_t stretch = kTextLength / kMatches;
    for (int m = 0; m < kMatches; ++m) {
      t += kNeedle;
      while (t.size() < (m + 1) * stretch) t += static_cast<char16_t>(u'o' + rng() % 12);
    }
    while (t.size() < kTextLength) t += u'x';
    return t;
  }();
  return text;
}

void BM_CountZel(benchmark::State& state) {
  const std::u16string& text = Text();
  for (auto _ : state) {
    const int n = zel::CountStringInString(kNeedle, text, true);
    if (n != kMatches) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

void BM_CountAnchor(benchmark::State& state) {
  const std::u16string& text = Text();
  for (auto _ : state) {
    int n = 0;
    for (size_t pos = text.find(kNeedle); pos != std::u16string::npos;
         pos = text.find(kNeedle, pos + kNeedle.size())) {
      ++n;
    }
    if (n != kMatches) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

void BM_ReplaceZel(benchmark::State& state) {
  const std::u16string& text = Text();
  for (auto _ : state) {
    std::u16string r = zel::ReplaceStringInString(text, kNeedle, kReplacement, false);
    benchmark::DoNotOptimize(r.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

void BM_ReplaceAnchor(benchmark::State& state) {
  const std::u16string& text = Text();
  for (auto _ : state) {
    std::u16string r;
    r.reserve(text.size() + text.size() / 2);
    size_t done = 0;
    for (size_t pos = text.find(kNeedle); pos != std::u16string::npos;
         pos = text.find(kNeedle, pos + kNeedle.size())) {
      r.append(text, done, pos - done);
      r += kReplacement;
      done = pos + kNeedle.size();
    }
    r.append(text, done);
    benchmark::DoNotOptimize(r.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size() * 2);
}

BENCHMARK(BM_CountZel)->Name("BM_Count/zel");
BENCHMARK(BM_CountAnchor)->Name("BM_Count/anchor");
BENCHMARK(BM_ReplaceZel)->Name("BM_Replace/zel");
BENCHMARK(BM_ReplaceAnchor)->Name("BM_Replace/anchor");

}  // namespace

BENCHMARK_MAIN();
