// A small program built against the installed package: it converts text
// between UTF-8 and the library's UTF-16 strings and reports a library error.
#include <iostream>

#include "zel/zel.h"

int main() {
  const zel::String text = zel::FromUtf8("Grüße aus zel");
  std::cout << zel::ToUtf8(text) << " (" << text.size() << " characters)\n";
  try {
    throw zel::EZELDStructError(u"example error");
  } catch (const zel::EZELError& e) {
    std::cout << "caught: " << e.what() << '\n';
  }
  return 0;
}
