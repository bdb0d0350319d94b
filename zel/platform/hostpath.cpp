#include "zel/platform/hostpath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {

String GetCurrentDir() {
  std::string buf(4096, '\0');
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return u"/";
    buf.resize(buf.size() * 2);
  }
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return FileNameFromBytes(buf);
}

String FindStoredName(const String& Dir, const String& Name) {
  if (Name.empty()) return String();
  const std::string dir = Dir.empty() ? std::string(".") : FileNameToBytes(Dir);
  const std::string name = FileNameToBytes(Name);
  struct stat st;
  if (name != "." && name != ".." && name.find('/') == std::string::npos &&
      ::lstat((dir + "/" + name).c_str(), &st) == 0) {
    return Name;
  }
  // The first by byte order of the names, as the host would sort them.
  TDirSearch search(Dir, u"*");
  std::string best;
  bool found = false;
  for (TSearchRec rec; search.Next(rec);) {
    if (!AnsiSameText(rec.Name, Name)) continue;
    std::string entry = FileNameToBytes(rec.Name);
    if (!found || entry < best) best = std::move(entry);
    found = true;
  }
  return found ? FileNameFromBytes(best) : String();
}

}  // namespace zel
