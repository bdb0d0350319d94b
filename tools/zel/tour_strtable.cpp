// `zel tour` section for the string table: pooled cells, numeric views,
// sorting through the row index, searching, and the tagged-text file.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>

#include "tools/zel/cli.h"
#include "zel/dstruct/strarray.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/strip.h"

namespace zel::cli {
namespace {

std::string Rows(const TStringArray& t, int c) {
  std::string out;
  for (int r = 1; r <= t.NrOfRows(); ++r) out += (r > 1 ? ", " : "") + ToUtf8(t.GetString(c, r).ToString());
  return out;
}

void TourStringTable() {
  TourHeading("dstruct", "TStringArray: short strings in 32 KB pools, one handle per cell");
  TStringArray t(nullptr);
  if (!t.Resize(2, 4)) throw std::bad_alloc();
  const char* const fruit[] = {"pear", "Apple", "fig", "apricot"};
  const char* const price[] = {" 3,25 ", "1.5", "12", "2.5"};
  for (int r = 1; r <= 4; ++r) {
    t.SetBytes(1, r, fruit[r - 1]);
    t.SetBytes(2, r, price[r - 1]);
  }
  TourShow("GetCellHandle(1, 1) = pool 1 * 65536 + offset 1", t.GetCellHandle(1, 1));
  TourShow("GetCellHandle(1, 2) (after 'pear', ' 3,25 ': offset 13)", t.GetCellHandle(1, 2));
  TourShow("GetAsNumber(2, 1) of ' 3,25 '", t.GetAsNumber(2, 1));
  TourShow("GetAsInteger(2, 4) of '2.5' (halves to even)", t.GetAsInteger(2, 4));
  try {
    t.SetBytes(2, 3, "12a");
    t.GetAsNumber(2, 3);
  } catch (const EZELDStructError& e) {
    TourShow("GetAsNumber(2, 3) of '12a'", e.Message());
  }
  t.SetBytes(2, 3, "12");

  TourHeading("dstruct", "sorting permutes the row index; the cells stay where they are");
  int reports = 0;
  t.SetOnPercentDone([&](TObject*, int32_t) { ++reports; });
  t.Sort(1, 0, true);
  TourShow("Sort(1, 0, true), column 1 (ASCII case ignored)", Rows(t, 1));
  TourShow("  OnPercentDone calls", reports);
  TourShow("  SortOrder(1) (the physical row shown first)", t.GetSortOrder(1));
  // Keys are text; a hook that writes each number in a fixed-width field
  // makes the order numeric.
  t.SetOnBeforeSortExchange([](TObject*, const String& in, String& out) {
    String text = StripLTBlanks(in);
    std::replace(text.begin(), text.end(), u',', u'.');
    double v = 0;
    if (TryStrToFloat(text, v)) out = FloatToText(v, 16, 4);
  });
  t.Sort(2, 0, false);
  TourShow("Sort(2, 0, false), numbers padded by OnBeforeSortExchange", Rows(t, 2));
  t.UnSort();
  TourShow("UnSort, column 1", Rows(t, 1));
  int col = 0, row = 0;
  t.FindCell(u"PR", false, -1, -1, -1, -1, col, row);
  TourShow("FindCell(u\"PR\", MatchCase false) -> column, row",
           std::to_string(col) + ", " + std::to_string(row));

  TourHeading("dstruct", "saving a table as tagged text");
  t.SetBytes(1, 4, "a<b & \"c\"");
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("zel-tour-table-" + std::to_string(::getpid()) + ".xml")).string();
  t.SaveAsXMLFile(FromUtf8(path), u"fruit");
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int i = 0; std::getline(in, line); ++i) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (i >= 3 && i <= 6) TourShow("file line " + std::to_string(i + 1), line);
    if (line.find("col=1 row=4") != std::string::npos) TourShow("cell 1,4 in the file", line);
  }
  in.close();  // an open file cannot be removed on Windows
  TStringArray back(nullptr);
  TourShow("LoadFromXMLFile(..., u\"FRUIT\")", back.LoadFromXMLFile(FromUtf8(path), u"FRUIT"));
  TourShow("  cell 1,4 read back", back.GetString(1, 4).ToString());
  std::filesystem::remove(path);
}

const TourSection kStringTable(80, &TourStringTable);

}  // namespace
}  // namespace zel::cli
