// Fuzzes the readers of the freedesktop file-type associations on given
// texts: the globs2 reader, the key-file reader and the choice of the
// application (defaults, added and removed associations, caches, desktop
// files), checking what must hold for any input: a type found is one the
// globs name, a value has no line end and no blanks around it, and a
// command chosen is the Exec line of a desktop file that was offered.
//
// Input layout: NUL-separated parts: the extension, a globs2 text, then
// sources (a first byte '1' marks a mimeinfo.cache) and desktop files
// ("id\n" then the file) alternating with the sources by their first byte:
// a part starting with 'D' is a desktop file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "zel/platform/internal/hostassoc.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::vector<std::string> Parts(std::string_view data) {
  std::vector<std::string> parts;
  for (;;) {
    const size_t nul = data.find('\0');
    parts.emplace_back(data.substr(0, nul));
    if (nul == std::string_view::npos) return parts;
    data.remove_prefix(nul + 1);
  }
}

void CheckValue(const std::string& v) {
  Check(v.find('\n') == std::string::npos);
  Check(v.empty() || (v.front() != ' ' && v.front() != '\t' && v.back() != ' ' && v.back() != '\t' &&
                      v.back() != '\r'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  const std::vector<std::string> parts =
      Parts(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string ext = parts[0];
  const std::vector<std::string> globs(parts.begin() + (parts.size() > 1 ? 1 : 0),
                                       parts.begin() + (parts.size() > 1 ? 2 : 1));
  // The extension is a name the user gives; fnmatch patterns come from the
  // database, so their length is what a globs2 line holds.
  if (ext.size() > 64) return 0;
  const std::string type = zel::detail::MimeTypeFromGlobs(globs, ext);
  if (!type.empty()) {
    Check(type.find('\n') == std::string::npos && type.find(':') == std::string::npos);
    Check(globs[0].find(":" + type + ":") != std::string::npos);
  }

  std::vector<zel::detail::AssocSource> sources;
  std::map<std::string, std::string> desktops;
  for (size_t i = 2; i < parts.size(); ++i) {
    const std::string& p = parts[i];
    if (!p.empty() && p[0] == 'D') {
      const size_t nl = p.find('\n');
      if (nl != std::string::npos) desktops[p.substr(1, nl - 1)] = p.substr(nl + 1);
    } else {
      sources.push_back({p.empty() ? p : p.substr(1), !p.empty() && p[0] == '1'});
    }
  }
  for (const auto& src : sources) {
    for (const char* group : {"Default Applications", "Added Associations", "Removed Associations"}) {
      CheckValue(zel::detail::KeyFileValue(src.text, group, type.empty() ? "t" : type));
    }
  }
  int asked = 0;
  const auto desktop = [&](const std::string& id) {
    ++asked;
    Check(!id.empty() && id.find('/') == std::string::npos && id.find("..") == std::string::npos);
    const auto it = desktops.find(id);
    return it == desktops.end() ? std::string() : it->second;
  };
  for (const std::string& t : {type, std::string("t")}) {
    const std::string cmd = zel::detail::ChooseOpenCommand(t, sources, desktop);
    CheckValue(cmd);
    if (!cmd.empty()) {
      bool offered = false;
      for (const auto& [id, text] : desktops) {
        offered = offered || zel::detail::KeyFileValue(text, "Desktop Entry", "Exec") == cmd;
      }
      Check(offered);
    }
  }
  return 0;
}
