#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "zel/dstruct/strarray.h"
#include "zel/platform/casemap.h"

namespace zel {
namespace {

std::string Column(const TStringArray& t, int c) {
  std::string out;
  for (int r = 1; r <= t.NrOfRows(); ++r) out += (r > 1 ? "|" : "") + std::string(t.GetBytes(c, r));
  return out;
}

void SetColumn(TStringArray& t, int c, const std::vector<std::string>& values) {
  if (t.NrOfRows() < static_cast<int>(values.size())) t.SetNrRows(static_cast<int>(values.size()));
  for (size_t i = 0; i < values.size(); ++i) t.SetBytes(c, static_cast<int>(i + 1), values[i]);
}

std::vector<int> SortOrder(const TStringArray& t) {
  std::vector<int> out;
  for (int r = 1; r <= t.NrOfRows(); ++r) out.push_back(t.GetSortOrder(r));
  return out;
}

// The comparison key of a cell as the sort defines it.
String Key(const TStringArray& t, int c, int r) { return LowerCase(t.GetString(c, r).ToString()); }

TEST(StringArraySort, AsciiCaseIgnoredBothDirections) {
  TStringArray t(nullptr);
  SetColumn(t, 1, {"b", "A", "c"});
  t.Sort(1, 0, true);
  EXPECT_EQ(Column(t, 1), "A|b|c");
  t.Sort(1, 0, false);
  EXPECT_EQ(Column(t, 1), "c|b|A");
}

TEST(StringArraySort, OrdinalUtf16Keys) {
  TStringArray t(nullptr);
  // 0x80 is the euro sign (U+20AC), above 0xFF (U+00FF); a proper prefix is
  // smaller; '_' (0x5F) lies between the upper- and lower-case letters.
  SetColumn(t, 1, {"\x80", "\xFF", "Z", "ab", "a", "_", "\xE4"});
  t.Sort(1, 0, true);
  EXPECT_EQ(Column(t, 1), "_|a|ab|Z|\xE4|\xFF|\x80");
}

TEST(StringArraySort, SecondaryColumnBreaksTies) {
  TStringArray t(nullptr);
  t.SetNrCols(2);
  SetColumn(t, 1, {"x", "y", "x", "X", "y"});
  SetColumn(t, 2, {"3", "2", "1", "2", "1"});
  t.Sort(1, 2, true);
  EXPECT_EQ(Column(t, 1) + " " + Column(t, 2), "x|X|x|y|y 1|2|3|1|2");
  t.Sort(1, 2, false);
  EXPECT_EQ(Column(t, 1) + " " + Column(t, 2), "y|y|x|X|x 2|1|3|2|1");
  // An out-of-range primary column: every primary key is equal, so the
  // secondary column decides alone.
  t.Sort(7, 2, true);
  EXPECT_EQ(Column(t, 2), "1|1|2|2|3");
}

TEST(StringArraySort, ProgressAndNotification) {
  TStringArray t(nullptr);
  std::vector<int> percent;
  int changes = 0;
  t.SetOnPercentDone([&](TObject* sender, int32_t p) {
    EXPECT_EQ(sender, &t);
    percent.push_back(p);
  });
  t.SetOnChange([&](TObject*) { ++changes; });
  t.Sort(1, 0, true);  // one row
  EXPECT_EQ(percent, (std::vector<int>{0, 100}));
  EXPECT_EQ(changes, 0);

  // Ten sorted rows: gaps 7, 5, 3, 2, 1 make 3, 5, 7, 8, 9 comparisons, the
  // gap-1 pass exchanges nothing; T = 3 + 5 + 7 + 8 + 9 + 10 = 42.
  t.SetNrRows(10);
  for (int r = 1; r <= 10; ++r) t.SetBytes(1, r, std::string(1, static_cast<char>('a' + r)));
  percent.clear();
  changes = 0;
  t.Sort(1, 0, true);
  EXPECT_EQ(percent, (std::vector<int>{0, 7, 19, 36, 55, 76, 100}));  // 3/42, 8/42, ...
  EXPECT_EQ(changes, 1);

  // This order needs three passes with gap 1 (9 comparisons each): the
  // reports go on past 100.
  const int order[] = {0, 1, 2, 5, 3, 6, 7, 8, 9, 4};
  for (int r = 1; r <= 10; ++r) t.SetBytes(1, r, std::string(1, static_cast<char>('a' + order[r - 1])));
  percent.clear();
  int key_reads = 0;
  t.SetOnBeforeSortExchange([&](TObject*, const String&, String&) { ++key_reads; });
  t.Sort(1, 0, true);
  EXPECT_EQ(Column(t, 1), "a|b|c|d|e|f|g|h|i|j");
  EXPECT_EQ(percent, (std::vector<int>{0, 7, 19, 36, 55, 76, 98, 119, 100}));
  EXPECT_EQ(key_reads, 2 * 50);  // all keys differ: two reads per comparison
}

TEST(StringArraySort, KeyHookRewritesKeys) {
  TStringArray t(nullptr);
  SetColumn(t, 1, {"10", "9", "100", "-"});
  t.SetOnBeforeSortExchange([](TObject*, const String& in, String& out) {
    EXPECT_EQ(out, in);  // starts as a copy
    out = String(8 - std::min<size_t>(in.size(), 8), u'0') + in;
  });
  t.Sort(1, 0, true);
  EXPECT_EQ(Column(t, 1), "-|9|10|100");
  // Equal keys with a secondary column: four key reads per comparison.
  TStringArray u(nullptr);
  u.SetNrCols(2);
  SetColumn(u, 1, {"a", "a"});
  SetColumn(u, 2, {"2", "1"});
  int reads = 0;
  u.SetOnBeforeSortExchange([&](TObject*, const String&, String&) { ++reads; });
  u.Sort(1, 2, true);
  EXPECT_EQ(Column(u, 2), "1|2");
  EXPECT_EQ(reads, 4 * 2);  // gap 1 twice: one exchange, then none
}

// Comparing straight from the pools must give the very permutation that
// converting every key (the path taken when a hook is assigned) gives,
// ties included.
TEST(StringArraySort, PoolKeysMatchStringKeys) {
  std::mt19937 rng(7);
  const std::string alphabet = std::string("aAbB_~ \x80\x8A\x9F\xA0\xE4\xC4\xFF") + '\0';
  for (int round = 0; round < 6; ++round) {
    TStringArray fast(nullptr), slow(nullptr);
    const int rows = 50 + round * 40;
    ASSERT_TRUE(fast.Resize(3, rows));
    for (int r = 1; r <= rows; ++r) {
      for (int c = 1; c <= 3; ++c) {
        std::string s = (r % 3 == 0) ? "common-prefix-" : "";  // keys longer than 8
        const int len = static_cast<int>(rng() % 4);
        for (int i = 0; i < len; ++i) s += alphabet[rng() % alphabet.size()];
        fast.SetBytes(c, r, s);
      }
    }
    slow.Assign(&fast);
    slow.SetOnBeforeSortExchange([](TObject*, const String&, String&) {});
    const bool ascending = round % 2 == 0;
    const int secondary = round % 3 == 0 ? 0 : 2;
    fast.Sort(1, secondary, ascending);
    slow.Sort(1, secondary, ascending);
    ASSERT_EQ(SortOrder(fast), SortOrder(slow)) << "round " << round;
    for (int r = 1; r < rows; ++r) {
      const String a = Key(fast, 1, r), b = Key(fast, 1, r + 1);
      EXPECT_TRUE(ascending ? a <= b : a >= b) << r;
      if (a == b && secondary > 0) {
        const String a2 = Key(fast, 2, r), b2 = Key(fast, 2, r + 1);
        EXPECT_TRUE(ascending ? a2 <= b2 : a2 >= b2) << r;
      }
    }
  }
}

// Numeric keys: numbers by value (as GetAsNumber reads them), before every
// cell that is no number, which sort as text; no key handler needed.  Each
// case sorts a fresh two-column table and shows one column.
TEST(StringArraySort, NumericKeys) {
  const std::vector<std::string> mixed = {"10", "9", "abc", " -2,5", "", "1e3", "Zed", "100", "3.0", "x1"};
  const std::vector<std::string> letters = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
  const std::vector<std::string> ties = {"2", "2.0", "1", "02"}, tie_breaks = {"10", "9", "5", "1"};
  // Negative values, tiny and huge ones; -0 equals 0, so the second column
  // decides between them.
  const std::vector<std::string> signs = {"0", "-1e300", "1e-300", "-0", "-2", "-10", "0,5", "-0,5", "1e300", "-1e-300"};
  const std::vector<std::string> zero_breaks = {"a", "x", "x", "b", "x", "x", "x", "x", "x", "x"};
  const struct {
    const std::vector<std::string>&col1, &col2;
    int second;
    bool ascending;
    TSortKey key;
    int shown;
    const char* want;
  } cases[] = {
      {mixed, letters, 0, true, skNumeric, 1, " -2,5||3.0|9|10|100|1e3|abc|x1|Zed"},
      {mixed, letters, 0, false, skNumeric, 1, "Zed|x1|abc|1e3|100|10|9|3.0|| -2,5"},
      {ties, tie_breaks, 2, true, skNumeric, 2, "5|1|9|10"},  // equal values: the second column
      {ties, tie_breaks, 0, true, skText, 1, "02|1|2|2.0"},   // skText is the classic sort
      {signs, zero_breaks, 2, true, skNumeric, 1, "-1e300|-10|-2|-0,5|-1e-300|0|-0|1e-300|0,5|1e300"},
      {signs, zero_breaks, 2, false, skNumeric, 1, "1e300|0,5|1e-300|-0|0|-1e-300|-0,5|-2|-10|-1e300"},
  };
  for (const auto& c : cases) {
    TStringArray t(nullptr);
    ASSERT_TRUE(t.Resize(2, 1));
    SetColumn(t, 1, c.col1);
    SetColumn(t, 2, c.col2);
    t.Sort(1, c.second, c.ascending, c.key);
    EXPECT_EQ(Column(t, c.shown), c.want);
  }
}

TEST(StringArraySort, UnSortCommitAndResize) {
  TStringArray t(nullptr);
  t.SetNrCols(2);
  SetColumn(t, 1, {"c", "a", "b"});
  SetColumn(t, 2, {"3", "1", "2"});
  t.SetRowAttrib(1, 30);
  t.Sort(1, 0, true);
  EXPECT_EQ(Column(t, 1), "a|b|c");
  EXPECT_EQ(t.GetSortOrder(1), 2);
  EXPECT_EQ(t.GetSortOrder(0), -1);
  EXPECT_EQ(t.GetSortOrder(4), -1);
  EXPECT_EQ(t.GetRowAttrib(3), 30);
  const uint32_t handle_c = t.GetCellHandle(1, 3);
  t.UnSort();
  EXPECT_EQ(Column(t, 1), "c|a|b");
  // Resizing drops an uncommitted order ...
  t.Sort(1, 0, true);
  t.SetNrRows(4);
  EXPECT_EQ(Column(t, 1), "c|a|b|");
  t.SetNrRows(3);
  // ... a committed one survives, and moved handles, not strings.
  t.Sort(1, 0, true);
  int changes = 0;
  t.SetOnChange([&](TObject*) { ++changes; });
  t.CommitSorting();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(t.GetSortOrder(1), 1);
  t.UnSort();
  EXPECT_EQ(Column(t, 1), "a|b|c");
  EXPECT_EQ(Column(t, 2), "1|2|3");
  EXPECT_EQ(t.GetRowAttrib(3), 30);
  EXPECT_EQ(t.GetCellHandle(1, 3), handle_c);
  t.SetNrRows(2);
  EXPECT_EQ(Column(t, 1), "a|b");
}

TEST(StringArraySort, SetSortOrderAndCommitOfARepeatedRow) {
  TStringArray t(nullptr);
  SetColumn(t, 1, {"one", "two", "three"});
  int changes = 0;
  t.SetOnChange([&](TObject*) { ++changes; });
  t.SetSortOrder(2, 1);  // row 1 shown twice
  t.SetSortOrder(0, 1);
  t.SetSortOrder(1, 4);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Column(t, 1), "one|one|three");
  t.CommitSorting();
  EXPECT_EQ(Column(t, 1), "one|one|three");
  // The two rows are separate cells now: an in-place write to one leaves
  // the other alone.
  t.SetBytes(1, 2, "uno");
  EXPECT_EQ(Column(t, 1), "one|uno|three");
  t.GarbageCollection();
  EXPECT_EQ(Column(t, 1), "one|uno|three");
}

TEST(StringArraySort, HookExceptionLeavesThePartialOrder) {
  TStringArray t(nullptr);
  SetColumn(t, 1, {"d", "c", "b", "a"});
  int reads = 0;
  t.SetOnBeforeSortExchange([&](TObject*, const String&, String&) {
    if (++reads == 3) throw std::runtime_error("stop");
  });
  EXPECT_THROW(t.Sort(1, 0, true), std::runtime_error);
  // Gap 3 exchanged rows 1 and 4; the exception came in the next pass.
  EXPECT_EQ(Column(t, 1), "a|c|b|d");
}

// A progress handler that rewrites the row index mid-sort (without a
// resize) does not end the sort: it goes on from the new index and still
// leaves every row in order.
TEST(StringArraySort, HandlerThatRewritesTheIndexStillGetsASortedTable) {
  for (const TSortKey key : {skText, skNumeric}) {
    for (const bool unsort : {true, false}) {
      TStringArray t(nullptr);
      std::vector<std::string> values;
      for (int r = 0; r < 200; ++r) {
        values.push_back(r % 3 == 0 ? std::to_string((r * 37) % 101 - 50)
                                    : std::string(1 + r % 11, static_cast<char>('a' + (r * 7) % 26)));
      }
      SetColumn(t, 1, values);
      int calls = 0;
      t.SetOnPercentDone([&](TObject*, int32_t) {
        if (++calls != 3) return;
        if (unsort) {
          t.UnSort();
        } else {
          for (int r = 1; r <= 100; ++r) t.SetSortOrder(r, 201 - r);  // rows shown twice, others not at all
        }
      });
      t.Sort(1, 0, true, key);
      const std::string got = Column(t, 1);
      // Sorted: sorting again (no handler now) moves nothing.
      t.SetOnPercentDone(nullptr);
      t.Sort(1, 0, true, key);
      EXPECT_EQ(Column(t, 1), got) << "key " << key << " unsort " << unsort;
      if (unsort) {
        TStringArray fresh(nullptr);
        SetColumn(fresh, 1, values);
        fresh.Sort(1, 0, true, key);
        EXPECT_EQ(got, Column(fresh, 1)) << "key " << key;
      }
    }
  }
}

// PrefetchRow is only a hint: any row number is accepted (the sanitizer
// build checks that nothing outside the index is read) and nothing changes.
TEST(StringArraySort, PrefetchRowIsAHintForAnyRow) {
  TStringArray t(nullptr);
  SetColumn(t, 1, {"c", "a", "b"});
  t.Sort(1, 0, true);
  for (const int r : {-1, 0, 1, 2, 3, 4, 1000}) t.PrefetchRow(r);
  EXPECT_EQ(Column(t, 1), "a|b|c");
}

// Handlers that resize or clear the table mid-sort end the sort; nothing
// reads storage that has gone (the sanitizer build checks that).
TEST(StringArraySort, HandlersThatChangeTheLayoutEndTheSort) {
  const auto fill = [](TStringArray& t) {
    ASSERT_TRUE(t.Resize(2, 60));
    for (int r = 1; r <= 60; ++r) t.SetBytes(1, r, std::string(1 + r % 7, static_cast<char>('z' - r % 26)));
  };
  TStringArray t(nullptr);
  fill(t);
  std::vector<int> percent;
  t.SetOnPercentDone([&](TObject*, int32_t p) {
    percent.push_back(p);
    if (percent.size() == 2) t.SetNrRows(3);
  });
  t.Sort(1, 0, true);
  EXPECT_EQ(t.NrOfRows(), 3);
  EXPECT_EQ(percent.size(), 3u);  // 0, the first pass, and 100
  EXPECT_EQ(percent.back(), 100);

  fill(t);
  t.SetOnPercentDone(nullptr);
  int reads = 0;
  t.SetOnBeforeSortExchange([&](TObject*, const String&, String&) {
    if (++reads == 5) t.Clear();
  });
  t.Sort(1, 0, true);
  EXPECT_EQ(reads, 6);  // the comparison that cleared the table still read its second key
  EXPECT_EQ(t.GetSortOrder(1), 1);
}

class StringArrayFind : public ::testing::Test {
 protected:
  void SetUp() override {
    EXPECT_TRUE(t.Resize(3, 4));
    t.SetBytes(0, 1, "row one");
    t.SetBytes(2, 1, "Apple");
    t.SetBytes(3, 2, "Banana");
    t.SetBytes(1, 3, "banana split");
    t.SetBytes(0, 4, "Banana");
  }
  TStringArray t{nullptr};
  int col = -5, row = -5;
};

TEST_F(StringArrayFind, SubstringAndExact) {
  EXPECT_TRUE(t.FindCell(u"an", true, 1, 3, -1, -1, col, row));
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 2);
  col = row = -5;
  EXPECT_FALSE(t.FindCellExact(u"an", true, 1, 3, -1, -1, col, row));
  EXPECT_EQ(col, -5);
  EXPECT_EQ(row, -5);
  EXPECT_FALSE(t.FindCell(u"BAN", true, -1, -1, -1, -1, col, row));
  EXPECT_TRUE(t.FindCell(u"BAN", false, -1, -1, -1, -1, col, row));
  EXPECT_EQ(col, 3);  // row 2 comes before the column-0 cell of row 4
  EXPECT_EQ(row, 2);
  EXPECT_TRUE(t.FindCellExact(u"banana", false, 0, 3, 3, 4, col, row));
  EXPECT_EQ(col, 0);
  EXPECT_EQ(row, 4);
  EXPECT_FALSE(t.FindCell(u"", false, -1, -1, -1, -1, col, row));
  EXPECT_TRUE(t.FindCellExact(u"", false, 1, 1, 1, 1, col, row));  // an empty cell
}

TEST_F(StringArrayFind, BoundsClampedAndSwapped) {
  EXPECT_TRUE(t.FindCell(u"one", true, -1, 3, -1, -1, col, row));  // ColLow -1: from column 0
  EXPECT_EQ(col, 0);
  EXPECT_FALSE(t.FindCell(u"one", true, 1, 3, -1, -1, col, row));
  EXPECT_TRUE(t.FindCell(u"split", true, 9, 1, 9, 3, col, row));  // clamped, swapped
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 3);
  // A single -1 row bound is clamped like any other value: rows 1..1.
  EXPECT_FALSE(t.FindCell(u"split", true, 0, 3, -1, 1, col, row));
}

TEST(StringArrayFindSorted, BinarySearch) {
  TStringArray t(nullptr);
  SetColumn(t, 1, {"", "", "b", "B", "b", "d", "f", "h"});
  int row = 0;
  EXPECT_TRUE(t.FindCellInSortedColumn(u"h", true, 1, -1, -1, true, row));
  EXPECT_EQ(row, 8);
  EXPECT_TRUE(t.FindCellInSortedColumn(u"b", false, 1, -1, -1, true, row));
  EXPECT_EQ(row, 3);  // the first of the run
  EXPECT_TRUE(t.FindCellInSortedColumn(u"f", true, 1, 7, 7, true, row));
  EXPECT_EQ(row, 7);
  EXPECT_TRUE(t.FindCellInSortedColumn(u"", true, 1, -1, -1, true, row));
  EXPECT_EQ(row, 1);
  EXPECT_FALSE(t.FindCellInSortedColumn(u"c", false, 1, -1, -1, true, row));
  EXPECT_FALSE(t.FindCellInSortedColumn(u"z", false, 1, -1, -1, true, row));
  // The walk to the start of the run may leave the range.
  EXPECT_TRUE(t.FindCellInSortedColumn(u"b", false, 1, 5, 8, true, row));
  EXPECT_EQ(row, 3);
  EXPECT_TRUE(t.FindCellInSortedColumn(u"d", false, 9, 8, 1, true, row));  // column clamped to 1
  EXPECT_EQ(row, 6);

  t.Sort(1, 0, false);
  EXPECT_EQ(Column(t, 1).substr(0, 5), "h|f|d");
  EXPECT_TRUE(t.FindCellInSortedColumn(u"d", false, 1, -1, -1, false, row));
  EXPECT_EQ(row, 3);
  EXPECT_TRUE(t.FindCellInSortedColumn(u"", false, 1, -1, -1, false, row));
  EXPECT_EQ(row, 7);
}

}  // namespace
}  // namespace zel

namespace zel {
namespace {

// Every cell of `t` beside the same cells of a copy made by Assign, which
// reads its rows through the index alone.
void ExpectSameAsIndexedCopy(const TStringArray& t, const std::string& step) {
  TStringArray copy(nullptr);
  copy.Assign(&t);
  ASSERT_EQ(copy.NrOfRows(), t.NrOfRows()) << step;
  ASSERT_EQ(copy.NrOfColumns(), t.NrOfColumns()) << step;
  ShortString into = ShortString::FromBytes("left over from before");
  for (int r = 1; r <= t.NrOfRows(); ++r) {
    for (int c = 0; c <= t.NrOfColumns(); ++c) {
      ASSERT_EQ(t.GetBytes(c, r), copy.GetBytes(c, r)) << step << " cell " << c << "," << r;
      ASSERT_EQ(t.GetCellHandle(c, r), copy.GetCellHandle(c, r)) << step;
      t.GetString(c, r, into);
      ASSERT_EQ(into, t.GetString(c, r)) << step;
    }
  }
}

// A sort keeps the handles in sorted order for its reads; every later
// change of cells, rows, columns or the index must show through it.
TEST(StringArraySort, ReadsAfterASortFollowEveryChange) {
  std::mt19937 rng(5);
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(3, 40));
  const auto word = [&] { return std::string(1 + rng() % 6, static_cast<char>('a' + rng() % 26)); };
  for (int r = 1; r <= 40; ++r) {
    for (int c = 0; c <= 3; ++c) t.SetBytes(c, r, word());
  }
  for (int step = 0; step < 300; ++step) {
    const int n = t.NrOfRows(), cols = t.NrOfColumns();
    const int r = 1 + static_cast<int>(rng() % static_cast<unsigned>(n));
    const int c = static_cast<int>(rng() % static_cast<unsigned>(cols + 1));
    const unsigned op = rng() % 12;
    switch (op) {
      case 0: case 1: t.Sort(1 + static_cast<int>(rng() % static_cast<unsigned>(cols)), 0, rng() % 2 == 0); break;
      case 2: t.SetBytes(c, r, word()); break;
      case 3: if (n < 60) t.InsertRow(r); break;
      case 4: if (n > 2) t.RemoveRow(r); break;
      case 5: if (cols < 5) t.InsertColumn(std::max(c, 1)); break;
      case 6: if (cols > 1) t.RemoveColumn(std::max(c, 1)); break;
      case 7: {  // exchange two index entries, keeping a permutation
        const int r2 = 1 + static_cast<int>(rng() % static_cast<unsigned>(n));
        const int a = t.GetSortOrder(r), b = t.GetSortOrder(r2);
        t.SetSortOrder(r, b);
        t.SetSortOrder(r2, a);
        break;
      }
      case 8: t.GarbageCollection(); break;
      case 9: rng() % 2 ? t.CommitSorting() : t.UnSort(); break;
      case 10: t.CopyRow(r, 1 + static_cast<int>(rng() % static_cast<unsigned>(n))); break;
      default: (void)t.Resize(cols, n + 1); break;
    }
    ExpectSameAsIndexedCopy(t, "step " + std::to_string(step) + " op " + std::to_string(op));
  }
}

// A change handler that sorts while a column is inserted (between the
// resize and the moving of the handles) leaves no stale sorted copy.
TEST(StringArraySort, HandlerThatSortsDuringAnInsertLeavesNoStaleReads) {
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 5));
  for (int r = 1; r <= 5; ++r) t.SetBytes(1, r, std::string(1, static_cast<char>('f' - r)));
  bool sorting = false;
  t.SetOnChange([&](TObject*) {
    if (sorting) return;
    sorting = true;
    t.Sort(1, 0, true);
    sorting = false;
  });
  t.InsertColumn(1);
  t.SetOnChange(nullptr);
  ExpectSameAsIndexedCopy(t, "after InsertColumn");
  t.RemoveRow(2);
  ExpectSameAsIndexedCopy(t, "after RemoveRow");
}

}  // namespace
}  // namespace zel
