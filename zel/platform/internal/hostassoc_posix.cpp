// File-type associations of a freedesktop desktop: the MIME type of an
// extension from the shared MIME database, its default application from
// mimeapps.list, and that application's command from its .desktop file.
// The readers work on texts (hostassoc.h); this file finds and reads the
// files for them.
#include "zel/platform/internal/hostassoc.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "zel/platform/internal/hostinfo.h"

namespace zel::detail {
namespace {

// The files read here are small; anything larger is not one of them.
constexpr off_t kMaxFileBytes = 16 << 20;

// Splits at `sep`, keeping empty fields when `keep_empty`.
std::vector<std::string> Split(std::string_view s, char sep, bool keep_empty) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = s.find(sep, start);
    const std::string_view part = s.substr(start, end == std::string_view::npos ? end : end - start);
    if (keep_empty || !part.empty()) parts.emplace_back(part);
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string_view Trim(std::string_view s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

// The whole text of a regular file, or "" (a missing file, a directory, a
// FIFO or device, which is never opened in a way that could block, or a
// file over the size limit).
std::string ReadSmallFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return {};
  std::string text;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileBytes) {
    char buf[8192];
    for (;;) {
      const ssize_t n = read(fd, buf, sizeof buf);
      if (n > 0) {
        text.append(buf, static_cast<size_t>(n));
        if (text.size() > static_cast<size_t>(kMaxFileBytes)) break;
      } else if (n == 0 || errno != EINTR) {
        break;
      }
    }
  }
  close(fd);
  return text;
}

// A desktop file id names a file in an applications folder, never a path.
bool IsPlainDesktopId(const std::string& id) {
  return !id.empty() && id.find('/') == std::string::npos && id.find("..") == std::string::npos;
}

// The desktop ids of a ';'-separated list, blanks dropped.
std::vector<std::string> DesktopIds(std::string_view list) {
  std::vector<std::string> ids;
  for (const std::string& raw : Split(list, ';', false)) {
    const std::string_view id = Trim(raw);
    if (!id.empty()) ids.emplace_back(id);
  }
  return ids;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// The .desktop file of a desktop file id in the applications folders: the
// id itself, or with its first '-' read as a folder ("kde4-x.desktop" may
// be kde4/x.desktop).
std::string FindDesktopFile(const std::string& id) {
  if (!IsPlainDesktopId(id)) return {};
  for (const std::string& dir : XdgDataDirs()) {
    const std::string apps = dir + "/applications/";
    std::string text = ReadSmallFile(apps + id);
    if (!text.empty()) return text;
    const size_t dash = id.find('-');
    if (dash != std::string::npos) {
      std::string nested = id;
      nested[dash] = '/';
      text = ReadSmallFile(apps + nested);
      if (!text.empty()) return text;
    }
  }
  return {};
}

// The association sources in the freedesktop lookup order: config folders
// before data folders; in each, desktop-specific lists before the generic
// one; a data folder's mimeinfo.cache after its lists.
std::vector<AssocSource> ReadAssocSources() {
  std::vector<std::string> desktops;
  for (std::string d : Split(HostVariable("XDG_CURRENT_DESKTOP"), ':', false)) {
    for (char& c : d) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    desktops.push_back(d);
  }
  std::vector<AssocSource> sources;
  auto add_folder = [&](const std::string& folder) {
    for (const std::string& d : desktops) {
      sources.push_back({ReadSmallFile(folder + "/" + d + "-mimeapps.list"), false});
    }
    sources.push_back({ReadSmallFile(folder + "/mimeapps.list"), false});
  };
  for (const std::string& dir : XdgConfigDirs()) add_folder(dir);
  for (const std::string& dir : XdgDataDirs()) {
    add_folder(dir + "/applications");
    sources.push_back({ReadSmallFile(dir + "/applications/mimeinfo.cache"), true});
  }
  return sources;
}

// The user's folder from `home_var` (or `home_default` below $HOME), then
// the absolute entries of `dirs_var` (or `dirs_default` when none).
std::vector<std::string> BaseDirs(const char* home_var, const char* home_default,
                                  const char* dirs_var, const char* dirs_default) {
  std::vector<std::string> dirs;
  std::string own = HostVariable(home_var);
  if (!IsAbsolute(own)) {
    const std::string home = HostVariable("HOME");
    own = IsAbsolute(home) ? home + home_default : std::string();
  }
  if (!own.empty()) dirs.push_back(own);
  const size_t first_system = dirs.size();
  for (const std::string& d : Split(HostVariable(dirs_var), ':', false)) {
    if (IsAbsolute(d)) dirs.push_back(d);
  }
  if (dirs.size() == first_system) {
    for (const std::string& d : Split(dirs_default, ':', false)) dirs.push_back(d);
  }
  return dirs;
}

}  // namespace

std::vector<std::string> XdgDataDirs() {
  return BaseDirs("XDG_DATA_HOME", "/.local/share", "XDG_DATA_DIRS", "/usr/local/share:/usr/share");
}

std::vector<std::string> XdgConfigDirs() {
  return BaseDirs("XDG_CONFIG_HOME", "/.config", "XDG_CONFIG_DIRS", "/etc/xdg");
}

std::string KeyFileValue(std::string_view text, std::string_view group, std::string_view key) {
  bool inside = false;
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    const std::string_view line = Trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inside = line.size() == group.size() + 2 && line.back() == ']' &&
               line.substr(1, group.size()) == group;
      continue;
    }
    if (!inside) continue;
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos && Trim(line.substr(0, eq)) == key) {
      return std::string(Trim(line.substr(eq + 1)));
    }
  }
  return {};
}

std::string MimeTypeFromGlobs(std::span<const std::string> globs2, const std::string& ext) {
  if (ext.empty()) return {};
  std::string best;
  long best_weight = -1;
  for (const std::string& text : globs2) {
    for (const std::string& raw : Split(text, '\n', false)) {
      if (raw[0] == '#') continue;
      // weight:type:glob[:flags]
      const std::vector<std::string> f = Split(raw, ':', true);
      if (f.size() < 3 || f[1].empty() || f[2].size() < 3 || f[2].compare(0, 2, "*.") != 0) continue;
      const bool case_sensitive = f.size() > 3 && f[3].find("cs") != std::string::npos;
      const std::string pattern = f[2].substr(2);
      if (fnmatch(pattern.c_str(), ext.c_str(), case_sensitive ? 0 : FNM_CASEFOLD) != 0) continue;
      const long weight = std::strtol(f[0].c_str(), nullptr, 10);
      if (weight > best_weight) {  // ties: the earlier folder, the earlier line
        best_weight = weight;
        best = f[1];
      }
    }
  }
  return best;
}

std::string ChooseOpenCommand(const std::string& type, std::span<const AssocSource> sources,
                              const std::function<std::string(const std::string& id)>& desktop) {
  if (type.empty()) return {};
  // The Exec line of an installed, visible application, or "".
  const auto command_of = [&](const std::string& id) -> std::string {
    if (!IsPlainDesktopId(id)) return {};
    const std::string text = desktop(id);
    if (text.empty() || KeyFileValue(text, "Desktop Entry", "Hidden") == "true") return {};
    return KeyFileValue(text, "Desktop Entry", "Exec");
  };
  const auto add_removed = [&](const AssocSource& src, std::vector<std::string>& removed) {
    if (src.is_cache) return;
    for (std::string& id : DesktopIds(KeyFileValue(src.text, "Removed Associations", type))) {
      removed.push_back(std::move(id));
    }
  };
  // The default application: the most important list that names one.
  std::vector<std::string> removed;
  for (const AssocSource& src : sources) {
    if (src.is_cache) continue;
    add_removed(src, removed);
    for (const std::string& id : DesktopIds(KeyFileValue(src.text, "Default Applications", type))) {
      if (Contains(removed, id)) continue;
      std::string cmd = command_of(id);
      if (!cmd.empty()) return cmd;
    }
  }
  // Else the first associated application.
  removed.clear();
  for (const AssocSource& src : sources) {
    const char* group = src.is_cache ? "MIME Cache" : "Added Associations";
    for (const std::string& id : DesktopIds(KeyFileValue(src.text, group, type))) {
      if (Contains(removed, id)) continue;
      std::string cmd = command_of(id);
      if (!cmd.empty()) return cmd;
    }
    add_removed(src, removed);
  }
  return {};
}

std::string MimeTypeForExtension(const std::string& ext) {
  if (ext.empty()) return {};
  std::vector<std::string> globs;
  for (const std::string& dir : XdgDataDirs()) globs.push_back(ReadSmallFile(dir + "/mime/globs2"));
  return MimeTypeFromGlobs(globs, ext);
}

std::string OpenCommandForExtension(const std::string& ext) {
  const std::string type = MimeTypeForExtension(ext);
  if (type.empty()) return {};
  return ChooseOpenCommand(type, ReadAssocSources(), FindDesktopFile);
}

}  // namespace zel::detail
