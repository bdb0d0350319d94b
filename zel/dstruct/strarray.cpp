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
  for (size_t i = 0; i < FSortIx.size(); ++i) FSortIx[i] = static_cast<int32_t>(i + 1);
}

void TStringArray::ResetPoolHints() noexcept { pool_hint_.fill(1); }

void TStringArray::Assign(const TPersistent* Source) {
  const auto* src = dynamic_cast<const TStringArray*>(Source);
  if (src == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  if (src == this) return;
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

ShortString TStringArray::GetString(int c, int r) const { return ShortString(GetBytes(c, r)); }

uint32_t TStringArray::GetCellHandle(int c, int r) const noexcept {
  if (!CellInRange(c, r)) return 0;
  return FPoiArray[Slot(c, FSortIx[static_cast<size_t>(r - 1)])];
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

void TStringArray::SetString(int c, int r, std::string_view bytes) {
  if (!CellInRange(c, r)) return;
  StoreAt(c, FSortIx[static_cast<size_t>(r - 1)], bytes);
  Changed();
}

void TStringArray::SetString(int c, int r, const ShortString& s) { SetString(c, r, s.Bytes()); }

double TStringArray::GetAsNumber(int c, int r) const {
  const String text = AnsiToString(GetBytes(c, r));
  String t = StripLTBlanks(text);
  std::replace(t.begin(), t.end(), u',', u'.');
  if (t.empty()) return 0.0;
  double value = 0.0;
  if (t.find_first_not_of(kNumberChars) != String::npos || !TryStrToFloat(t, value)) {
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
// Rows and columns move through the cell and attribute accessors (so each
// write fires OnChange), with the row index set to identity while physical
// rows are shifted.

void TStringArray::InsertRow(int r) {
  if (r < 1 || r > FNRow || FNRow == INT_MAX) return;
  const int N = FNRow;
  const int p = FSortIx[static_cast<size_t>(r - 1)];
  const bool grown = ResizeCore(FNCol, N + 1, /*keep_index=*/true);
  Changed();
  if (!grown) return;
  std::vector<int32_t> kept(FSortIx.begin(), FSortIx.begin() + N);
  ResetIndex();
  for (int a = N + 1; a >= p + 1; --a) {
    for (int c = 0; c <= FNCol; ++c) SetString(c, a, GetBytes(c, a - 1));
    SetRowAttrib(a, GetRowAttrib(a - 1));
  }
  for (int c = 0; c <= FNCol; ++c) SetString(c, p, std::string_view());
  SetRowAttrib(p, 0);
  for (int32_t& e : kept) {
    if (e >= p) ++e;
  }
  kept.insert(kept.begin() + (r - 1), p);
  std::copy(kept.begin(), kept.end(), FSortIx.begin());
}

void TStringArray::RemoveRow(int r) {
  if (r < 1 || r > FNRow) return;
  if (FNRow == 1) {
    for (int c = 0; c <= FNCol; ++c) SetString(c, 1, std::string_view());
    SetRowAttrib(1, 0);
    return;
  }
  const int N = FNRow;
  const int p = FSortIx[static_cast<size_t>(r - 1)];
  std::vector<int32_t> kept(FSortIx.begin(), FSortIx.begin() + N);
  ResetIndex();
  for (int a = p + 1; a <= N; ++a) {
    for (int c = 0; c <= FNCol; ++c) SetString(c, a - 1, GetBytes(c, a));
    SetRowAttrib(a - 1, GetRowAttrib(a));
  }
  kept.erase(kept.begin() + (r - 1));
  for (int32_t& e : kept) {
    if (e > p) --e;
  }
  std::copy(kept.begin(), kept.end(), FSortIx.begin());
  (void)ResizeCore(FNCol, N - 1, /*keep_index=*/true);  // shrinking needs no memory
  Changed();
}

void TStringArray::CopyRow(int Source, int Target) {
  if (Source < 1 || Source > FNRow || Target < 1 || Target > FNRow) return;
  for (int c = 0; c <= FNCol; ++c) SetString(c, Target, GetBytes(c, Source));
  SetRowAttrib(Target, GetRowAttrib(Source));
}

void TStringArray::InsertColumn(int c) {
  if (c < 1 || c > FNCol || FNCol == INT_MAX) return;
  if (!Resize(FNCol + 1, FNRow)) return;
  for (int k = FNCol; k >= c + 1; --k) {
    for (int r = 1; r <= FNRow; ++r) SetString(k, r, GetBytes(k - 1, r));
    SetColAttrib(k, GetColAttrib(k - 1));
  }
  for (int r = 1; r <= FNRow; ++r) SetString(c, r, std::string_view());
  SetColAttrib(c, 0);
}

void TStringArray::RemoveColumn(int c) {
  if (c < 1 || c > FNCol) return;
  if (FNCol == 1) {
    for (int r = 1; r <= FNRow; ++r) SetString(1, r, std::string_view());
    SetColAttrib(1, 0);
    return;
  }
  for (int k = c + 1; k <= FNCol; ++k) {
    for (int r = 1; r <= FNRow; ++r) SetString(k - 1, r, GetBytes(k, r));
    SetColAttrib(k - 1, GetColAttrib(k));
  }
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
