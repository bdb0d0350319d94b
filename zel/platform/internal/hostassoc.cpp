// File-type associations of a freedesktop desktop: the MIME type of an
// extension from the shared MIME database, its default application from
// mimeapps.list, and that application's command from its .desktop file.
#include <fnmatch.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "zel/platform/internal/hostinfo.h"

namespace zel::detail {
namespace {

std::vector<std::string> SplitList(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = s.find(sep, start);
    const std::string part = s.substr(start, end == std::string::npos ? end : end - start);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

std::string Home() { return HostVariable("HOME"); }

// $XDG_DATA_HOME, then $XDG_DATA_DIRS, in precedence order.
std::vector<std::string> DataDirs() {
  std::vector<std::string> dirs{HostVariable("XDG_DATA_HOME", Home() + "/.local/share")};
  for (const std::string& d :
       SplitList(HostVariable("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':')) {
    dirs.push_back(d);
  }
  return dirs;
}

// $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS, in precedence order.
std::vector<std::string> ConfigDirs() {
  std::vector<std::string> dirs{HostVariable("XDG_CONFIG_HOME", Home() + "/.config")};
  for (const std::string& d : SplitList(HostVariable("XDG_CONFIG_DIRS", "/etc/xdg"), ':')) {
    dirs.push_back(d);
  }
  return dirs;
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The value of `key` in section `section` of a desktop-style key file.
std::string KeyFileValue(const std::string& path, const std::string& section,
                         const std::string& key) {
  std::ifstream in(path);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    if (!inside) continue;
    const size_t eq = line.find('=');
    if (eq != std::string::npos && Trim(line.substr(0, eq)) == key) {
      return Trim(line.substr(eq + 1));
    }
  }
  return {};
}

// The .desktop file of a desktop file id in the applications folders: the
// id itself, or with its first '-' read as a folder ("kde4-x.desktop" may
// be kde4/x.desktop).
std::string FindDesktopFile(const std::string& id) {
  if (id.find('/') != std::string::npos || id.find("..") != std::string::npos) return {};
  for (const std::string& dir : DataDirs()) {
    const std::string apps = dir + "/applications/";
    if (IsFile(apps + id)) return apps + id;
    const size_t dash = id.find('-');
    if (dash != std::string::npos) {
      std::string nested = id;
      nested[dash] = '/';
      if (IsFile(apps + nested)) return apps + nested;
    }
  }
  return {};
}

// The Exec line of the first installed application of a ';'-separated id
// list, or empty.
std::string FirstInstalledCommand(const std::string& ids) {
  for (const std::string& raw : SplitList(ids, ';')) {
    const std::string id = Trim(raw);
    const std::string file = FindDesktopFile(id);
    if (file.empty()) continue;
    if (KeyFileValue(file, "Desktop Entry", "Hidden") == "true") continue;
    const std::string exec = KeyFileValue(file, "Desktop Entry", "Exec");
    if (!exec.empty()) return exec;
  }
  return {};
}

// mimeapps.list files in the freedesktop lookup order:
// desktop-specific before generic, config folders before data folders.
std::vector<std::string> MimeAppsLists() {
  std::vector<std::string> desktops;
  for (std::string d : SplitList(HostVariable("XDG_CURRENT_DESKTOP"), ':')) {
    for (char& c : d) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    desktops.push_back(d);
  }
  std::vector<std::string> files;
  auto add_folder = [&](const std::string& folder) {
    for (const std::string& d : desktops) files.push_back(folder + "/" + d + "-mimeapps.list");
    files.push_back(folder + "/mimeapps.list");
  };
  for (const std::string& dir : ConfigDirs()) add_folder(dir);
  for (const std::string& dir : DataDirs()) add_folder(dir + "/applications");
  return files;
}

}  // namespace

std::string MimeTypeForExtension(const std::string& ext) {
  if (ext.empty()) return {};
  std::string best;
  int best_weight = -1;
  for (const std::string& dir : DataDirs()) {
    std::ifstream in(dir + "/mime/globs2");
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      // weight:type:glob[:flags]
      const std::vector<std::string> f = SplitList(line, ':');
      if (f.size() < 3 || f[2].size() < 3 || f[2].compare(0, 2, "*.") != 0) continue;
      const bool case_sensitive = f.size() > 3 && f[3].find("cs") != std::string::npos;
      const std::string pattern = f[2].substr(2);
      if (fnmatch(pattern.c_str(), ext.c_str(), case_sensitive ? 0 : FNM_CASEFOLD) != 0) {
        continue;
      }
      const int weight = std::atoi(f[0].c_str());
      if (weight > best_weight) {  // ties: the earlier folder, the earlier line
        best_weight = weight;
        best = f[1];
      }
    }
  }
  return best;
}

std::string OpenCommandForExtension(const std::string& ext) {
  const std::string type = MimeTypeForExtension(ext);
  if (type.empty()) return {};
  const std::vector<std::string> lists = MimeAppsLists();
  for (const char* section : {"Default Applications", "Added Associations"}) {
    for (const std::string& list : lists) {
      const std::string cmd = FirstInstalledCommand(KeyFileValue(list, section, type));
      if (!cmd.empty()) return cmd;
    }
  }
  for (const std::string& dir : DataDirs()) {
    const std::string cmd = FirstInstalledCommand(
        KeyFileValue(dir + "/applications/mimeinfo.cache", "MIME Cache", type));
    if (!cmd.empty()) return cmd;
  }
  return {};
}

}  // namespace zel::detail
