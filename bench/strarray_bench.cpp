// TStringArray beside a std::vector<std::vector<std::string>> holding the
// same data: 100,000 rows × 10 columns of 4-16 random characters.
//
//   BM_Fill      building the table from the source strings (size known up
//                front in both); tearing it down is not timed.
//   BM_Read      reading every cell (as a view for the table, by reference
//                for the anchor); BM_ReadCopy copies every cell out
//                (ShortString / std::string).
//   BM_ReadInto  copying every cell into one caller's ShortString
//                (GetString(c, r, out)), beside the std::string copy.
//   BM_ReadSorted reading every cell of the table sorted by one column,
//                beside reading the same table unsorted (its anchor): the
//                sorted order should cost no more than about 1.5 times.
//   BM_Sort      sorting by one column without a key hook, beside std::sort
//                over a row index comparing ASCII-folded std::string keys
//                that are built before the timing starts.
//   BM_SortNumeric  sorting 100,000 rows by a column of numbers with the
//                built-in numeric key, beside the text sort of the same
//                column (BM_SortNumeric/anchor): the numeric key should cost
//                no more than about 1.5 times the text key.
//   BM_InsertRowTop inserting a row at the top of a 40,000 x 5 table, beside
//                inserting a row at the front of a vector of row vectors.
//
// Memory per cell is measured once, before the benchmarks, from the heap
// blocks the allocator hands out (usable size plus the 8-byte chunk header,
// through a counting global operator new), and printed to stderr; the Fill
// benchmarks also report it as the counter bytes_per_cell.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "zel/dstruct/strarray.h"

namespace {

size_t g_live_bytes = 0;  // heap bytes in use through operator new

void* CountedAlloc(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  g_live_bytes += malloc_usable_size(p) + sizeof(size_t);
  return p;
}

void CountedFree(void* p) noexcept {
  if (p == nullptr) return;
  g_live_bytes -= malloc_usable_size(p) + sizeof(size_t);
  std::free(p);
}

}  // namespace

void* operator new(size_t n) { return CountedAlloc(n); }
void* operator new[](size_t n) { return CountedAlloc(n); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

namespace {

constexpr int kRows = 100'000;
constexpr int kCols = 10;
constexpr int kSortCol = 3;

using AnchorTable = std::vector<std::vector<std::string>>;

// kRows × kCols strings of 4-16 letters and digits, both letter cases.
const std::vector<std::string>& Source() {
  static const std::vector<std::string> data = [] {
    std::mt19937 rng(2024);
    const std::string chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<std::string> d(static_cast<size_t>(kRows) * kCols);
    for (auto& s : d) {
      s.resize(4 + rng() % 13);
      for (char& ch : s) ch = chars[rng() % chars.size()];
    }
    return d;
  }();
  return data;
}

const std::string& At(int r, int c) { return Source()[static_cast<size_t>(r) * kCols + c]; }

// Builds the table: cells (1..kCols, 1..kRows).
void FillZel(zel::TStringArray& t) {
  if (!t.Resize(kCols, kRows)) throw std::bad_alloc();
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) t.SetBytes(c + 1, r + 1, At(r, c));
  }
}

void FillAnchor(AnchorTable& t) {
  t.assign(kRows, std::vector<std::string>(kCols));
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) t[r][c] = At(r, c);
  }
}

template <class Table, class Fill>
double BytesPerCell(Fill fill) {
  Source();  // built before counting: the source strings are no table's
  const size_t before = g_live_bytes;
  auto* t = new Table(nullptr);
  fill(*t);
  const double per_cell = static_cast<double>(g_live_bytes - before) / (double{kRows} * kCols);
  delete t;
  return per_cell;
}

// The anchor built on the heap the same way, for BytesPerCell.
struct AnchorHolder {
  explicit AnchorHolder(std::nullptr_t) {}
  AnchorTable table;
};

double ZelBytesPerCell() {
  static const double v = BytesPerCell<zel::TStringArray>([](zel::TStringArray& t) { FillZel(t); });
  return v;
}

double AnchorBytesPerCell() {
  static const double v = BytesPerCell<AnchorHolder>([](AnchorHolder& h) { FillAnchor(h.table); });
  return v;
}

void BM_Fill_Zel(benchmark::State& state) {
  Source();
  for (auto _ : state) {
    auto* t = new zel::TStringArray(nullptr);
    FillZel(*t);
    benchmark::DoNotOptimize(t->GetBytes(kCols, kRows).data());
    state.PauseTiming();
    delete t;
    state.ResumeTiming();
  }
  state.counters["bytes_per_cell"] = ZelBytesPerCell();
}

void BM_Fill_Anchor(benchmark::State& state) {
  Source();
  for (auto _ : state) {
    auto* t = new AnchorTable;
    FillAnchor(*t);
    benchmark::DoNotOptimize((*t)[kRows - 1][kCols - 1].data());
    state.PauseTiming();
    delete t;
    state.ResumeTiming();
  }
  state.counters["bytes_per_cell"] = AnchorBytesPerCell();
}

zel::TStringArray& ZelTable() {
  static zel::TStringArray* t = [] {
    auto* table = new zel::TStringArray(nullptr);
    FillZel(*table);
    return table;
  }();
  return *t;
}

AnchorTable& Anchor() {
  static AnchorTable* t = [] {
    auto* table = new AnchorTable;
    FillAnchor(*table);
    return table;
  }();
  return *t;
}

// Every cell as a view, row by row in the order the table shows.
void ReadAll(benchmark::State& state, const zel::TStringArray& t) {
  for (auto _ : state) {
    size_t sum = 0;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        const std::string_view s = t.GetBytes(c, r);
        sum += s.size() + static_cast<unsigned char>(s[0]);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}

void BM_Read_Zel(benchmark::State& state) { ReadAll(state, ZelTable()); }

void BM_Read_Anchor(benchmark::State& state) {
  const AnchorTable& t = Anchor();
  for (auto _ : state) {
    size_t sum = 0;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        const std::string& s = t[r][c];
        sum += s.size() + static_cast<unsigned char>(s[0]);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}

void BM_ReadCopy_Zel(benchmark::State& state) {
  const zel::TStringArray& t = ZelTable();
  for (auto _ : state) {
    size_t sum = 0;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        const zel::ShortString s = t.GetString(c, r);
        sum += static_cast<size_t>(s.Length()) + s[1];
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}

void BM_ReadCopy_Anchor(benchmark::State& state) {
  const AnchorTable& t = Anchor();
  for (auto _ : state) {
    size_t sum = 0;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        const std::string s = t[r][c];
        benchmark::DoNotOptimize(s.data());
        sum += s.size() + static_cast<unsigned char>(s[0]);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}

void BM_ReadInto_Zel(benchmark::State& state) {
  const zel::TStringArray& t = ZelTable();
  zel::ShortString s;
  for (auto _ : state) {
    size_t sum = 0;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        t.GetString(c, r, s);
        sum += static_cast<size_t>(s.Length()) + s[1];
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}

// A second table with the same cells, sorted by kSortCol.
zel::TStringArray& SortedTable() {
  static zel::TStringArray* t = [] {
    auto* table = new zel::TStringArray(nullptr);
    FillZel(*table);
    table->Sort(kSortCol, 0, true);
    return table;
  }();
  return *t;
}

void BM_ReadSorted_Zel(benchmark::State& state) { ReadAll(state, SortedTable()); }

void BM_ReadSorted_Anchor(benchmark::State& state) {
  // The same table in its stored order; sorted again afterwards, untimed.
  zel::TStringArray& t = SortedTable();
  t.UnSort();
  ReadAll(state, t);
  t.Sort(kSortCol, 0, true);
}

void BM_Sort_Zel(benchmark::State& state) {
  zel::TStringArray& t = ZelTable();
  for (auto _ : state) {
    state.PauseTiming();
    t.UnSort();
    state.ResumeTiming();
    t.Sort(kSortCol, 0, true);
  }
  // The first rows must be in order.
  for (int r = 1; r < 100; ++r) {
    std::string a(t.GetBytes(kSortCol, r)), b(t.GetBytes(kSortCol, r + 1));
    for (auto* s : {&a, &b}) {
      for (char& ch : *s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    if (a > b) state.SkipWithError("not sorted");
  }
  t.UnSort();  // the read benchmarks read the stored order
}

void BM_Sort_Anchor(benchmark::State& state) {
  const AnchorTable& t = Anchor();
  std::vector<std::string> keys(kRows);
  for (int r = 0; r < kRows; ++r) {
    keys[r] = t[r][kSortCol - 1];
    for (char& ch : keys[r]) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  std::vector<int> index(kRows);
  for (auto _ : state) {
    std::iota(index.begin(), index.end(), 0);
    std::sort(index.begin(), index.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    benchmark::DoNotOptimize(index.data());
  }
}

// A table of 100,000 rows whose column 1 holds numbers written as people
// write them (integers, decimals with '.' or ',', exponents, a few blanks).
zel::TStringArray& NumericTable() {
  static zel::TStringArray* t = [] {
    auto* table = new zel::TStringArray(nullptr);
    if (!table->Resize(1, kRows)) throw std::bad_alloc();
    std::mt19937 rng(99);
    for (int r = 1; r <= kRows; ++r) {
      std::string v;
      switch (rng() % 4) {
        case 0: v = std::to_string(rng() % 1000000); break;
        case 1: v = std::to_string(rng() % 1000) + "." + std::to_string(rng() % 100); break;
        case 2: v = " " + std::to_string(rng() % 100) + "," + std::to_string(rng() % 10); break;
        default: v = std::to_string(rng() % 10) + "e" + std::to_string(rng() % 5); break;
      }
      table->SetBytes(1, r, v);
    }
    return table;
  }();
  return *t;
}

void SortNumericColumn(benchmark::State& state, zel::TSortKey key) {
  zel::TStringArray& t = NumericTable();
  for (auto _ : state) {
    state.PauseTiming();
    t.UnSort();
    state.ResumeTiming();
    t.Sort(1, 0, true, key);
  }
  if (key == zel::skNumeric) {
    for (int r = 1; r < kRows; ++r) {
      if (t.GetAsNumber(1, r) > t.GetAsNumber(1, r + 1)) {
        state.SkipWithError("not in numeric order");
        break;
      }
    }
  }
}

void BM_SortNumeric_Zel(benchmark::State& state) { SortNumericColumn(state, zel::skNumeric); }
void BM_SortNumeric_Text(benchmark::State& state) { SortNumericColumn(state, zel::skText); }

constexpr int kInsertRows = 40'000;
constexpr int kInsertCols = 5;

void BM_InsertRowTop_Zel(benchmark::State& state) {
  zel::TStringArray t(nullptr);
  if (!t.Resize(kInsertCols, kInsertRows)) throw std::bad_alloc();
  for (int r = 1; r <= kInsertRows; ++r) {
    for (int c = 1; c <= kInsertCols; ++c) t.SetBytes(c, r, At(r, c));
  }
  for (auto _ : state) {
    t.InsertRow(1);
    state.PauseTiming();
    t.RemoveRow(1);  // back to the same size, untimed
    state.ResumeTiming();
  }
}

void BM_InsertRowTop_Anchor(benchmark::State& state) {
  AnchorTable t(kInsertRows, std::vector<std::string>(kInsertCols));
  for (int r = 0; r < kInsertRows; ++r) {
    for (int c = 0; c < kInsertCols; ++c) t[r][c] = At(r, c);
  }
  for (auto _ : state) {
    t.insert(t.begin(), std::vector<std::string>(kInsertCols));
    state.PauseTiming();
    t.erase(t.begin());
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Fill_Zel)->Name("BM_Fill/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill_Anchor)->Name("BM_Fill/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Zel)->Name("BM_Read/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Anchor)->Name("BM_Read/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCopy_Zel)->Name("BM_ReadCopy/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCopy_Anchor)->Name("BM_ReadCopy/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadInto_Zel)->Name("BM_ReadInto/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCopy_Anchor)->Name("BM_ReadInto/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSorted_Zel)->Name("BM_ReadSorted/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSorted_Anchor)->Name("BM_ReadSorted/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort_Zel)->Name("BM_Sort/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort_Anchor)->Name("BM_Sort/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNumeric_Zel)->Name("BM_SortNumeric/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNumeric_Text)->Name("BM_SortNumeric/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertRowTop_Zel)->Name("BM_InsertRowTop/zel")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertRowTop_Anchor)->Name("BM_InsertRowTop/anchor")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const double zel_bytes = ZelBytesPerCell(), anchor_bytes = AnchorBytesPerCell();
  std::fprintf(stderr,
               "  heap bytes per cell (100,000 x 10 cells of 4-16 characters): zel %.1f, anchor %.1f"
               " -> %.2fx the anchor\n",
               zel_bytes, anchor_bytes, zel_bytes / anchor_bytes);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
