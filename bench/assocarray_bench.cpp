// TAssocArray: Add then Resolve of 1,000,000 distinct keys, beside a
// std::unordered_map<std::u16string, Variant> doing the same (insert, then
// find and copy out each value).  Counting 1,000,000 words over 10,000
// distinct keys with Increment, beside Abseil's flat_hash_map<std::string,
// int> over the same words as 8-bit strings (the anchor, where Abseil is
// installed; else std::unordered_map<u16string, int64_t>), and for
// reference Abseil's map with the same UTF-16 keys TAssocArray holds
// (flat_hash_map<u16string, int64_t>), std::unordered_map, and the
// two-lookup way without Increment (Resolve, then Add of the sum).
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#if defined(ZEL_BENCH_ABSL)
#include <absl/container/flat_hash_map.h>
#endif

#include "zel/dstruct/assocarray.h"

namespace {

constexpr int kKeys = 1'000'000;

const std::vector<std::u16string>& Keys() {
  static const std::vector<std::u16string> keys = [] {
    std::vector<std::u16string> k;
    k.reserve(kKeys);
    for (int i = 0; i < kKeys; ++i) {
      const std::string s = "key" + std::to_string(int64_t{i} * 7919 % 10'000'019);
      k.emplace_back(s.begin(), s.end());
    }
    return k;
  }();
  return keys;
}

void BM_AddResolve_zel(benchmark::State& state) {
  const auto& keys = Keys();
  for (auto _ : state) {
    zel::TAssocArray a(nullptr);
    a.SetIgnoreCase(false);  // the anchor compares exactly too
    for (int i = 0; i < kKeys; ++i) a.Add(keys[static_cast<size_t>(i)], zel::Variant(int32_t{i}));
    int64_t sum = 0;
    for (const auto& k : keys) sum += a.Resolve(k).AsInt64();
    if (sum != int64_t{kKeys} * (kKeys - 1) / 2) state.SkipWithError("wrong sum");
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_AddResolve_anchor(benchmark::State& state) {
  const auto& keys = Keys();
  for (auto _ : state) {
    std::unordered_map<std::u16string, zel::Variant> a;
    for (int i = 0; i < kKeys; ++i) a.insert_or_assign(keys[static_cast<size_t>(i)], zel::Variant(int32_t{i}));
    int64_t sum = 0;
    for (const auto& k : keys) {
      auto it = a.find(k);
      const zel::Variant v = it == a.end() ? zel::Null() : it->second;
      sum += v.AsInt64();
    }
    if (sum != int64_t{kKeys} * (kKeys - 1) / 2) state.SkipWithError("wrong sum");
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

// The default, case-insensitive array: keys are folded on the way in.
void BM_AddResolveIgnoreCase_zel(benchmark::State& state) {
  const auto& keys = Keys();
  for (auto _ : state) {
    zel::TAssocArray a(nullptr);
    for (int i = 0; i < kKeys; ++i) a.Add(keys[static_cast<size_t>(i)], zel::Variant(int32_t{i}));
    int64_t sum = 0;
    for (const auto& k : keys) sum += a.Resolve(k).AsInt64();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

const std::vector<std::u16string>& Words() {
  static const std::vector<std::u16string> words = [] {
    std::vector<std::u16string> w;
    w.reserve(kKeys);
    for (int i = 0; i < kKeys; ++i) {
      const std::string s = "word" + std::to_string(int64_t{i} * 7919 % 10'007 % 10'000);
      w.emplace_back(s.begin(), s.end());
    }
    return w;
  }();
  return words;
}

void BM_Count_zel(benchmark::State& state) {
  for (auto _ : state) {
    zel::TAssocArray a(nullptr);
    a.SetIgnoreCase(false);
    for (const auto& w : Words()) a.Increment(w);
    benchmark::DoNotOptimize(a.NumEntries());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_CountResolveAdd_zel(benchmark::State& state) {
  for (auto _ : state) {
    zel::TAssocArray a(nullptr);
    a.SetIgnoreCase(false);
    for (const auto& w : Words()) a.Add(w, zel::Variant(int64_t{a.ResolveAsInt(w)} + 1));
    benchmark::DoNotOptimize(a.NumEntries());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

template <class Map>
void CountWith(benchmark::State& state) {
  for (auto _ : state) {
    Map a;
    for (const auto& w : Words()) ++a[w];
    if (a.size() != 10'000) state.SkipWithError("wrong number of keys");
    benchmark::DoNotOptimize(a.size());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

void BM_Count_unordered(benchmark::State& state) { CountWith<std::unordered_map<std::u16string, int64_t>>(state); }

#if defined(ZEL_BENCH_ABSL)
void BM_Count_absl16(benchmark::State& state) { CountWith<absl::flat_hash_map<std::u16string, int64_t>>(state); }

void BM_Count_anchor(benchmark::State& state) {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> w;
    for (const auto& u : Words()) w.emplace_back(u.begin(), u.end());
    return w;
  }();
  for (auto _ : state) {
    absl::flat_hash_map<std::string, int> a;
    for (const auto& w : words) ++a[w];
    if (a.size() != 10'000) state.SkipWithError("wrong number of keys");
    benchmark::DoNotOptimize(a.size());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}
#else
void BM_Count_anchor(benchmark::State& state) { BM_Count_unordered(state); }
#endif

}  // namespace

BENCHMARK(BM_AddResolve_zel)->Name("BM_AddResolve/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddResolve_anchor)->Name("BM_AddResolve/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddResolveIgnoreCase_zel)->Name("BM_AddResolveIgnoreCase/zel_only")->Unit(benchmark::kMillisecond);

BENCHMARK(BM_Count_zel)->Name("BM_Count/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count_anchor)->Name("BM_Count/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count_unordered)->Name("BM_Count/unordered_map")->Unit(benchmark::kMillisecond);
#if defined(ZEL_BENCH_ABSL)
BENCHMARK(BM_Count_absl16)->Name("BM_Count/absl_utf16")->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_CountResolveAdd_zel)->Name("BM_CountResolveAdd/zel_only")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
