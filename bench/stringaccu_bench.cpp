// TStringAccu: Add of 1,000,000 lines with 100,000 distinct ones, beside an
// std::unordered_map<std::u16string, int> count that also keeps the order of
// first appearance (as TStringAccu does).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "zel/dstruct/stringaccu.h"

namespace {

constexpr int kLines = 1'000'000;
constexpr int kDistinct = 100'000;

const std::vector<std::u16string>& Lines() {
  static const std::vector<std::u16string> lines = [] {
    std::mt19937 rng(7);
    std::vector<std::u16string> l;
    l.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
      // Every distinct line appears at least once.
      const int id = i < kDistinct ? i : static_cast<int>(rng() % kDistinct);
      const std::string s = "log line " + std::to_string(id) + " status=ok";
      l.emplace_back(s.begin(), s.end());
    }
    std::shuffle(l.begin(), l.end(), rng);
    return l;
  }();
  return lines;
}

void BM_CountLines_zel(benchmark::State& state) {
  const auto& lines = Lines();
  for (auto _ : state) {
    zel::TStringAccu accu(nullptr);
    for (const auto& l : lines) accu.Add(l);
    if (accu.Size() != kDistinct) state.SkipWithError("wrong size");
    benchmark::DoNotOptimize(accu.Count(1));
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_CountLines_anchor(benchmark::State& state) {
  const auto& lines = Lines();
  for (auto _ : state) {
    std::unordered_map<std::u16string, int> index;
    std::vector<const std::u16string*> order;
    for (const auto& l : lines) {
      auto [it, fresh] = index.try_emplace(l, 0);
      ++it->second;
      if (fresh) order.push_back(&it->first);
    }
    if (order.size() != kDistinct) state.SkipWithError("wrong size");
    benchmark::DoNotOptimize(index.size());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

}  // namespace

BENCHMARK(BM_CountLines_zel)->Name("BM_CountLines/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountLines_anchor)->Name("BM_CountLines/anchor")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
