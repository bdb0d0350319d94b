// Strings are UTF-16; UTF-8 is for the edges (files, the console).
// Numbers are written and read the same in every locale.
#include <iostream>

#include "zel/zel.h"

int main() {
  const zel::String s = zel::FromUtf8("Grüße");
  std::cout << "characters: " << s.size() << ", UTF-8 bytes: " << zel::ToUtf8(s).size() << '\n';

  zel::ShortString cell;
  const bool exact = zel::TryToShortString(u"Łódź", cell);
  std::cout << "Windows-1252 cell: " << zel::ToUtf8(cell.ToString()) << (exact ? " (exact)" : " (not exact)")
            << '\n';

  std::cout << "FloatToStr(0.1) = " << zel::ToUtf8(zel::FloatToStr(0.1)) << '\n';
  std::cout << "StrToInt(\"$1F\") = " << zel::StrToInt(u"$1F") << '\n';
  try {
    zel::StrToInt(u"12a");
  } catch (const zel::EConvertError& e) {
    std::cout << "EConvertError: " << e.what() << '\n';
  }

  // A string list owns its strings; Sort orders them.
  zel::TStringList list;
  list.Add(u"pear");
  list.Add(u"apple");
  list.Sort();
  std::cout << "sorted: " << zel::ToUtf8(list.Strings(0)) << ", " << zel::ToUtf8(list.Strings(1)) << '\n';
  return 0;
}
