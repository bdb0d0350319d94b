// zel/dstruct/strarray.h — `TStringArray`, a two-dimensional table of short
// strings with pooled storage, sorting and searching.
//
// Cells are addressed (column, row): columns 0..NrOfColumns(), rows
// 1..NrOfRows().  Column 0 is a full column for every cell operation but has
// no column attribute and is never inserted or removed.  A cell holds up to
// 255 Windows-1252 bytes (a `ShortString`); cells are not heap strings but
// slots in 32 KB pools, and the table keeps one 32-bit handle per cell
// (pool × 65536 + 1-based offset of the slot's length byte; 0 = no storage,
// reads as the empty string).  Out-of-range coordinates are never an error:
// reads give "", 0 or -1, writes do nothing.
//
//   zel::TStringArray t(nullptr);             // 1 column × 1 row
//   t.Resize(3, 100);                         // 3 columns × 100 rows
//   t.SetString(1, 1, u"Banana");             // false if it could not be kept exactly
//   t.SetBytes(1, 2, "Kiwi");                 // bytes in Windows-1252
//   t.SetString(2, 1, zel::ToShortString(u"3,5"));
//   t.GetAsNumber(2, 1);                      // 3.5 (a comma reads as '.')
//   t.Sort(1, 2, true);                       // by column 1, ties by column 2
//   t.Sort(3, 0, true, zel::skNumeric);       // by the value of column 3
//   t.GetString(1, 1).ToString();             // the smallest key's row
//   t.UnSort();                               // back to the stored order
//
// Rows: the row numbers callers pass are logical rows.  A row index maps
// them to the physical rows that hold the handles, so `Sort` permutes that
// index only and `UnSort` undoes it; `CommitSorting` makes the order
// physical.  A sort also keeps a copy of the handles in the sorted order,
// so that reading the sorted rows goes straight to their cells instead of
// through the index (a copy that any later change of rows, columns or the
// index drops; writing a cell keeps it up to date).  Every resize (`Resize`, `SetNrRows`, `SetNrCols`, `AddRow`,
// `InsertColumn`, `RemoveColumn`) resets the index to the physical order, so
// commit a sort before resizing if it must survive.  `InsertRow` and
// `RemoveRow` keep an uncommitted order.
//
// Storage: a write whose value is not longer than the cell's current value
// reuses the slot in place; otherwise the value goes into the first pool with
// room and the old slot becomes dead space, which only `GarbageCollection`
// reclaims (pools are never released, except by `Clear`).  Row storage grows
// in granules of `AllocRowsBy()` rows.
//
// Notification: `OnChange` fires after every `SetString`, `SetRowAttrib`,
// `SetColAttrib`, after every `Resize` that does something, and after
// `Sort` and `UnSort`.  Row and column operations fire once per cell and
// attribute they move or empty plus once for their resize, as writing them
// one by one would (they move cell handles, not cell text, so inserting a
// row costs one pass over the handles).  `Clear`, `GarbageCollection`, `Assign`, `CommitSorting` and
// `SetSortOrder` do not fire it.
//
// Sorting: a comb sort (shrink factor 1.3) over the logical rows; keys are
// the cells as UTF-16 text, ASCII letters folded to lower case, compared
// ordinally by code unit (a proper prefix is smaller; the Windows-1252 bytes
// 0x80-0x9F sort as the characters they stand for, above U+00FF).  Equal
// primary keys are ordered by the secondary column when it is > 0; the sort
// is not stable.  `OnBeforeSortExchange` may rewrite each key before it is
// compared (it is called for every key read: two or four times per
// comparison), e.g. to pad numbers so they sort by value.  `OnPercentDone`
// reports progress: 0, after each pass the comparisons made so far as a
// percentage of an estimate (which can go above 100 when several passes with
// gap 1 are needed), and 100 at the end.  A handler that resizes, clears or
// reassigns the table ends the sort early.
//
// Persistence: `SaveAsXMLFile` / `LoadFromXMLFile` write and read one table
// element in the library's tagged-text style (see strarray_xml.cpp for the
// layout); `WriteToOpenXMLFile` / `ReadFromOpenXMLFile` do the same on a
// text file the caller has opened, so several tables (told apart by their
// DataID) can share one file:
//
//   <strarray sig="ZELCSuite" vers="1.0" id="prices">
//     <numcols val=2 />
//     <numrows val=3 />
//     <colattrib col=2 val=1 />
//     <rowattrib row=3 val=7 />
//     <cell col=1 row=1>apples &amp; pears</cell>
//   </strarray>
//
// Rows are saved in their logical order, only non-empty cells and non-zero
// attributes; "&", "<", ">" and control characters are written as
// references, so any cell text survives; reading resolves them with
// `ResolveXMLReferences` (zel/streams/xmlrefs.h).  A read that finds no matching
// element, or meets the end of the file before "</strarray>", returns false
// and leaves the table as it was; so does a file whose table would have
// more than 2^24 cells ((columns + 1) × rows), a guard against absurd sizes.
//
// Choices of this implementation:
//   * `SetAllocRowsBy` refuses a value <= 0 (the old value stays), so a bad
//     granule can never make a later resize fail.
//   * Cells are converted to and from UTF-16 through Windows-1252; a
//     character the code page lacks becomes '?', and the text form of
//     `SetString` says so in its result.  Byte strings are taken only by
//     `SetBytes`: a bare UTF-8 `const char*` does not compile as a cell.
//   * A table holds at most 65535 pools (about 2 GB of cell text): the
//     handle has 16 bits for the pool number.  A write that would need pool
//     65536 raises `EOutOfMemory`, as when a pool cannot be allocated.
//   * Sizes whose allocation granule would exceed the int range are refused
//     like any failed allocation (`Resize` returns false).
//   * `FindCellInSortedColumn` leaves in `row` the last row it probed when it
//     returns false.
//   * `CommitSorting` of an index that shows a physical row more than once
//     (possible through `SetSortOrder`) gives each repeat its own copy of
//     the values, so no two cells ever share a slot.
#ifndef ZEL_DSTRUCT_STRARRAY_H_
#define ZEL_DSTRUCT_STRARRAY_H_

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "zel/platform/changenotify.h"
#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/zelbase/errors.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

class TextFile;

// Called before each sort key is compared: `OutString` starts as a copy of
// `InString` and may be replaced.
using TBeforeSortExchgEvent =
    std::function<void(TObject* Sender, const String& InString, String& OutString)>;

// How Sort compares the cells of its key columns.
enum TSortKey : uint8_t { skText, skNumeric };

class TStringArray : public WithOnChange<TComponent> {
 public:
  static constexpr int kPoolSize = 32768;  // bytes per string pool
  static constexpr int kMaxPools = 65535;  // the handle holds 16 bits of pool number

  // 1 column × 1 row, 10 allocated rows, one pool.  Raises EZELDStructError
  // "Class TStringArray: failed to initialize (out of memory)" when memory
  // runs out.
  explicit TStringArray(TComponent* AOwner);
  ~TStringArray() override;

  // From another TStringArray: size, granule, pools byte for byte, handles,
  // the (possibly uncommitted) row order, the attributes and the three event
  // handlers; no OnChange.  Other sources go to the inherited Assign.
  void Assign(const TPersistent* Source) override;

  // --- Size -----------------------------------------------------------------
  int NrOfColumns() const noexcept { return FNCol; }
  int NrOfRows() const noexcept { return FNRow; }
  // Property setters: a failed Resize leaves the size, which the getters show.
  void SetNrCols(int Value) { (void)Resize(Value, FNRow); }
  void SetNrRows(int Value) { (void)Resize(FNCol, Value); }
  int AllocRowsBy() const noexcept { return FAllocRowsBy; }
  // Stores the row granule for the next reallocation; a value <= 0 is
  // refused and the old value stays.
  void SetAllocRowsBy(int Value) noexcept;
  int NumBuffers() const noexcept { return FNumPoolAddr; }
  // Rows for which handle, index and attribute storage exists.
  int AllocatedRows() const noexcept { return FRAllocated; }

  // Nc columns × Nr rows.  Same size: true, nothing happens.  Nc or Nr <= 0:
  // false, nothing happens.  Otherwise the table grows or shrinks (new rows
  // empty with attribute 0), the row order becomes the physical order,
  // OnChange fires, and the result tells whether memory sufficed (on false
  // the size is unchanged, and OnChange still fires).
  [[nodiscard]] bool Resize(int Nc, int Nr);
  // Appends an empty row and returns its number (the new NrOfRows).
  int AddRow();

  // --- Cells ----------------------------------------------------------------
  // The cell's value; "" outside 0..NrOfColumns × 1..NrOfRows.
  ShortString GetString(int c, int r) const;
  // The same into a value the caller keeps (for a loop over many cells:
  // only the cell's bytes are written).
  void GetString(int c, int r, ShortString& out) const noexcept { out.Assign(GetBytes(c, r)); }
  // The same bytes without a copy; the view is valid until the next write,
  // resize, Clear, GarbageCollection or Assign of this table.
  std::string_view GetBytes(int c, int r) const noexcept {
    if (!CellInRange(c, r)) return {};
    return HandleBytes(CellHandle(c, r));
  }
  // A hint before reading many rows in order: starts loading where row r's
  // cells are recorded, so that GetBytes on it a little later does not
  // wait for memory (after a sort the rows lie scattered).  Reads nothing
  // and does nothing outside 1..NrOfRows.
  // After a sort the row's handles lie in order, and the hint starts
  // loading the row's first and last cells themselves.
  void PrefetchRow(int r) const noexcept {
    if (r < 1 || r > FNRow) return;
    if (shown_.empty()) {
      __builtin_prefetch(FPoiArray.data() + Slot(0, FSortIx[static_cast<size_t>(r - 1)]));
      return;
    }
    for (const int c : {1, FNCol}) {
      if (const uint32_t h = shown_[Slot(c, r)]; h != 0) {
        __builtin_prefetch(FStgPool[(h >> 16) - 1]->data() + (h & 0xFFFFu) - 1);
      }
    }
  }
  // Writes a value; nothing happens outside the ranges.  Fires OnChange.
  void SetString(int c, int r, const ShortString& s);
  // Writes text, converted to Windows-1252 and cut at 255 characters.
  // Returns true when the cell holds `s` exactly (or the cell is outside
  // the table), false when a character became '?' or the text was cut, so
  // that a loss is never silent:
  //   if (!t.SetString(1, 1, u"Łódź")) ...   // stored as "?ód?"
  bool SetString(int c, int r, StringView s);
  // Writes Windows-1252 bytes as they are (the first 255).
  void SetBytes(int c, int r, std::string_view bytes);
  ShortString Elem(int c, int r) const { return GetString(c, r); }
  void SetElem(int c, int r, const ShortString& s) { SetString(c, r, s); }

  // The cell read as a number: blanks trimmed, commas read as '.', empty
  // text is 0.  Text that is no number raises EZELDStructError
  // "Class TStringArray: invalid numeric string: [c,r]: <cell text>".
  double GetAsNumber(int c, int r) const;
  double AsNumber(int c, int r) const { return GetAsNumber(c, r); }
  // GetAsNumber clamped to -2147483647..2147483647 and rounded to the
  // nearest integer, halves to even.
  int GetAsInteger(int c, int r) const;
  int AsInteger(int c, int r) const { return GetAsInteger(c, r); }

  // s empty: Clear; otherwise s in every cell (columns 0..NrOfColumns).
  void Fill(const ShortString& s);
  // Empties every cell, the row order and the attributes without changing
  // the size; back to one pool.  No OnChange.
  void Clear();
  // Compacts every pool (dead space goes to its end); no OnChange.
  void GarbageCollection();

  // The raw handle of a cell (0 = no storage) and the 1-based first free
  // offset of pool `pool` (1..NumBuffers(), else 0): the storage layout as
  // it stands, for diagnostics and tests.
  uint32_t GetCellHandle(int c, int r) const noexcept;
  int GetFirstFree(int pool) const noexcept;

  // --- Attributes -------------------------------------------------------------
  uint8_t GetRowAttrib(int r) const noexcept;  // logical row; 0 outside
  void SetRowAttrib(int r, uint8_t b);
  uint8_t GetColAttrib(int c) const noexcept;  // 1..NrOfColumns; 0 outside
  void SetColAttrib(int c, uint8_t b);
  uint8_t RowAttrib(int r) const noexcept { return GetRowAttrib(r); }
  uint8_t ColAttrib(int c) const noexcept { return GetColAttrib(c); }

  // --- Rows and columns (row numbers logical) ----------------------------------
  // An empty row at position r (1..NrOfRows); rows from r on move down.
  void InsertRow(int r);
  // Removes row r; the only row of a one-row table is emptied instead.
  void RemoveRow(int r);
  // Copies the cells and the attribute of row Source to row Target.
  void CopyRow(int Source, int Target);
  // An empty column at position c (1..NrOfColumns); columns from c on move
  // right.
  void InsertColumn(int c);
  // Removes column c (1..NrOfColumns); the only column is emptied instead.
  void RemoveColumn(int c);
  // True if every cell of the column (row) is empty or blanks only; the row
  // test looks at columns 1..NrOfColumns.  Outside the ranges: true.
  bool ColumnEmpty(int ACol) const;
  bool RowEmpty(int ARow) const;

  // --- Sorting and searching (strarray_sort.cpp) ----------------------------
  // Sorts by column Col, equal keys by column ColSec when ColSec > 0.
  void Sort(int Col, int ColSec, bool Ascending);
  // The same with numeric keys for `skNumeric`: cells that read as numbers
  // (by the rule of GetAsNumber: blanks trimmed, a comma as the point, an
  // empty cell as 0) compare by value and come before all other cells, which
  // compare as text.  No OnBeforeSortExchange handler is needed, and none is
  // called; `skText` is the classic Sort.
  void Sort(int Col, int ColSec, bool Ascending, TSortKey Key);
  // The physical order again; fires OnChange.
  void UnSort();
  // Makes the current row order physical; no OnChange.
  void CommitSorting();
  // The physical row shown at logical row ix; -1 outside 1..NrOfRows.
  int GetSortOrder(int ix) const noexcept;
  // Shows physical row `position` at ix (both 1..NrOfRows, else nothing).
  // No check that the index stays a permutation: that is the caller's duty.
  void SetSortOrder(int ix, int position) noexcept;
  int SortOrder(int ix) const noexcept { return GetSortOrder(ix); }

  // The first cell of the rectangle, scanned row by row, that contains
  // FindStr (FindCell; an empty FindStr never matches) or equals it
  // (FindCellExact).  MatchCase false folds ASCII letters.  ColLow or
  // ColHigh = -1: all columns 0..NrOfColumns; RowLow = RowHigh = -1: all
  // rows.  Bounds are clamped and swapped if reversed.  On a match sets Col
  // and row and returns true; otherwise leaves them alone.
  bool FindCell(const String& FindStr, bool MatchCase, int ColLow, int ColHigh, int RowLow,
                int RowHigh, int& Col, int& row) const;
  bool FindCellExact(const String& FindStr, bool MatchCase, int ColLow, int ColHigh, int RowLow,
                     int RowHigh, int& Col, int& row) const;
  // Binary search in column ColIx, rows RowLow..RowHigh (-1, -1: all), which
  // must be ordered by the same rule (ordinal, ASCII-folded unless
  // MatchCase, ascending or not as ColIsAscending says).  On success `row`
  // is the first row of the run of equal cells (the walk upward may leave
  // the range, never above row 1).
  bool FindCellInSortedColumn(const String& FindStr, bool MatchCase, int ColIx, int RowLow,
                              int RowHigh, bool ColIsAscending, int& row) const;

  // --- Persistence (strarray_xml.cpp) -------------------------------------
  // Reads the first table element of the file whose id equals DataID
  // (ignoring ASCII case; an empty DataID takes the first element).  True
  // when a complete element was read; otherwise false and the table is as
  // before.  A missing file raises the platform's EInOutError.
  [[nodiscard]] bool LoadFromXMLFile(const String& FName, const String& DataID);
  // Writes the table as the only element of a new file, with the XML header.
  void SaveAsXMLFile(const String& FName, const String& DataID);
  // The same on a text file open for reading (from its position on) or for
  // writing (the element is appended; CreateHeader puts the XML declaration
  // before it).
  [[nodiscard]] bool ReadFromOpenXMLFile(TextFile& F, const String& DataID);
  void WriteToOpenXMLFile(TextFile& F, bool CreateHeader, const String& DataID) const;

  // --- Events ---------------------------------------------------------------
  const TBeforeSortExchgEvent& OnBeforeSortExchange() const noexcept { return FOnBefSortExc; }
  void SetOnBeforeSortExchange(TBeforeSortExchgEvent h) { FOnBefSortExc = std::move(h); }
  const TOnPercentDoneEvent& OnPercentDone() const noexcept { return FOnPercentDone; }
  void SetOnPercentDone(TOnPercentDoneEvent h) { FOnPercentDone = std::move(h); }

 protected:
  // OutString := InString, then OnBeforeSortExchange(this, InString,
  // OutString) if assigned.
  void BeforeSortExchange(const String& InString, String& OutString);

 private:
  using TStringPool = std::array<uint8_t, kPoolSize>;

  // Storage index of a handle: column c (0..FNCol), physical row p (1-based).
  // Rows are contiguous: a row is read and written together far more often
  // than a column.
  size_t Slot(int c, int p) const noexcept {
    return static_cast<size_t>(p - 1) * (static_cast<size_t>(FNCol) + 1) + static_cast<size_t>(c);
  }
  bool CellInRange(int c, int r) const noexcept {
    return c >= 0 && c <= FNCol && r >= 1 && r <= FNRow;
  }
  // The handle of cell (c, logical row r), both in range.
  uint32_t CellHandle(int c, int r) const noexcept {
    if (!shown_.empty()) return shown_[Slot(c, r)];
    return FPoiArray[Slot(c, FSortIx[static_cast<size_t>(r - 1)])];
  }
  // The sorted copy of the handles: made at the end of a sort, dropped
  // (and its memory released) by anything that moves handles or rewrites
  // the index.
  void KeepShownOrder();
  void DropShownOrder() noexcept {
    if (!shown_.empty()) std::vector<uint32_t>().swap(shown_);
  }
  std::string_view HandleBytes(uint32_t h) const noexcept {
    if (h == 0) return {};
    const uint8_t* at = FStgPool[(h >> 16) - 1]->data() + (h & 0xFFFFu) - 1;  // the length byte
    return {reinterpret_cast<const char*>(at + 1), at[0]};
  }
  // Calls Changed() `times` times (not at all without a handler).
  void NotifyRepeatedly(int64_t times);
  // Reads a cell as GetAsNumber does; false for text that is no number.
  static bool CellNumber(std::string_view bytes, double& value);
  // Writes to the cell at physical row p without checks or notification.
  void StoreAt(int c, int p, std::string_view bytes);
  // The resize steps without OnChange; keeps the row index as it is when
  // `keep_index` (rows beyond the old count get the identity entry).
  [[nodiscard]] bool ResizeCore(int Nc, int Nr, bool keep_index);
  void ResetPoolHints() noexcept;
  void ResetIndex() noexcept;
  bool FindCellIntern(const String& FindStr, bool MatchCase, int ColLow, int ColHigh, int RowLow,
                      int RowHigh, int& Col, int& row, bool Exact) const;

  int FNCol = 1;
  int FNRow = 1;
  int FAllocRowsBy = 10;
  int FRAllocated = 10;
  int FNumPoolAddr = 1;
  std::vector<int32_t> FFirstFree;          // [pool - 1]
  std::vector<uint32_t> FPoiArray;          // FRAllocated rows of FNCol + 1 handles
  std::vector<int32_t> FSortIx;             // [logical row - 1] = physical row
  // Empty, or the handles of FNRow rows in logical order (FNCol + 1 per
  // row, as in FPoiArray): FPoiArray[Slot(c, FSortIx[r - 1])] for every
  // cell, while the rows are shown sorted.
  std::vector<uint32_t> shown_;
  std::vector<std::unique_ptr<TStringPool>> FStgPool;  // [pool - 1]
  std::vector<uint8_t> FRowAttrib;          // [physical row - 1]
  std::vector<uint8_t> FColAttrib;          // [column - 1]
  TBeforeSortExchgEvent FOnBefSortExc;
  TOnPercentDoneEvent FOnPercentDone;
  // For each value length L, a pool number below which no pool has more
  // than L free bytes: the search for a pool with room starts there instead
  // of at pool 1 (free space only shrinks between compactions).
  std::array<int32_t, 256> pool_hint_{};
  // Changes with every resize, Clear and Assign: a sort whose handlers do
  // one of these stops instead of working on storage that has gone.
  uint32_t layout_version_ = 0;
  // Changes whenever the row index is rewritten outside a sort's own
  // exchanges (ResetIndex, SetSortOrder): a sort that keeps keys in index
  // order reads them again.
  uint32_t index_version_ = 0;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_STRARRAY_H_
