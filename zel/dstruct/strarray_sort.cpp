// TStringArray: sorting through the row index, and the cell searches.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "zel/dstruct/strarray.h"
#include "zel/platform/casemap.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

namespace {

// The rank of each Windows-1252 byte in the sort order of its key
// character (the byte's UTF-16 character, ASCII letters lower-cased), plus
// one.  Comparing ranks byte by byte orders cells exactly as comparing their
// keys by 16-bit code unit does (upper- and lower-case letters share a rank;
// 0x80-0x9F rank by the characters above U+00FF they stand for).  At most
// 230 distinct keys, so every rank fits a byte and none is 0.
struct SortRanks {
  std::array<uint8_t, 256> rank{};
  SortRanks() {
    std::array<Char, 256> key{};
    for (int b = 0; b < 256; ++b) key[b] = AsciiLower(AnsiToChar(static_cast<AnsiChar>(b)));
    std::vector<Char> distinct(key.begin(), key.end());
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (int b = 0; b < 256; ++b) {
      const auto at = std::lower_bound(distinct.begin(), distinct.end(), key[b]);
      rank[b] = static_cast<uint8_t>(at - distinct.begin() + 1);
    }
  }
};

const SortRanks& Ranks() {
  static const SortRanks ranks;
  return ranks;
}

// The sort keys of one column, by physical row, for comparing straight from
// the pools: the ranks of the first eight bytes packed most significant
// first (0 after the end), and the cell itself for longer keys.
class ColumnKeys {
 public:
  static constexpr size_t kPrefix = 8;

  template <class CellOf>
  ColumnKeys(int rows, CellOf cell_of) : prefix_(static_cast<size_t>(rows) + 1), cells_(prefix_.size()) {
    const auto& rank = Ranks().rank;
    for (int p = 1; p <= rows; ++p) {
      const std::string_view s = cell_of(p);
      uint64_t packed = 0;
      for (size_t i = 0; i < kPrefix; ++i) {
        packed = (packed << 8) | (i < s.size() ? rank[static_cast<uint8_t>(s[i])] : 0u);
      }
      prefix_[static_cast<size_t>(p)] = packed;
      cells_[static_cast<size_t>(p)] = s;
    }
  }

  // <0, 0 or >0 as the key of physical row a compares with that of row b.
  int Compare(int a, int b) const noexcept {
    const uint64_t pa = prefix_[static_cast<size_t>(a)], pb = prefix_[static_cast<size_t>(b)];
    if (pa != pb) return pa < pb ? -1 : 1;
    return CompareAfterPrefix(a, b);
  }

  // The packed first bytes of row p's key: rows whose prefixes differ
  // compare as their prefixes do.
  uint64_t Prefix(int p) const noexcept { return prefix_[static_cast<size_t>(p)]; }

  // `Compare` for two rows with equal prefixes.
  int CompareAfterPrefix(int a, int b) const noexcept {
    const std::string_view sa = cells_[static_cast<size_t>(a)], sb = cells_[static_cast<size_t>(b)];
    if (sa.size() <= kPrefix && sb.size() <= kPrefix) return 0;  // equal prefixes, both ended
    const auto& rank = Ranks().rank;
    const size_t n = std::min(sa.size(), sb.size());
    for (size_t i = kPrefix; i < n; ++i) {
      const int ra = rank[static_cast<uint8_t>(sa[i])], rb = rank[static_cast<uint8_t>(sb[i])];
      if (ra != rb) return ra < rb ? -1 : 1;
    }
    return sa.size() < sb.size() ? -1 : (sa.size() > sb.size() ? 1 : 0);
  }

 private:
  std::vector<uint64_t> prefix_;
  std::vector<std::string_view> cells_;
};

// Numeric sort keys of one column: numbers by value before text in the
// order of ColumnKeys.
class NumericKeys {
 public:
  template <class CellOf, class NumberOf>
  NumericKeys(int rows, CellOf cell_of, NumberOf number_of)
      : text_(rows, cell_of), value_(static_cast<size_t>(rows) + 1),
        is_number_(static_cast<size_t>(rows) + 1) {
    for (int p = 1; p <= rows; ++p) {
      double v = 0;
      is_number_[static_cast<size_t>(p)] = number_of(cell_of(p), v);
      value_[static_cast<size_t>(p)] = v;
    }
  }

  int Compare(int a, int b) const noexcept {
    const bool na = IsNumber(a), nb = IsNumber(b);
    if (na != nb) return na ? -1 : 1;
    if (!na) return text_.Compare(a, b);
    const double va = value_[static_cast<size_t>(a)], vb = value_[static_cast<size_t>(b)];
    return va < vb ? -1 : (va > vb ? 1 : 0);
  }

  bool IsNumber(int p) const noexcept { return is_number_[static_cast<size_t>(p)] != 0; }

  // Row p's key in 64 bits: of two numbers, or of two texts, the keys
  // compare as the rows do, except that texts with equal keys may still
  // differ (see CompareTextAfterKey).  A number's key is its value's bits
  // made to order as unsigned integers (-0 counted as 0, as `<` does; a
  // cell is never NaN); a text's is its ColumnKeys prefix.
  uint64_t Key(int p) const noexcept {
    if (!IsNumber(p)) return text_.Prefix(p);
    const double v = value_[static_cast<size_t>(p)];
    const uint64_t bits = std::bit_cast<uint64_t>(v == 0 ? 0.0 : v);
    return bits >> 63 ? ~bits : bits | (uint64_t{1} << 63);
  }

  // Compare for two text rows with equal keys.
  int CompareTextAfterKey(int a, int b) const noexcept { return text_.CompareAfterPrefix(a, b); }

 private:
  ColumnKeys text_;
  std::vector<double> value_;
  std::vector<char> is_number_;
};

// Exchanges x and y when `exchange`, writing both either way (selects the
// compiler makes without a branch).
template <class T>
void ExchangeIf(bool exchange, T& x, T& y) noexcept {
  const T a = x, b = y;
  x = exchange ? b : a;
  y = exchange ? a : b;
}

int Compare(const String& a, const String& b) noexcept {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

void TStringArray::BeforeSortExchange(const String& InString, String& OutString) {
  OutString = InString;
  if (FOnBefSortExc) FOnBefSortExc(this, InString, OutString);
}

void TStringArray::Sort(int Col, int ColSec, bool Ascending) { Sort(Col, ColSec, Ascending, skText); }

void TStringArray::Sort(int Col, int ColSec, bool Ascending, TSortKey Key) {
  const int N = FNRow;
  // The index changes under the handlers' eyes: they read through it.
  DropShownOrder();
  if (FOnPercentDone) FOnPercentDone(this, 0);
  DropShownOrder();
  // The progress denominator: N - g comparisons for every gap down to the
  // first gap of 1, plus N for the final passes.
  constexpr long double kShrink = 1.3L;
  const auto next_gap = [](int g) {
    const int n = static_cast<int>(std::trunc(static_cast<long double>(g) / kShrink));
    return n == 0 ? 1 : n;
  };
  int64_t total = 0;
  for (int g = N;;) {
    g = next_gap(g);
    total += N - g;
    if (g == 1) break;
  }
  total += N;

  if (N > 1) {
    // Without a key hook the keys come straight from the pools; with one,
    // every key is read, converted and offered to the hook as it is needed.
    std::optional<ColumnKeys> primary, secondary;
    std::optional<NumericKeys> primary_num, secondary_num;
    const auto cell_of = [this](int col) {
      return [this, col](int p) {
        return col >= 0 && col <= FNCol ? HandleBytes(FPoiArray[Slot(col, p)]) : std::string_view();
      };
    };
    if (Key == skNumeric) {
      primary_num.emplace(FNRow, cell_of(Col), &CellNumber);
      if (ColSec > 0) secondary_num.emplace(FNRow, cell_of(ColSec), &CellNumber);
    } else if (!FOnBefSortExc) {
      primary.emplace(FNRow, cell_of(Col));
      if (ColSec > 0) secondary.emplace(FNRow, cell_of(ColSec));
    }
    const auto key = [this](int c, int r) {
      String out;
      BeforeSortExchange(AnsiToString(GetBytes(c, r)), out);
      DropShownOrder();  // should the hook have sorted the table itself
      return LowerCase(out);
    };
    // A handler that resizes, clears or reassigns the table ends the sort:
    // the index and the keys it works on are gone.
    const uint32_t layout = layout_version_;
    const auto layout_changed = [&] { return layout_version_ != layout; };
    // The primary keys in index order (text: the prefix; numeric: see
    // NumericKeys::Key, with whether each is a number), exchanged with the
    // index: a pass then reads them front to back instead of looking each
    // row up at random (most comparisons end at the key).  A progress
    // handler that rewrites the index has them read again.
    std::vector<uint64_t> by_pos;
    std::vector<uint8_t> number_by_pos;  // 1: a number (numeric key only)
    uint32_t index_seen = index_version_;
    const bool keyed = primary || primary_num;
    const auto load_keys = [&] {
      by_pos.resize(static_cast<size_t>(N));
      number_by_pos.resize(static_cast<size_t>(N));
      for (size_t i = 0; i < by_pos.size(); ++i) {
        const int p = FSortIx[i];
        by_pos[i] = primary_num ? primary_num->Key(p) : primary->Prefix(p);
        number_by_pos[i] = primary_num && primary_num->IsNumber(p);
      }
      index_seen = index_version_;
    };
    // Two physical rows whose keys are equal (both numbers, or both text):
    // the rest of the text decides, then the second column.
    const auto compare_after_key = [&](int x, int y, bool numbers) {
      int cmp = numbers       ? 0
                : primary_num ? primary_num->CompareTextAfterKey(x, y)
                              : primary->CompareAfterPrefix(x, y);
      if (cmp == 0 && secondary_num) cmp = secondary_num->Compare(x, y);
      if (cmp == 0 && secondary) cmp = secondary->Compare(x, y);
      return cmp;
    };
    if (keyed) load_keys();
    int64_t comparisons = 0;
    int g = N;
    bool swapped;
    do {
      g = next_gap(g);
      swapped = false;
      for (int i = 1; i <= N - g; ++i) {
        const size_t a = static_cast<size_t>(i - 1), b = static_cast<size_t>(i + g - 1);
        int cmp;
        if (keyed) {
          const bool na = number_by_pos[a] != 0, nb = number_by_pos[b] != 0;
          if (na != nb) {
            cmp = na ? -1 : 1;  // numbers first
          } else if (by_pos[a] != by_pos[b]) {
            cmp = by_pos[a] < by_pos[b] ? -1 : 1;
          } else {
            cmp = compare_after_key(FSortIx[a], FSortIx[b], na);
          }
        } else {
          const String ka = key(Col, i), kb = key(Col, i + g);
          cmp = ka != kb || ColSec <= 0 ? Compare(ka, kb) : Compare(key(ColSec, i), key(ColSec, i + g));
          if (layout_changed()) break;
        }
        const bool exchange = Ascending ? cmp > 0 : cmp < 0;
        if (keyed) {
          // Without a branch: in the early passes about every other pair
          // is exchanged, at random, and a missed branch costs more than
          // writing both entries back.
          ExchangeIf(exchange, FSortIx[a], FSortIx[b]);
          ExchangeIf(exchange, by_pos[a], by_pos[b]);
          ExchangeIf(exchange, number_by_pos[a], number_by_pos[b]);
          swapped |= exchange;
        } else if (exchange) {
          std::swap(FSortIx[a], FSortIx[b]);
          swapped = true;
        }
        ++comparisons;
      }
      if (FOnPercentDone && !layout_changed()) {
        const long double percent = static_cast<long double>(comparisons) / total * 100;
        FOnPercentDone(this, static_cast<int32_t>(std::nearbyint(percent)));  // halves to even
        DropShownOrder();
        if (keyed && index_version_ != index_seen && !layout_changed()) load_keys();
      }
    } while ((g != 1 || swapped) && !layout_changed());
    KeepShownOrder();
    Changed();
  }
  if (FOnPercentDone) FOnPercentDone(this, 100);
}

void TStringArray::UnSort() {
  ResetIndex();
  Changed();
}

void TStringArray::CommitSorting() {
  const int N = FNRow;
  const std::vector<uint32_t> handles(FPoiArray);
  const std::vector<uint8_t> row_attrib(FRowAttrib);
  // An index that `SetSortOrder` made show one physical row several times
  // gives each further occurrence its own copy of the values, so the rows
  // never share storage.
  std::vector<bool> taken(static_cast<size_t>(N) + 1, false);
  for (int i = 1; i <= N; ++i) {
    const int from = FSortIx[static_cast<size_t>(i - 1)];
    const bool copy = taken[static_cast<size_t>(from)];
    taken[static_cast<size_t>(from)] = true;
    for (int c = 0; c <= FNCol; ++c) {
      const uint32_t h = handles[Slot(c, from)];
      if (copy && h != 0) {
        FPoiArray[Slot(c, i)] = 0;
        StoreAt(c, i, HandleBytes(h));
      } else {
        FPoiArray[Slot(c, i)] = h;
      }
    }
    FRowAttrib[static_cast<size_t>(i - 1)] = row_attrib[static_cast<size_t>(from - 1)];
  }
  ResetIndex();
}

int TStringArray::GetSortOrder(int ix) const noexcept {
  if (ix < 1 || ix > FNRow) return -1;
  return FSortIx[static_cast<size_t>(ix - 1)];
}

void TStringArray::SetSortOrder(int ix, int position) noexcept {
  if (ix < 1 || ix > FNRow || position < 1 || position > FNRow) return;
  DropShownOrder();
  FSortIx[static_cast<size_t>(ix - 1)] = position;
  ++index_version_;
}

// --- Searching ------------------------------------------------------------------

bool TStringArray::FindCell(const String& FindStr, bool MatchCase, int ColLow, int ColHigh,
                            int RowLow, int RowHigh, int& Col, int& row) const {
  return FindCellIntern(FindStr, MatchCase, ColLow, ColHigh, RowLow, RowHigh, Col, row, false);
}

bool TStringArray::FindCellExact(const String& FindStr, bool MatchCase, int ColLow, int ColHigh,
                                 int RowLow, int RowHigh, int& Col, int& row) const {
  return FindCellIntern(FindStr, MatchCase, ColLow, ColHigh, RowLow, RowHigh, Col, row, true);
}

namespace {

void ClampOrdered(int& lo, int& hi, int min, int max) noexcept {
  lo = std::clamp(lo, min, max);
  hi = std::clamp(hi, min, max);
  if (lo > hi) std::swap(lo, hi);
}

}  // namespace

bool TStringArray::FindCellIntern(const String& FindStr, bool MatchCase, int ColLow, int ColHigh,
                                  int RowLow, int RowHigh, int& Col, int& row, bool Exact) const {
  const String find = MatchCase ? FindStr : LowerCase(FindStr);
  if (ColLow == -1 || ColHigh == -1) {
    ColLow = 0;
    ColHigh = FNCol;
  }
  if (RowLow == -1 && RowHigh == -1) {
    RowLow = 1;
    RowHigh = FNRow;
  }
  ClampOrdered(ColLow, ColHigh, 0, FNCol);
  ClampOrdered(RowLow, RowHigh, 1, FNRow);
  for (int r = RowLow; r <= RowHigh; ++r) {
    for (int c = ColLow; c <= ColHigh; ++c) {
      String cell = AnsiToString(GetBytes(c, r));
      if (!MatchCase) cell = LowerCase(cell);
      const bool match =
          Exact ? cell == find : !find.empty() && cell.find(find) != String::npos;
      if (match) {
        Col = c;
        row = r;
        return true;
      }
    }
  }
  return false;
}

bool TStringArray::FindCellInSortedColumn(const String& FindStr, bool MatchCase, int ColIx,
                                          int RowLow, int RowHigh, bool ColIsAscending,
                                          int& row) const {
  const String find = MatchCase ? FindStr : LowerCase(FindStr);
  if (RowLow == -1 && RowHigh == -1) {
    RowLow = 1;
    RowHigh = FNRow;
  }
  ColIx = std::clamp(ColIx, 0, FNCol);
  ClampOrdered(RowLow, RowHigh, 1, FNRow);
  const auto cell = [&](int r) {
    String s = AnsiToString(GetBytes(ColIx, r));
    return MatchCase ? s : LowerCase(s);
  };
  int lo = RowLow, hi = RowHigh + 1;
  bool found = false;
  while (!found && lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    row = mid;
    const String s = cell(mid);
    if (s == find) {
      found = true;
    } else if ((find < s) == ColIsAscending) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  if (found) {
    while (row > 1 && cell(row - 1) == find) --row;
  }
  return found;
}

}  // namespace zel
