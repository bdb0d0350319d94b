// Checksums and codecs of bytes held anywhere.
#include <cstdio>
#include <iostream>

#include "zel/zel.h"

int main() {
  std::printf("CRC32(\"123456789\") = %08X\n", zel::CRC32("123456789"));
  std::printf("CRC16 CCITT = %04X\n", zel::CRC16("123456789", zel::crcCCITT));
  std::cout << "SHA1(\"abc\") = " << zel::ToUtf8(zel::SHA1DigestToHex(zel::SHA1("abc"))) << '\n';

  const std::string text = zel::ToBase64("Man is");
  std::cout << "Base64: " << text << '\n';
  if (auto bytes = zel::FromBase64(text)) std::cout << "back: " << *bytes << '\n';
  if (!zel::FromBase64("TWF")) std::cout << "\"TWF\" is not Base64: no bytes at all\n";
  std::cout << "ASCII85: " << zel::ToASCII85("sure.") << '\n';
  return 0;
}
