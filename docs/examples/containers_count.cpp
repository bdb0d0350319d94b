// Counting words two ways, and a ring buffer of bytes.
#include <cstdint>
#include <iostream>

#include "zel/zel.h"

int main() {
  zel::TAssocArray a(nullptr);  // keys ignore case by default
  for (auto w : {u"To", u"be", u"or", u"not", u"to", u"be"}) a.Increment(w);
  std::cout << "to: " << a.ResolveAsInt(u"TO") << ", be: " << a.ResolveAsInt(u"be") << '\n';

  zel::TStringAccu words(nullptr);
  for (auto w : {u"to", u"be", u"or", u"not", u"to", u"be", u"to"}) words.Add(w);
  std::cout << "most frequent:";
  for (const auto& [word, count] : words.ByCount(2)) std::cout << ' ' << zel::ToUtf8(word) << '=' << count;
  std::cout << '\n';

  zel::TFifo fifo(nullptr);  // Size 256: holds up to 255 bytes
  for (uint8_t b = 1; b <= 3; ++b) fifo.PutByte(b);
  uint8_t b = 0;
  std::cout << "fifo:";
  while (fifo.GetByte(b)) std::cout << ' ' << int{b};
  std::cout << '\n';
  return 0;
}
