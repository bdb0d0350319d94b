#include "zel/platform/hostpath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>

#include "zel/platform/casemap.h"

namespace zel {

String GetCurrentDir() {
  std::string buf(4096, '\0');
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return u"/";
    buf.resize(buf.size() * 2);
  }
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return FromUtf8(buf);
}

String FindStoredName(const String& Dir, const String& Name) {
  if (Name.empty()) return String();
  const std::string dir = Dir.empty() ? std::string(".") : ToUtf8(Dir);
  const std::string name = ToUtf8(Name);
  struct stat st;
  if (name != "." && name != ".." && name.find('/') == std::string::npos &&
      ::lstat((dir + "/" + name).c_str(), &st) == 0) {
    return Name;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), &::closedir);
  if (!d) return String();
  std::string best;
  bool found = false;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    if (!AnsiSameText(FromUtf8(entry), Name)) continue;
    if (!found || entry < best) best = entry;
    found = true;
  }
  return found ? FromUtf8(best) : String();
}

std::vector<THostDirEntry> ListDirEntries(const String& Dir) {
  std::vector<THostDirEntry> entries;
  const std::string dir = Dir.empty() ? std::string(".") : ToUtf8(Dir);
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), &::closedir);
  if (!d) return entries;
  std::vector<std::pair<std::string, THostDirEntry>> raw;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    THostDirEntry entry;
    unsigned char type = e->d_type;
    if (type == DT_UNKNOWN) {
      struct stat st;
      if (::lstat((dir + "/" + name).c_str(), &st) == 0) {
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
      }
    }
    entry.IsDir = type == DT_DIR;
    entry.IsLink = type == DT_LNK;
    if (entry.IsLink) {
      struct stat st;
      entry.LinksToDir = ::stat((dir + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entry.Name = FromUtf8(name);
    raw.emplace_back(name, std::move(entry));
  }
  std::sort(raw.begin(), raw.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& r : raw) entries.push_back(std::move(r.second));
  return entries;
}

}  // namespace zel
