#include "zel/platform/hostpath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace zel
