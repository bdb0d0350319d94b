#include "zel/platform/hostpath.h"

#include <algorithm>
#include <string>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/pathmodel.h"

namespace ZEL_EXPORT zel {

String GetCurrentDir() {
  String dir;
  return detail::CurrentDirectory(dir) ? dir : String(u"/");
}

String FindStoredName(const String& Dir, const String& Name) {
  if (Name.empty()) return String();
  TFileInfo info;
  // Where the file system ignores case, a name found as given need not be
  // the name as stored; only the listing tells.
  if (!detail::kHostNamesIgnoreCase && Name != u"." && Name != u".." &&
      std::none_of(Name.begin(), Name.end(),
                   [](Char c) { return detail::IsPathSep(c, detail::kHostPath); }) &&
      GetFileInfo(HostJoin(Dir.empty() ? String(u".") : Dir, Name), info, false)) {
    return Name;
  }
  // The first by byte order of the names, as the host would sort them.
  TDirSearch search(Dir, u"*");
  std::string best;
  bool found = false;
  for (TSearchRec rec; search.Next(rec);) {
    if (!AnsiSameText(rec.Name, Name)) continue;
    if (rec.Name == Name) return Name;  // the exact name wins
    std::string entry = FileNameToBytes(rec.Name);
    if (!found || entry < best) best = std::move(entry);
    found = true;
  }
  return found ? FileNameFromBytes(best) : String();
}

}  // namespace zel
