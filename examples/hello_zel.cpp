// A small program built against the installed package: it splits a line into
// fields, trims them, and reports a library error.
#include <iostream>

#include "zel/zel.h"

int main() {
  const zel::String line = zel::FromUtf8("name; größe; colour");
  zel::TOpenStringArray fields;
  const int n = zel::Tokenize(line, u";", fields);
  for (const zel::String& field : fields) {
    std::cout << '[' << zel::ToUtf8(zel::StripLTBlanks(field)) << "] ";
  }
  std::cout << "(" << n << " fields)\n";
  try {
    throw zel::EZELDStructError(u"example error");
  } catch (const zel::EZELError& e) {
    std::cout << "caught: " << e.what() << '\n';
  }
  return n == 3 ? 0 : 1;
}
