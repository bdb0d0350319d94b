// TStringArray: pooled cell storage, resizing, rows, columns, attributes and
// numeric views.  Sorting and searching live in strarray_sort.cpp, the
// tagged-text persistence in strarray_xml.cpp.
#include "zel/dstruct/strarray.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/strip.h"

namespace ZEL_EXPORT zel {

namespace {

constexpr StringView kClassName = u"TStringArray";

// The characters of the decimal number text the cells' numeric view takes:
// the platform's conversion checks the form (sign, digits, '.', fraction,
// exponent), and this keeps out what it also reads but a cell number is
// not (INF, NAN, blanks other than code 32, hexadecimal).
constexpr StringView kNumberChars = u"0123456789+-.eE";

// Reads the usual numeric cell, [sign] digits [point digits] with 1 to 15
// digits in all ('.' or ',' as the point), without the general conversion.
// The digits make an integer below 2^53 and the point a power of ten up to
// 10^15, both exact as doubles, so their one division rounds exactly as
// reading the text does.  False for any other form.
bool ReadShortDecimal(std::string_view s, double& value) noexcept {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint64_t m = 0;
  int digits = 0, after_point = -1;  // -1: no point yet
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (++digits > 15) return false;
      m = m * 10 + static_cast<uint64_t>(c - '0');
      if (after_point >= 0) ++after_point;
    } else if ((c == '.' || c == ',') && after_point < 0) {
      after_point = 0;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  double v = static_cast<double>(m);
  if (after_point > 0) v /= kPow10[after_point];
  value = negative ? -v : v;
  return true;
}

bool AllBlanks(std::string_view bytes) noexcept {
  return std::all_of(bytes.begin(), bytes.end(), [](char ch) { return ch == ' '; });
}

}  // namespace

TStringArray::TStringArray(TComponent* AOwner) : WithOnChange(AOwner) {
  try {
    FFirstFree.assign(1, 1);
    FPoiArray.assign(static_cast<size_t>(FNCol + 1) * static_cast<size_t>(FRAllocated), 0);
    FSortIx.resize(static_cast<size_t>(FRAllocated));
    FRowAttrib.assign(static_cast<size_t>(FRAllocated), 0);
    FColAttrib.assign(static_cast<size_t>(FNCol), 0);
    FStgPool.push_back(std::make_unique<TStringPool>());
  } catch (const std::bad_alloc&) {
    throw EZELDStructError(ClassMessage(kClassName, u"failed to initialize (out of memory)"));
  }
  ResetIndex();
  ResetPoolHints();
}

TStringArray::~TStringArray() = default;

void TStringArray::ResetIndex() noexcept {
  DropShownOrder();
  for (size_t i = 0; i < FSortIx.size(); ++i) FSortIx[i] = static_cast<int32_t>(i + 1);
  ++index_version_;
}

void TStringArray::ResetPoolHints() noexcept { pool_hint_.fill(1); }

void TStringArray::Assign(const TPersistent* Source) {
  const auto* src = dynamic_cast<const TStringArray*>(Source);
  if (src == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  if (src == this) return;
  DropShownOrder();
  // Everything is copied first, so a failed allocation leaves this table
  // as it was.
  std::vector<std::unique_ptr<TStringPool>> pools;
  pools.reserve(src->FStgPool.size());
  for (const auto& pool : src->FStgPool) pools.push_back(std::make_unique<TStringPool>(*pool));
  std::vector<int32_t> first_free = src->FFirstFree;
  std::vector<uint32_t> handles = src->FPoiArray;
  std::vector<int32_t> index = src->FSortIx;
  std::vector<uint8_t> row_attrib = src->FRowAttrib;
  std::vector<uint8_t> col_attrib = src->FColAttrib;
  TNotifyEvent on_change = src->OnChange();
  TBeforeSortExchgEvent on_exchange = src->FOnBefSortExc;
  TOnPercentDoneEvent on_percent = src->FOnPercentDone;

  FNCol = src->FNCol;
  FNRow = src->FNRow;
  FAllocRowsBy = src->FAllocRowsBy;
  FRAllocated = src->FRAllocated;
  FNumPoolAddr = src->FNumPoolAddr;
  FFirstFree.swap(first_free);
  FPoiArray.swap(handles);
  FSortIx.swap(index);
  FStgPool.swap(pools);
  FRowAttrib.swap(row_attrib);
  FColAttrib.swap(col_attrib);
  SetOnChange(std::move(on_change));
  FOnBefSortExc = std::move(on_exchange);
  FOnPercentDone = std::move(on_percent);
  ResetPoolHints();
  ++layout_version_;
}

void TStringArray::SetAllocRowsBy(int Value) noexcept {
  if (Value > 0) FAllocRowsBy = Value;
}

// --- Cells ---------------------------------------------------------------------

ShortString TStringArray::GetString(int c, int r) const {
  ShortString s;
  s.Assign(GetBytes(c, r));
  return s;
}

uint32_t TStringArray::GetCellHandle(int c, int r) const noexcept {
  if (!CellInRange(c, r)) return 0;
  return CellHandle(c, r);
}

void TStringArray::KeepShownOrder() {
  DropShownOrder();
  const size_t stride = static_cast<size_t>(FNCol) + 1;
  // Only worth it when the rows are not in their stored order; without the
  // memory for it, reads simply go through the index as before.
  bool permuted = false;
  for (int r = 1; r <= FNRow && !permuted; ++r) permuted = FSortIx[static_cast<size_t>(r - 1)] != r;
  if (!permuted) return;
  try {
    shown_.resize(stride * static_cast<size_t>(FNRow));
  } catch (const std::bad_alloc&) {
    DropShownOrder();
    return;
  }
  for (int r = 1; r <= FNRow; ++r) {
    std::copy_n(FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, FSortIx[static_cast<size_t>(r - 1)])),
                stride, shown_.begin() + static_cast<std::ptrdiff_t>(Slot(0, r)));
  }
}

int TStringArray::GetFirstFree(int pool) const noexcept {
  if (pool < 1 || pool > FNumPoolAddr) return 0;
  return FFirstFree[static_cast<size_t>(pool - 1)];
}

void TStringArray::StoreAt(int c, int p, std::string_view bytes) {
  const int len = static_cast<int>(std::min<size_t>(bytes.size(), ShortString::kCapacity));
  uint32_t& h = FPoiArray[Slot(c, p)];
  if (h != 0) {
    uint8_t* at = FStgPool[(h >> 16) - 1]->data() + (h & 0xFFFFu) - 1;
    if (at[0] >= len) {
      // `bytes` may lie in this very slot: memmove.
      if (len > 0) std::memmove(at + 1, bytes.data(), static_cast<size_t>(len));
      at[0] = static_cast<uint8_t>(len);
      return;
    }
  }
  // The first pool with more than `len` free bytes, else the last pool.
  int k = pool_hint_[static_cast<size_t>(len)];
  while (k < FNumPoolAddr && kPoolSize - FFirstFree[static_cast<size_t>(k - 1)] <= len) ++k;
  pool_hint_[static_cast<size_t>(len)] = k;
  if (kPoolSize - FFirstFree[static_cast<size_t>(k - 1)] <= len) {
    if (FNumPoolAddr >= kMaxPools) {
      throw EOutOfMemory(ClassMessage(kClassName, u"no room for another string pool"));
    }
    try {
      auto pool = std::make_unique<TStringPool>();
      FFirstFree.reserve(FFirstFree.size() + 1);
      FStgPool.push_back(std::move(pool));
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory(ClassMessage(kClassName, u"out of memory for a string pool"));
    }
    FFirstFree.push_back(1);
    k = ++FNumPoolAddr;
  }
  const int32_t off = FFirstFree[static_cast<size_t>(k - 1)];
  uint8_t* at = FStgPool[static_cast<size_t>(k - 1)]->data() + off - 1;
  // Pools never move, so `bytes` may come from another cell of this table.
  if (len > 0) std::memmove(at + 1, bytes.data(), static_cast<size_t>(len));
  at[0] = static_cast<uint8_t>(len);
  h = (static_cast<uint32_t>(k) << 16) | static_cast<uint32_t>(off);
  FFirstFree[static_cast<size_t>(k - 1)] = off + len + 1;
}

void TStringArray::SetBytes(int c, int r, std::string_view bytes) {
  if (!CellInRange(c, r)) return;
  const int p = FSortIx[static_cast<size_t>(r - 1)];
  StoreAt(c, p, bytes);
  if (!shown_.empty()) shown_[Slot(c, r)] = FPoiArray[Slot(c, p)];
  Changed();
}

void TStringArray::SetString(int c, int r, const ShortString& s) { SetBytes(c, r, s.Bytes()); }

bool TStringArray::SetString(int c, int r, StringView s) {
  ShortString stored;
  const bool exact = TryToShortString(s, stored);
  SetBytes(c, r, stored.Bytes());
  return exact || !CellInRange(c, r);
}

bool TStringArray::CellNumber(std::string_view bytes, double& value) {
  // Most cells are short ASCII numbers: read them without a heap string.
  size_t b = 0, e = bytes.size();
  while (b < e && bytes[b] == ' ') ++b;
  while (e > b && bytes[e - 1] == ' ') --e;
  value = 0.0;
  if (b == e) return true;
  if (ReadShortDecimal(bytes.substr(b, e - b), value)) return true;
  Char buf[64];
  String heap;
  Char* t = buf;
  if (e - b > std::size(buf)) {
    heap.resize(e - b);
    t = heap.data();
  }
  for (size_t i = b; i < e; ++i) {
    const char ch = bytes[i];
    const Char c = ch == ',' ? u'.' : static_cast<Char>(static_cast<unsigned char>(ch));
    if (kNumberChars.find(c) == StringView::npos) return false;
    t[i - b] = c;
  }
  return TryStrToFloat(StringView(t, e - b), value);
}

double TStringArray::GetAsNumber(int c, int r) const {
  double value = 0.0;
  if (!CellNumber(GetBytes(c, r), value)) {
    const String text = AnsiToString(GetBytes(c, r));
    throw EZELDStructError(ClassMessage(kClassName, u"invalid numeric string: [" + IntToStr(c) +
                                                        u"," + IntToStr(r) + u"]: " + text));
  }
  return value;
}

int TStringArray::GetAsInteger(int c, int r) const {
  const double v = GetAsNumber(c, r);
  if (v < -2147483647.0) return -2147483647;
  if (v > 2147483647.0) return 2147483647;
  return static_cast<int>(std::nearbyint(v));  // the default rounding: halves to even
}

void TStringArray::Fill(const ShortString& s) {
  if (s.Empty()) {
    Clear();
    return;
  }
  for (int c = 0; c <= FNCol; ++c) {
    for (int r = 1; r <= FNRow; ++r) SetString(c, r, s);
  }
}

void TStringArray::Clear() {
  std::fill(FPoiArray.begin(), FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, FNRow + 1)), 0u);
  ResetIndex();
  std::fill_n(FRowAttrib.begin(), FNRow, uint8_t{0});
  std::fill(FColAttrib.begin(), FColAttrib.end(), uint8_t{0});
  FStgPool.resize(1);
  FFirstFree.resize(1);
  FNumPoolAddr = 1;
  FFirstFree[0] = 1;
  ResetPoolHints();
  ++layout_version_;
}

void TStringArray::GarbageCollection() {
  DropShownOrder();  // the handles change
  // Each pool is rebuilt from its live values, taken column by column and,
  // within a column, by physical row.  One walk over the handles sorts them
  // into per-pool lists (in that order), so the work is linear in the cells.
  std::vector<size_t> start(static_cast<size_t>(FNumPoolAddr) + 1, 0);
  for (int c = 0; c <= FNCol; ++c) {
    for (int p = 1; p <= FNRow; ++p) {
      if (const uint32_t h = FPoiArray[Slot(c, p)]; h != 0) ++start[h >> 16];
    }
  }
  for (size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
  std::vector<size_t> order(start.back());
  std::vector<size_t> next(start.begin(), start.end() - 1);
  for (int c = 0; c <= FNCol; ++c) {
    for (int p = 1; p <= FNRow; ++p) {
      const size_t slot = Slot(c, p);
      if (const uint32_t h = FPoiArray[slot]; h != 0) order[next[(h >> 16) - 1]++] = slot;
    }
  }
  auto buffer = std::make_unique<TStringPool>();
  for (int k = 1; k <= FNumPoolAddr; ++k) {
    uint8_t* pool = FStgPool[static_cast<size_t>(k - 1)]->data();
    int32_t pos = 1;
    for (size_t i = start[static_cast<size_t>(k - 1)]; i < start[static_cast<size_t>(k)]; ++i) {
      uint32_t& h = FPoiArray[order[i]];
      const uint8_t* at = pool + (h & 0xFFFFu) - 1;
      std::memcpy(buffer->data() + pos - 1, at, static_cast<size_t>(at[0]) + 1);
      h = (static_cast<uint32_t>(k) << 16) | static_cast<uint32_t>(pos);
      pos += at[0] + 1;
    }
    std::memcpy(pool, buffer->data(), static_cast<size_t>(pos - 1));
    FFirstFree[static_cast<size_t>(k - 1)] = pos;
  }
  ResetPoolHints();
}

// --- Attributes -------------------------------------------------------------------

uint8_t TStringArray::GetRowAttrib(int r) const noexcept {
  if (r < 1 || r > FNRow) return 0;
  return FRowAttrib[static_cast<size_t>(FSortIx[static_cast<size_t>(r - 1)] - 1)];
}

void TStringArray::SetRowAttrib(int r, uint8_t b) {
  if (r < 1 || r > FNRow) return;
  FRowAttrib[static_cast<size_t>(FSortIx[static_cast<size_t>(r - 1)] - 1)] = b;
  Changed();
}

uint8_t TStringArray::GetColAttrib(int c) const noexcept {
  if (c < 1 || c > FNCol) return 0;
  return FColAttrib[static_cast<size_t>(c - 1)];
}

void TStringArray::SetColAttrib(int c, uint8_t b) {
  if (c < 1 || c > FNCol) return;
  FColAttrib[static_cast<size_t>(c - 1)] = b;
  Changed();
}

// --- Size ------------------------------------------------------------------------

bool TStringArray::ResizeCore(int Nc, int Nr, bool keep_index) {
  DropShownOrder();
  if (Nc != FNCol || Nr > FRAllocated) {
    const int64_t granule = FAllocRowsBy;
    const int64_t rounded = granule * ((Nr - 1) / granule + 1);
    if (rounded > INT_MAX || Nc == INT_MAX) return false;
    const int A = static_cast<int>(rounded);
    const size_t rows = static_cast<size_t>(A);
    std::vector<uint32_t> handles;
    std::vector<int32_t> index;
    std::vector<uint8_t> row_attrib;
    std::vector<uint8_t> col_attrib;
    try {
      handles.assign((static_cast<size_t>(Nc) + 1) * rows, 0);
      index.resize(rows);
      row_attrib.assign(rows, 0);
      col_attrib.assign(static_cast<size_t>(Nc), 0);
    } catch (const std::bad_alloc&) {
      return false;
    } catch (const std::length_error&) {
      return false;
    }
    // Handles of the rows that remain (rows beyond Nr, and rows added by
    // growth, stay 0); attributes where they still fit, 0 for added rows.
    const size_t stride = static_cast<size_t>(Nc) + 1;
    const int keep_cols = std::min(Nc, FNCol) + 1;
    for (int p = 1; p <= std::min(Nr, FNRow); ++p) {
      std::copy_n(FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, p)), keep_cols,
                  handles.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(p - 1) * stride));
    }
    std::copy_n(FRowAttrib.begin(), std::min(FRAllocated, A), row_attrib.begin());
    for (int p = FNRow + 1; p <= std::min(Nr, FRAllocated); ++p) {
      row_attrib[static_cast<size_t>(p - 1)] = 0;
    }
    std::copy_n(FColAttrib.begin(), std::min(FNCol, Nc), col_attrib.begin());
    for (size_t i = 0; i < rows; ++i) index[i] = static_cast<int32_t>(i + 1);
    if (keep_index) std::copy_n(FSortIx.begin(), std::min(FNRow, Nr), index.begin());
    FPoiArray.swap(handles);
    FSortIx.swap(index);
    FRowAttrib.swap(row_attrib);
    FColAttrib.swap(col_attrib);
    FRAllocated = A;
  } else {
    const int lo = std::min(Nr, FNRow), hi = std::max(Nr, FNRow);
    std::fill(FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, lo + 1)),
              FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, hi + 1)), 0u);
    for (int p = FNRow + 1; p <= Nr; ++p) FRowAttrib[static_cast<size_t>(p - 1)] = 0;
    if (keep_index) {
      for (int i = FNRow + 1; i <= Nr; ++i) FSortIx[static_cast<size_t>(i - 1)] = i;
    } else {
      ResetIndex();
    }
  }
  FNCol = Nc;
  FNRow = Nr;
  ++layout_version_;
  return true;
}

bool TStringArray::Resize(int Nc, int Nr) {
  if (Nc == FNCol && Nr == FNRow) return true;
  if (Nc <= 0 || Nr <= 0) return false;
  const bool done = ResizeCore(Nc, Nr, /*keep_index=*/false);
  Changed();
  return done;
}

int TStringArray::AddRow() {
  if (FNRow < INT_MAX) (void)Resize(FNCol, FNRow + 1);  // the new count tells
  return FNRow;
}

// --- Rows and columns -----------------------------------------------------------------
// Rows and columns move as cell handles and attributes, never as cell bytes,
// so an edit costs one pass over the handles whatever the cell lengths.
// OnChange fires as often as writing the moved cells and attributes one by
// one would fire it (once per cell and attribute written, plus once for a
// resize), so handlers see the same number of events.

void TStringArray::NotifyRepeatedly(int64_t times) {
  if (!OnChange()) return;
  for (int64_t i = 0; i < times; ++i) Changed();
}

void TStringArray::InsertRow(int r) {
  if (r < 1 || r > FNRow || FNRow == INT_MAX) return;
  const int N = FNRow;
  const int p = FSortIx[static_cast<size_t>(r - 1)];
  const bool grown = ResizeCore(FNCol, N + 1, /*keep_index=*/true);
  Changed();
  if (!grown) return;
  DropShownOrder();  // again: the handler may have sorted
  // Physical rows p..N move down by one; row p becomes empty.
  const auto row_begin = [this](int q) { return FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, q)); };
  std::copy_backward(row_begin(p), row_begin(N + 1), row_begin(N + 2));
  std::fill(row_begin(p), row_begin(p + 1), 0u);
  std::copy_backward(FRowAttrib.begin() + (p - 1), FRowAttrib.begin() + N, FRowAttrib.begin() + (N + 1));
  FRowAttrib[static_cast<size_t>(p - 1)] = 0;
  std::vector<int32_t> kept(FSortIx.begin(), FSortIx.begin() + N);
  for (int32_t& e : kept) {
    if (e >= p) ++e;
  }
  kept.insert(kept.begin() + (r - 1), p);
  std::copy(kept.begin(), kept.end(), FSortIx.begin());
  NotifyRepeatedly(int64_t{N + 2 - p} * (FNCol + 2));
}

void TStringArray::RemoveRow(int r) {
  if (r < 1 || r > FNRow) return;
  DropShownOrder();
  if (FNRow == 1) {  // the only row is emptied
    std::fill(FPoiArray.begin(), FPoiArray.begin() + (FNCol + 1), 0u);
    FRowAttrib[0] = 0;
    NotifyRepeatedly(int64_t{FNCol} + 2);
    return;
  }
  const int N = FNRow;
  const int p = FSortIx[static_cast<size_t>(r - 1)];
  // Physical rows p+1..N move up by one; the handles of row p are dropped
  // (its slots become dead space, as an overwrite would leave them).
  const auto row_begin = [this](int q) { return FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, q)); };
  std::copy(row_begin(p + 1), row_begin(N + 1), row_begin(p));
  std::fill(row_begin(N), row_begin(N + 1), 0u);
  std::copy(FRowAttrib.begin() + p, FRowAttrib.begin() + N, FRowAttrib.begin() + (p - 1));
  std::vector<int32_t> kept(FSortIx.begin(), FSortIx.begin() + N);
  kept.erase(kept.begin() + (r - 1));
  for (int32_t& e : kept) {
    if (e > p) --e;
  }
  std::copy(kept.begin(), kept.end(), FSortIx.begin());
  NotifyRepeatedly(int64_t{N - p} * (FNCol + 2));
  (void)ResizeCore(FNCol, N - 1, /*keep_index=*/true);  // shrinking needs no memory
  Changed();
}

void TStringArray::CopyRow(int Source, int Target) {
  if (Source < 1 || Source > FNRow || Target < 1 || Target > FNRow) return;
  for (int c = 0; c <= FNCol; ++c) SetBytes(c, Target, GetBytes(c, Source));
  SetRowAttrib(Target, GetRowAttrib(Source));
}

void TStringArray::InsertColumn(int c) {
  if (c < 1 || c > FNCol || FNCol == INT_MAX) return;
  if (!Resize(FNCol + 1, FNRow)) return;
  DropShownOrder();  // the handler of the resize may have sorted
  // In every row, columns c..FNCol-1 move right by one; column c empties.
  for (int q = 1; q <= FNRow; ++q) {
    const auto row = FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, q));
    std::copy_backward(row + c, row + FNCol, row + FNCol + 1);
    row[c] = 0;
  }
  std::copy_backward(FColAttrib.begin() + (c - 1), FColAttrib.begin() + (FNCol - 1), FColAttrib.begin() + FNCol);
  FColAttrib[static_cast<size_t>(c - 1)] = 0;
  NotifyRepeatedly(int64_t{FNCol - c + 1} * (int64_t{FNRow} + 1));
}

void TStringArray::RemoveColumn(int c) {
  if (c < 1 || c > FNCol) return;
  DropShownOrder();
  if (FNCol == 1) {  // the only column is emptied
    for (int q = 1; q <= FNRow; ++q) FPoiArray[Slot(1, q)] = 0;
    FColAttrib[0] = 0;
    NotifyRepeatedly(int64_t{FNRow} + 1);
    return;
  }
  // In every row, columns c+1..FNCol move left by one; the last column's
  // handles go with the resize.
  for (int q = 1; q <= FNRow; ++q) {
    const auto row = FPoiArray.begin() + static_cast<std::ptrdiff_t>(Slot(0, q));
    std::copy(row + c + 1, row + FNCol + 1, row + c);
    row[FNCol] = 0;
  }
  std::copy(FColAttrib.begin() + c, FColAttrib.begin() + FNCol, FColAttrib.begin() + (c - 1));
  NotifyRepeatedly(int64_t{FNCol - c} * (int64_t{FNRow} + 1));
  (void)Resize(FNCol - 1, FNRow);  // shrinking needs no memory
}

bool TStringArray::ColumnEmpty(int ACol) const {
  for (int r = 1; r <= FNRow; ++r) {
    if (!AllBlanks(GetBytes(ACol, r))) return false;
  }
  return true;
}

bool TStringArray::RowEmpty(int ARow) const {
  for (int c = 1; c <= FNCol; ++c) {
    if (!AllBlanks(GetBytes(c, ARow))) return false;
  }
  return true;
}

}  // namespace zel
