// Splits a line into fields, finds text in it and matches a pattern.
// Positions count from 1; 0 means "not found".
#include <iostream>

#include "zel/zel.h"

int main() {
  const zel::String line = zel::FromUtf8("Zürich; 402 m; 1291");
  zel::TOpenStringArray fields;
  const int n = zel::Tokenize(line, u";", fields);
  std::cout << n << " fields:";
  for (const zel::String& field : fields) std::cout << " [" << zel::ToUtf8(zel::StripLTBlanks(field)) << ']';
  std::cout << '\n';

  // The second "o" of "foo boo", counting from 1.
  std::cout << "2nd 'o' at " << zel::NumberedPos(u"o", u"foo boo", 1, 2, false) << '\n';
  std::cout << "'x' at " << zel::NumberedPos(u"x", u"foo boo", 1, 1, false) << " (not found)\n";

  // TGrep: a compiled pattern; the match position and its end, from 1.
  zel::TGrep grep(nullptr);
  grep.SetRegExp(u"[0-9]+ m");
  int pos = 0;
  if (grep.MatchString(line, pos)) {
    std::cout << "match at " << grep.MatchStartPos() << ".." << grep.MatchEndPos() << '\n';
  }
  try {
    grep.SetRegExp(u"[-a]");  // '-' right after '[' is an error
  } catch (const zel::EZELError& e) {
    std::cout << "bad pattern: " << e.what() << '\n';
  }
  return 0;
}
