#include "zel/platform/hostpath.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/pathmodel.h"

namespace ZEL_EXPORT zel {

namespace ZEL_HIDDEN detail {

bool CurrentDirectoryBytes(std::string& Out) {
  Out.assign(4096, '\0');
  // A path longer than the buffer is ERANGE; 16 MiB is beyond any tree
  // the system can hold in memory for one path.
  while (::getcwd(Out.data(), Out.size()) == nullptr) {
    if (errno != ERANGE || Out.size() > (1u << 24)) return false;
    Out.resize(Out.size() * 2);
  }
  Out.resize(std::char_traits<char>::length(Out.c_str()));
  return true;
}

}  // namespace detail

String GetCurrentDir() {
  std::string dir;
  return detail::CurrentDirectoryBytes(dir) ? FileNameFromBytes(dir) : String(u"/");
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
