#include "zel/dstruct/strarray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <string>
#include <vector>

#include "zel/platform/numconv.h"

namespace zel {
namespace {

std::string Cell(const TStringArray& t, int c, int r) { return std::string(t.GetBytes(c, r)); }

// Counts OnChange calls.
struct ChangeCounter {
  int count = 0;
  void Attach(TStringArray& t) {
    t.SetOnChange([this](TObject*) { ++count; });
  }
};

// Column c of the rows 1..NrOfRows, joined with '|'.
std::string Column(const TStringArray& t, int c) {
  std::string out;
  for (int r = 1; r <= t.NrOfRows(); ++r) out += (r > 1 ? "|" : "") + Cell(t, c, r);
  return out;
}

TEST(StringArrayStorage, NewTable) {
  TStringArray t(nullptr);
  EXPECT_EQ(t.NrOfColumns(), 1);
  EXPECT_EQ(t.NrOfRows(), 1);
  EXPECT_EQ(t.AllocRowsBy(), 10);
  EXPECT_EQ(t.AllocatedRows(), 10);
  EXPECT_EQ(t.NumBuffers(), 1);
  EXPECT_EQ(t.GetFirstFree(1), 1);
  EXPECT_EQ(t.GetString(0, 1), ShortString());
  EXPECT_EQ(t.GetString(1, 1), ShortString());
  EXPECT_EQ(t.GetSortOrder(1), 1);
  ChangeCounter changes;
  changes.Attach(t);
  for (auto [c, r] : {std::pair{2, 1}, {1, 0}, {-1, 1}, {1, 2}}) {
    t.SetBytes(c, r, "x");
    EXPECT_EQ(Cell(t, c, r), "") << c << "," << r;
  }
  EXPECT_EQ(changes.count, 0);
  EXPECT_EQ(t.GetFirstFree(1), 1);
}

TEST(StringArrayStorage, HandlesAndOffsets) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 3));
  t.SetBytes(1, 1, "abc");
  EXPECT_EQ(t.GetCellHandle(1, 1), 1u * 65536 + 1);
  EXPECT_EQ(t.GetFirstFree(1), 5);
  t.SetBytes(2, 1, "de");
  EXPECT_EQ(t.GetCellHandle(2, 1), 1u * 65536 + 5);
  EXPECT_EQ(t.GetFirstFree(1), 8);
  // Not longer than the old value: rewritten in place.
  t.SetBytes(1, 1, "x");
  EXPECT_EQ(t.GetCellHandle(1, 1), 1u * 65536 + 1);
  EXPECT_EQ(Cell(t, 1, 1), "x");
  t.SetBytes(1, 1, "abcd");
  EXPECT_EQ(t.GetCellHandle(1, 1), 1u * 65536 + 8);
  EXPECT_EQ(t.GetFirstFree(1), 13);
  EXPECT_EQ(Cell(t, 1, 1), "abcd");
  EXPECT_EQ(Cell(t, 2, 1), "de");
  // The empty string gives a cell without storage a one-byte slot.
  t.SetBytes(0, 2, "");
  EXPECT_EQ(t.GetCellHandle(0, 2), 1u * 65536 + 13);
  EXPECT_EQ(t.GetFirstFree(1), 14);
}

TEST(StringArrayStorage, PoolsFillAndOverflow) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(1, 200));
  const std::string v255(255, 'v');
  for (int r = 1; r <= 127; ++r) t.SetBytes(1, r, v255);
  EXPECT_EQ(t.NumBuffers(), 1);
  EXPECT_EQ(t.GetFirstFree(1), 32513);
  t.SetBytes(1, 128, v255);
  EXPECT_EQ(t.NumBuffers(), 2);
  EXPECT_EQ(t.GetCellHandle(1, 128), 2u * 65536 + 1);
  EXPECT_EQ(t.GetFirstFree(2), 257);
  // A short value still fits into the first pool's remaining 255 bytes
  // (the last byte of a pool is never used).
  t.SetBytes(1, 129, std::string(254, 's'));
  EXPECT_EQ(t.GetCellHandle(1, 129), 1u * 65536 + 32513);
  EXPECT_EQ(t.GetFirstFree(1), 32768);
  t.SetBytes(1, 130, "");
  EXPECT_EQ(t.GetCellHandle(1, 130) >> 16, 2u);
  EXPECT_EQ(Cell(t, 1, 127), v255);
  EXPECT_EQ(Cell(t, 1, 128), v255);
  t.Clear();
  EXPECT_EQ(t.NumBuffers(), 1);
  EXPECT_EQ(t.GetFirstFree(1), 1);
  EXPECT_EQ(t.NrOfRows(), 200);
  EXPECT_EQ(Cell(t, 1, 127), "");
}

// The search for a pool with room remembers where it may start; values of
// different lengths must still land in the first pool that has room.
TEST(StringArrayStorage, FirstPoolWithRoomWins) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(1, 400));
  int r = 1;
  for (; r <= 131; ++r) t.SetBytes(1, r, std::string(250, 'a'));  // 130 fit into pool 1
  EXPECT_EQ(t.NumBuffers(), 2);
  EXPECT_EQ(t.GetFirstFree(1), 32631);                    // 137 bytes left
  t.SetBytes(1, r++, std::string(200, 'b'));             // too long for pool 1
  EXPECT_EQ(t.GetCellHandle(1, r - 1) >> 16, 2u);
  t.SetBytes(1, r++, std::string(100, 'c'));             // fits pool 1
  EXPECT_EQ(t.GetCellHandle(1, r - 1), 1u * 65536 + 32631);
  t.SetBytes(1, r++, std::string(60, 'd'));              // 36 left in pool 1: pool 2
  EXPECT_EQ(t.GetCellHandle(1, r - 1) >> 16, 2u);
  t.SetBytes(1, r++, std::string(35, 'e'));              // 36 > 35: fills pool 1
  EXPECT_EQ(t.GetCellHandle(1, r - 1) >> 16, 1u);
  EXPECT_EQ(t.GetFirstFree(1), 32768);
  // Compaction frees space in pool 1: long values go there again.
  for (int k = 1; k <= 10; ++k) t.SetBytes(1, k, "z");  // in place, 249 dead bytes each
  t.GarbageCollection();
  EXPECT_EQ(t.GetFirstFree(1), 32768 - 2490);
  t.SetBytes(1, r, std::string(200, 'f'));
  EXPECT_EQ(t.GetCellHandle(1, r) >> 16, 1u);
}

TEST(StringArrayStorage, GarbageCollectionKeepsValues) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(3, 30));
  std::vector<std::string> expect;
  for (int round = 0; round < 3; ++round) {  // rewrites leave dead space
    for (int c = 0; c <= 3; ++c) {
      for (int r = 1; r <= 30; ++r) {
        t.SetBytes(c, r, std::string(static_cast<size_t>((c * 7 + r * 3 + round * 5) % 40), 'a' + c));
      }
    }
  }
  t.SetBytes(2, 5, "");
  t.Sort(1, 0, false);  // compaction works on physical rows
  std::vector<std::string> before;
  size_t live = 0;
  for (int c = 0; c <= 3; ++c) {
    for (int r = 1; r <= 30; ++r) {
      before.push_back(Cell(t, c, r));
      if (t.GetCellHandle(c, r) >> 16 == 1) live += t.GetBytes(c, r).size() + 1;
    }
  }
  ChangeCounter changes;
  changes.Attach(t);
  t.GarbageCollection();
  EXPECT_EQ(changes.count, 0);
  std::vector<std::string> after;
  for (int c = 0; c <= 3; ++c) {
    for (int r = 1; r <= 30; ++r) after.push_back(Cell(t, c, r));
  }
  EXPECT_EQ(after, before);
  EXPECT_EQ(t.GetFirstFree(1), static_cast<int>(1 + live));
  // The first live value of column 0 (physical row 1) now sits at offset 1.
  t.UnSort();
  EXPECT_EQ(t.GetCellHandle(0, 1), 1u * 65536 + 1);
}

TEST(StringArrayNumbers, AsNumberAndAsInteger) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 6));
  struct Case {
    const char* text;
    double number;
    int integer;
  };
  const Case cases[] = {
      {" 3,25 ", 3.25, 3},    {"", 0.0, 0},         {"    ", 0.0, 0},
      {"2.5", 2.5, 2},        {"3.5", 3.5, 4},      {"-2.5", -2.5, -2},
      {"-1e12", -1e12, -2147483647}, {"1e12", 1e12, 2147483647}, {"-2147483648", -2147483648.0, -2147483647},
      {"+.5E1", 5.0, 5},      {"7.", 7.0, 7},       {"1,5e+2", 150.0, 150},
  };
  for (const Case& k : cases) {
    t.SetBytes(1, 1, k.text);
    EXPECT_DOUBLE_EQ(t.GetAsNumber(1, 1), k.number) << k.text;
    EXPECT_EQ(t.GetAsInteger(1, 1), k.integer) << k.text;
  }
  EXPECT_EQ(t.GetAsNumber(5, 9), 0.0);  // outside: an empty cell
}

// Short decimals have a reading of their own: it must give the very double
// the general conversion gives, and refuse what that refuses.
TEST(StringArrayNumbers, ShortDecimalsReadAsTheGeneralConversionDoes) {
  TStringArray t(nullptr);
  std::mt19937 rng(7);
  std::vector<std::string> texts = {"0", "-0", "+0", "-0,0", "007", "1.", ".5", "-.5", "+,25", "999999999999999",
                                    "9999999999999999", "0.000000000000001", "1234567.89012345", "0.1", "0,3"};
  for (int n = 0; n < 3000; ++n) {
    std::string x;
    if (rng() % 3 == 0) x += rng() % 2 ? '-' : '+';
    const int digits = 1 + static_cast<int>(rng() % 17);
    const int point = static_cast<int>(rng() % (digits + 2)) - 1;  // -1: none
    for (int d = 0; d < digits; ++d) {
      if (d == point) x += rng() % 2 ? '.' : ',';
      x += static_cast<char>('0' + rng() % 10);
    }
    if (point == digits) x += '.';
    texts.push_back(x);
  }
  for (const std::string& x : texts) {
    t.SetBytes(1, 1, x);
    std::string dotted = x;
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    const double want = StrToFloat(FromUtf8(dotted));
    const double got = t.GetAsNumber(1, 1);
    EXPECT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want)) << x;
  }
  for (const char* bad : {"+", "-", ".", ",", "1.2.3", "1,2.3", "1..2", "+-1", "1-", "1 2"}) {
    t.SetBytes(1, 1, bad);
    EXPECT_THROW(t.GetAsNumber(1, 1), EZELDStructError) << bad;
  }
}

TEST(StringArrayNumbers, InvalidTextNamesTheCell) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 6));
  const auto message = [&](int c, int r) {
    try {
      t.GetAsInteger(c, r);
    } catch (const EZELDStructError& e) {
      return e.Message();
    }
    return String(u"no exception");
  };
  t.SetBytes(2, 5, "12a");
  EXPECT_EQ(message(2, 5), u"Class TStringArray: invalid numeric string: [2,5]: 12a");
  t.SetBytes(1, 1, "  1x ");  // the message shows the untrimmed text
  EXPECT_EQ(message(1, 1), u"Class TStringArray: invalid numeric string: [1,1]:   1x ");
  for (const char* bad : {" 1 2", "1e", ".", "-", "inf", "NAN", "0x10", "$10", "1\t", "\t1", "1e999",
                          "1,5,0", "1-", "e5"}) {
    t.SetBytes(1, 1, bad);
    EXPECT_THROW(t.GetAsNumber(1, 1), EZELDStructError) << bad;
  }
}

TEST(StringArrayResize, RulesAndNotification) {
  TStringArray t(nullptr);
  ChangeCounter changes;
  changes.Attach(t);
  EXPECT_FALSE(t.Resize(0, 5));
  EXPECT_FALSE(t.Resize(3, -1));
  EXPECT_TRUE(t.Resize(1, 1));
  EXPECT_EQ(changes.count, 0);
  EXPECT_EQ(t.NrOfColumns(), 1);
  EXPECT_EQ(t.NrOfRows(), 1);

  t.SetNrRows(11);
  EXPECT_EQ(changes.count, 1);
  EXPECT_EQ(t.AllocatedRows(), 20);
  for (int r = 1; r <= 11; ++r) t.SetBytes(1, r, std::to_string(r));
  t.SetRowAttrib(5, 9);
  t.SetNrRows(3);
  EXPECT_EQ(t.AllocatedRows(), 20);
  t.SetNrRows(11);
  EXPECT_EQ(Column(t, 1), "1|2|3||||||||");
  EXPECT_EQ(t.GetRowAttrib(5), 0);

  // Changing the column count reallocates: cells and attributes that still
  // fit stay.
  t.SetColAttrib(1, 4);
  t.SetNrCols(3);
  EXPECT_EQ(t.NrOfColumns(), 3);
  EXPECT_EQ(Column(t, 1), "1|2|3||||||||");
  EXPECT_EQ(t.GetColAttrib(1), 4);
  EXPECT_EQ(t.GetColAttrib(3), 0);
  t.SetBytes(3, 2, "c3");
  t.SetNrCols(2);
  t.SetNrCols(3);
  EXPECT_EQ(Cell(t, 3, 2), "");
  // Shrinking rows with a column change empties the dropped rows too.
  ASSERT_TRUE(t.Resize(2, 2));
  ASSERT_TRUE(t.Resize(2, 4));
  EXPECT_EQ(Column(t, 1), "1|2||");
}

TEST(StringArrayResize, AllocRowsByGranule) {
  TStringArray t(nullptr);
  t.SetAllocRowsBy(0);
  EXPECT_EQ(t.AllocRowsBy(), 10);
  t.SetAllocRowsBy(-3);
  EXPECT_EQ(t.AllocRowsBy(), 10);
  EXPECT_TRUE(t.Resize(1, 25));
  EXPECT_EQ(t.AllocatedRows(), 30);
  t.SetAllocRowsBy(7);
  EXPECT_TRUE(t.Resize(2, 25));
  EXPECT_EQ(t.AllocatedRows(), 28);
  EXPECT_EQ(t.AddRow(), 26);
  EXPECT_EQ(t.AllocatedRows(), 28);
  // The granule would overflow the int range: refused like a failed
  // allocation (OnChange still fires, the size stays).
  ChangeCounter changes;
  changes.Attach(t);
  EXPECT_FALSE(t.Resize(2, 2147483647));
  EXPECT_EQ(changes.count, 1);
  EXPECT_EQ(t.NrOfRows(), 26);
}

TEST(StringArrayAttributes, RowsFollowTheirRows) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 3));
  ChangeCounter changes;
  changes.Attach(t);
  t.SetRowAttrib(1, 7);
  t.SetColAttrib(2, 3);
  t.SetRowAttrib(0, 1);
  t.SetRowAttrib(4, 1);
  t.SetColAttrib(0, 1);
  t.SetColAttrib(3, 1);
  EXPECT_EQ(changes.count, 2);
  EXPECT_EQ(t.GetRowAttrib(1), 7);
  EXPECT_EQ(t.GetColAttrib(2), 3);
  EXPECT_EQ(t.GetColAttrib(0), 0);
  EXPECT_EQ(t.GetRowAttrib(4), 0);
  for (int r = 1; r <= 3; ++r) t.SetBytes(1, r, std::string(1, static_cast<char>('d' - r)));
  t.Sort(1, 0, true);  // c, b, a -> the first row moves last
  EXPECT_EQ(t.GetRowAttrib(3), 7);
  EXPECT_EQ(t.GetRowAttrib(1), 0);
  t.Clear();
  t.UnSort();
  EXPECT_EQ(t.GetRowAttrib(1), 0);
  EXPECT_EQ(t.GetColAttrib(2), 0);
}

class StringArrayRows : public ::testing::Test {
 protected:
  // Rows a..e in column 1, their number in column 0, attribute = row.
  void SetUp() override {
    EXPECT_TRUE(t.Resize(2, 5));
    for (int r = 1; r <= 5; ++r) {
      t.SetBytes(0, r, std::to_string(r));
      t.SetBytes(1, r, std::string(1, static_cast<char>('a' + r - 1)));
      t.SetRowAttrib(r, static_cast<uint8_t>(r));
    }
  }
  std::string Attribs() {
    std::string out;
    for (int r = 1; r <= t.NrOfRows(); ++r) out += std::to_string(t.GetRowAttrib(r));
    return out;
  }
  TStringArray t{nullptr};
};

TEST_F(StringArrayRows, InsertAndRemove) {
  ChangeCounter changes;
  changes.Attach(t);
  t.InsertRow(2);
  EXPECT_EQ(Column(t, 1), "a||b|c|d|e");
  EXPECT_EQ(Column(t, 0), "1||2|3|4|5");
  EXPECT_EQ(Attribs(), "102345");
  // One resize, then 4 rows × (3 cells + 1 attribute) moved, then 3 cells
  // and the attribute of the new row.
  EXPECT_EQ(changes.count, 1 + 4 * 4 + 4);
  t.RemoveRow(1);
  EXPECT_EQ(Column(t, 1), "|b|c|d|e");
  EXPECT_EQ(Attribs(), "02345");
  t.InsertRow(0);
  t.InsertRow(6);  // appending is AddRow's job
  t.RemoveRow(6);
  EXPECT_EQ(t.NrOfRows(), 5);
  t.CopyRow(5, 1);
  EXPECT_EQ(Column(t, 1), "e|b|c|d|e");
  EXPECT_EQ(Attribs(), "52345");
  t.CopyRow(1, 9);
  EXPECT_EQ(Column(t, 1), "e|b|c|d|e");
}

TEST_F(StringArrayRows, InsertAndRemoveKeepAnUncommittedOrder) {
  t.Sort(1, 0, false);  // e d c b a
  ASSERT_EQ(Column(t, 1), "e|d|c|b|a");
  t.InsertRow(2);
  EXPECT_EQ(Column(t, 1), "e||d|c|b|a");
  EXPECT_EQ(Attribs(), "504321");
  t.InsertRow(6);
  EXPECT_EQ(Column(t, 1), "e||d|c|b||a");
  t.RemoveRow(4);
  EXPECT_EQ(Column(t, 1), "e||d|b||a");
  EXPECT_EQ(Column(t, 0), "5||4|2||1");
  EXPECT_EQ(Attribs(), "504201");
  t.RemoveRow(1);
  EXPECT_EQ(Column(t, 1), "|d|b||a");
  // The order is still uncommitted: the physical order differs.
  t.UnSort();
  EXPECT_EQ(Column(t, 1), "|a|b||d");
}

TEST_F(StringArrayRows, OnlyRowOrColumnIsEmptied) {
  TStringArray one(nullptr);
  one.SetBytes(0, 1, "k");
  one.SetBytes(1, 1, "v");
  one.SetRowAttrib(1, 5);
  one.SetColAttrib(1, 6);
  one.RemoveRow(1);
  EXPECT_EQ(one.NrOfRows(), 1);
  EXPECT_EQ(Cell(one, 0, 1), "");
  EXPECT_EQ(Cell(one, 1, 1), "");
  EXPECT_EQ(one.GetRowAttrib(1), 0);
  one.SetBytes(1, 1, "v");
  one.SetBytes(0, 1, "k");
  one.RemoveColumn(1);
  EXPECT_EQ(one.NrOfColumns(), 1);
  EXPECT_EQ(Cell(one, 1, 1), "");
  EXPECT_EQ(Cell(one, 0, 1), "k");
  EXPECT_EQ(one.GetColAttrib(1), 0);
}

TEST(StringArrayColumns, InsertAndRemove) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(3, 2));
  for (int c = 0; c <= 3; ++c) {
    for (int r = 1; r <= 2; ++r) t.SetBytes(c, r, std::to_string(c) + std::to_string(r));
  }
  for (int c = 1; c <= 3; ++c) t.SetColAttrib(c, static_cast<uint8_t>(c));
  ChangeCounter changes;
  changes.Attach(t);
  t.InsertColumn(2);
  EXPECT_EQ(t.NrOfColumns(), 4);
  EXPECT_EQ(Column(t, 0), "01|02");
  EXPECT_EQ(Column(t, 1), "11|12");
  EXPECT_EQ(Column(t, 2), "|");
  EXPECT_EQ(Column(t, 3), "21|22");
  EXPECT_EQ(Column(t, 4), "31|32");
  EXPECT_EQ(t.GetColAttrib(2), 0);
  EXPECT_EQ(t.GetColAttrib(3), 2);
  EXPECT_EQ(t.GetColAttrib(4), 3);
  EXPECT_EQ(changes.count, 1 + 2 * 3 + 3);  // resize, 2 columns moved, column 2 emptied
  t.InsertColumn(0);
  t.InsertColumn(5);
  EXPECT_EQ(t.NrOfColumns(), 4);
  t.RemoveColumn(1);
  EXPECT_EQ(t.NrOfColumns(), 3);
  EXPECT_EQ(Column(t, 0), "01|02");
  EXPECT_EQ(Column(t, 1), "|");
  EXPECT_EQ(Column(t, 2), "21|22");
  EXPECT_EQ(Column(t, 3), "31|32");
  EXPECT_EQ(t.GetColAttrib(3), 3);
  t.RemoveColumn(0);
  t.RemoveColumn(4);
  EXPECT_EQ(t.NrOfColumns(), 3);
}

TEST(StringArrayColumns, EmptinessTests) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 3));
  t.SetBytes(1, 2, "   ");
  t.SetBytes(0, 1, "label");
  EXPECT_TRUE(t.ColumnEmpty(1));
  EXPECT_FALSE(t.ColumnEmpty(0));
  EXPECT_TRUE(t.ColumnEmpty(5));
  EXPECT_TRUE(t.RowEmpty(1));  // column 0 is not looked at
  t.SetBytes(2, 1, " \t ");
  EXPECT_FALSE(t.RowEmpty(1));  // only code 32 counts as blank
  EXPECT_FALSE(t.ColumnEmpty(2));
  EXPECT_TRUE(t.RowEmpty(0));
}

TEST(StringArrayFill, FillAndClear) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 3));
  ChangeCounter changes;
  changes.Attach(t);
  t.Fill(ShortString::FromBytes("ab"));
  EXPECT_EQ(changes.count, 9);
  EXPECT_EQ(Column(t, 0), "ab|ab|ab");
  EXPECT_EQ(Column(t, 2), "ab|ab|ab");
  t.Fill(ShortString());
  EXPECT_EQ(changes.count, 9);  // Clear fires nothing
  EXPECT_EQ(Column(t, 2), "||");
  EXPECT_EQ(t.GetCellHandle(2, 3), 0u);
  EXPECT_EQ(t.NrOfRows(), 3);
}

TEST(StringArrayAssign, CopiesEverythingWithHandlers) {
  TStringArray src(nullptr);
  src.SetAllocRowsBy(4);
  ASSERT_TRUE(src.Resize(2, 6));
  for (int r = 1; r <= 6; ++r) src.SetBytes(1, r, std::string(1, static_cast<char>('a' + (r * 5) % 6)));
  src.SetBytes(0, 3, "zero");
  src.SetRowAttrib(2, 8);
  src.SetColAttrib(2, 9);
  int source_changes = 0, percent_calls = 0;
  src.SetOnChange([&](TObject*) { ++source_changes; });
  src.SetOnPercentDone([&](TObject*, int32_t) { ++percent_calls; });
  src.Sort(1, 0, true);  // uncommitted
  source_changes = 0;

  TStringArray copy(nullptr);
  copy.Assign(&src);
  EXPECT_EQ(source_changes, 0);
  EXPECT_EQ(copy.NrOfColumns(), 2);
  EXPECT_EQ(copy.NrOfRows(), 6);
  EXPECT_EQ(copy.AllocRowsBy(), 4);
  EXPECT_EQ(copy.AllocatedRows(), src.AllocatedRows());
  EXPECT_EQ(Column(copy, 1), Column(src, 1));
  EXPECT_EQ(Column(copy, 0), Column(src, 0));
  for (int r = 1; r <= 6; ++r) {
    EXPECT_EQ(copy.GetSortOrder(r), src.GetSortOrder(r));
    EXPECT_EQ(copy.GetRowAttrib(r), src.GetRowAttrib(r));
    EXPECT_EQ(copy.GetCellHandle(1, r), src.GetCellHandle(1, r));
  }
  EXPECT_EQ(copy.GetColAttrib(2), 9);
  EXPECT_EQ(copy.GetFirstFree(1), src.GetFirstFree(1));
  copy.SetBytes(1, 1, "new");  // the copy's OnChange is the source's handler
  EXPECT_EQ(source_changes, 1);
  EXPECT_EQ(src.GetBytes(1, 1), "a");  // the storage is the copy's own
  copy.Sort(1, 0, true);
  EXPECT_GT(percent_calls, 2);

  TComponent other(nullptr);
  EXPECT_THROW(copy.Assign(&other), EConvertError);
}

// Text goes in through SetString, which says whether the cell holds it
// exactly; bytes go in through SetBytes as they are.
TEST(StringArrayCells, TextWritesReportWhatCouldNotBeKept) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 2));
  EXPECT_TRUE(t.SetString(1, 1, u"Zürich"));
  EXPECT_EQ(Cell(t, 1, 1), "Z\xFCrich");
  EXPECT_FALSE(t.SetString(1, 2, u"Łódź"));
  EXPECT_EQ(t.GetString(1, 2).ToString(), u"?ód?");
  EXPECT_FALSE(t.SetString(2, 1, String(300, u'n')));
  EXPECT_EQ(Cell(t, 2, 1).size(), 255u);
  EXPECT_TRUE(t.SetString(9, 9, u"東京"));  // outside the table: nothing stored, nothing lost
  t.SetBytes(2, 2, "Z\xFCrich");
  EXPECT_EQ(t.GetString(2, 2).ToString(), u"Zürich");
}

// Row and column edits move handles: they leave the pools alone and give
// the same cells as moving the text would, on a model table.
TEST(StringArrayRowsAndColumns, EditsMatchAModelAndWriteNoText) {
  TStringArray t(nullptr);
  std::vector<std::vector<std::string>> model(4, std::vector<std::string>(4));  // [row][col 0..3]
  ASSERT_TRUE(t.Resize(3, 4));
  for (int r = 1; r <= 4; ++r) {
    for (int c = 0; c <= 3; ++c) {
      model[r - 1][c] = std::to_string(r) + "," + std::to_string(c);
      t.SetBytes(c, r, model[r - 1][c]);
    }
  }
  const int first_free = t.GetFirstFree(1);
  std::mt19937 rng(7);
  for (int step = 0; step < 300; ++step) {
    const int rows = static_cast<int>(model.size()), cols = static_cast<int>(model[0].size()) - 1;
    switch (rng() % 4) {
      case 0: {
        const int r = 1 + static_cast<int>(rng() % rows);
        t.InsertRow(r);
        model.insert(model.begin() + (r - 1), std::vector<std::string>(cols + 1));
        break;
      }
      case 1: {
        const int r = 1 + static_cast<int>(rng() % rows);
        t.RemoveRow(r);
        if (rows == 1) model[0].assign(cols + 1, "");
        else model.erase(model.begin() + (r - 1));
        break;
      }
      case 2: {
        if (cols >= 6) break;
        const int c = 1 + static_cast<int>(rng() % cols);
        t.InsertColumn(c);
        for (auto& row : model) row.insert(row.begin() + c, "");
        break;
      }
      default: {
        const int c = 1 + static_cast<int>(rng() % cols);
        t.RemoveColumn(c);
        for (auto& row : model) {
          if (cols == 1) row[1] = "";
          else row.erase(row.begin() + c);
        }
      }
    }
    ASSERT_EQ(t.NrOfRows(), static_cast<int>(model.size())) << step;
    ASSERT_EQ(t.NrOfColumns(), static_cast<int>(model[0].size()) - 1) << step;
    for (int r = 1; r <= t.NrOfRows(); ++r) {
      for (int c = 0; c <= t.NrOfColumns(); ++c) ASSERT_EQ(Cell(t, c, r), model[r - 1][c]) << step;
    }
  }
  EXPECT_EQ(t.GetFirstFree(1), first_free);  // no cell text was written again
}

TEST(StringArrayRowsAndColumns, RemovalsFireAsMovingEachCellWould) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(3, 5));
  ChangeCounter changes;
  changes.Attach(t);
  t.RemoveRow(2);  // rows 3..5 move up: 3 × (4 cells + 1 attribute), then the resize
  EXPECT_EQ(changes.count, 3 * 5 + 1);
  changes.count = 0;
  t.RemoveColumn(1);  // columns 2..3 move left: 2 × (4 rows + 1 attribute), then the resize
  EXPECT_EQ(changes.count, 2 * 5 + 1);
}

TEST(StringArrayStorage, OwnerDeletesTheTable) {
  TComponent owner(nullptr);
  auto* t = new TStringArray(&owner);
  t->SetBytes(1, 1, "owned");
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(t->ClassName(), u"TStringArray");
}

}  // namespace
}  // namespace zel
