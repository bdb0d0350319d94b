// A table of short strings: fill it, sort it by number, undo the sort.
// Rows count from 1; a cell holds up to 255 Windows-1252 characters.
#include <iostream>

#include "zel/zel.h"

namespace {
void Print(const zel::TStringArray& t) {
  for (int row = 1; row <= t.NrOfRows(); ++row) {
    std::cout << "  " << zel::ToUtf8(t.GetString(1, row).ToString()) << ' '
              << zel::ToUtf8(t.GetString(2, row).ToString()) << '\n';
  }
}
}  // namespace

int main() {
  zel::TStringArray t(nullptr);
  if (!t.Resize(2, 3)) return 1;  // false when memory runs out
  const char16_t* cities[] = {u"Zürich", u"Bern", u"Genève"};
  const char16_t* sizes[] = {u"402", u"134", u"203"};
  for (int row = 1; row <= 3; ++row) {
    t.SetString(1, row, cities[row - 1]);
    t.SetString(2, row, sizes[row - 1]);
  }
  t.Sort(2, 0, true, zel::skNumeric);
  std::cout << "by size:\n";
  Print(t);
  t.UnSort();
  std::cout << "as stored:\n";
  Print(t);
  // A character Windows-1252 lacks becomes '?', and the write says so.
  const bool exact = t.SetString(1, 1, u"Łódź");
  std::cout << "Łódź stored " << (exact ? "exactly" : "as ") << zel::ToUtf8(t.GetString(1, 1).ToString()) << '\n';
  std::cout << "outside the table: \"" << zel::ToUtf8(t.GetString(9, 9).ToString()) << "\"\n";
  return 0;
}
