// strff and FormatData beside snprintf with the same width and precision,
// over 1024 values of mixed magnitude: fixed point ("%10.3f"), scientific
// (strff(x, 10, -2) against "% 10.3E") and FormatData(x, 12, 3) against
// "%12.3f" over the values it writes fixed-point.  Each result is checked once against the anchor's digits.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "zel/platform/string.h"
#include "zel/stringl/numfmt.h"

namespace {

const std::vector<double>& Values() {
  static const std::vector<double> values = [] {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-3, 5);
    std::vector<double> v;
    for (int i = 0; i < 1024; ++i) v.push_back(mantissa(rng) * std::pow(10.0, exponent(rng)));
    return v;
  }();
  return values;
}

// The values FormatData(x, 12, 3) writes fixed-point: 0.001 <= |x| <= 99999.999.
const std::vector<double>& FixedValues() {
  static const std::vector<double> values = [] {
    std::vector<double> v;
    for (double x : Values()) {
      if (std::fabs(x) >= 0.001 && std::fabs(x) <= 99999.999) v.push_back(x);
    }
    return v;
  }();
  return values;
}

// strff's text equals snprintf's (both write two exponent digits here).
bool Same(const zel::String& zel_text, const char* anchor) {
  return zel::ToUtf8(zel_text) == anchor;
}

template <class Zel>
void RunZel(benchmark::State& state, Zel format, const char* anchor_format, int width, int prec,
            const std::vector<double>& values = Values()) {
  char buf[64];
  for (double x : values) {
    snprintf(buf, sizeof buf, anchor_format, width, prec, x);
    if (!Same(format(x), buf)) {
      state.SkipWithError(("differs from snprintf at " + std::string(buf)).c_str());
      return;
    }
  }
  for (auto _ : state) {
    for (double x : values) {
      zel::String s = format(x);
      benchmark::DoNotOptimize(s.data());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * values.size());
}

void RunAnchor(benchmark::State& state, const char* anchor_format, int width, int prec,
               const std::vector<double>& values = Values()) {
  char buf[64];
  for (auto _ : state) {
    for (double x : values) {
      snprintf(buf, sizeof buf, anchor_format, width, prec, x);
      benchmark::DoNotOptimize(buf);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * values.size());
}

void BM_StrffFixedZel(benchmark::State& state) {
  RunZel(state, [](double x) { return zel::strff(x, 10, 3); }, "%*.*f", 10, 3);
}
void BM_StrffFixedAnchor(benchmark::State& state) { RunAnchor(state, "%*.*f", 10, 3); }

void BM_StrffSciZel(benchmark::State& state) {
  RunZel(state, [](double x) { return zel::strff(x, 10, -2); }, "% *.*E", 10, 3);
}
void BM_StrffSciAnchor(benchmark::State& state) { RunAnchor(state, "% *.*E", 10, 3); }

void BM_FormatDataZel(benchmark::State& state) {
  RunZel(state, [](double x) { return zel::FormatData(x, 12, 3); }, "%*.*f", 12, 3,
         FixedValues());
}
void BM_FormatDataAnchor(benchmark::State& state) {
  RunAnchor(state, "%*.*f", 12, 3, FixedValues());
}

BENCHMARK(BM_StrffFixedZel)->Name("BM_StrffFixed/zel");
BENCHMARK(BM_StrffFixedAnchor)->Name("BM_StrffFixed/anchor");
BENCHMARK(BM_StrffSciZel)->Name("BM_StrffSci/zel");
BENCHMARK(BM_StrffSciAnchor)->Name("BM_StrffSci/anchor");
BENCHMARK(BM_FormatDataZel)->Name("BM_FormatData/zel");
BENCHMARK(BM_FormatDataAnchor)->Name("BM_FormatData/anchor");

}  // namespace

BENCHMARK_MAIN();
