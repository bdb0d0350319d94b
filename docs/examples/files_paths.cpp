// Taking paths apart (pure string functions, both separators) and asking
// the system about itself.
#include <cstdint>
#include <iostream>

#include "zel/zel.h"

int main() {
  for (const char16_t* path : {u"/home/ann/data.tar.gz", u"C:\\reports\\2026.txt", u"/tmp/run 12:30.log"}) {
    std::cout << zel::ToUtf8(path) << ": dir \"" << zel::ToUtf8(zel::ExtractFilePath(path)) << "\", name \""
              << zel::ToUtf8(zel::StripPath(path)) << "\", ext \"" << zel::ToUtf8(zel::ExtractFileExt(path))
              << "\"\n";
  }
  std::cout << zel::ToUtf8(zel::EnsureDefaultFileExt(u"report", u"txt")) << '\n';
  std::cout << zel::ToUtf8(zel::AbridgeFilePath(u"C:\\dir1\\dir2\\dir3\\file.txt", 20)) << '\n';

  // System information differs by machine: the program checks it, and
  // prints only what holds everywhere.
  uint64_t total = 0, avail = 0;
  const bool mem = zel::GetMemoryStatus(total, avail);
  std::cout << "memory status read: " << (mem && total > 0 && avail <= total ? "yes" : "no") << '\n';
  const zel::String password = zel::InventPassword(10);
  std::cout << "password of " << password.size() << " characters\n";
  return 0;
}
