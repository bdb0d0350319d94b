// zel/platform/internal/hostassoc.h — the readers behind the freedesktop
// file-type associations (`OpenCommandForExtension` in hostinfo.h), working
// on given texts, so that tests and fuzz targets can feed them directly.
//
//   std::string type = zel::detail::MimeTypeFromGlobs({globs2_text}, "txt");
//   std::string exec = zel::detail::KeyFileValue(desktop_text, "Desktop Entry", "Exec");
//
// The association rules (the mime-apps rules of freedesktop.org): the
// sources are visited in precedence order, most important first.  For the
// default application, each mimeapps.list's "Default Applications" entry
// for the type counts in turn, its ids tried in order; an id is taken when
// its desktop file is installed, not hidden, has an Exec line, and the
// association was not removed ("Removed Associations") by that list or a
// more important one.  Without a default, the associated applications
// count: the "Added Associations" of each list and each mimeinfo.cache, in
// precedence order, again without the ids removed so far (a list's own
// removals apply after its own additions, to the sources below it).
#ifndef ZEL_PLATFORM_INTERNAL_HOSTASSOC_H_
#define ZEL_PLATFORM_INTERNAL_HOSTASSOC_H_

#include "zel/platform/export.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zel::detail {

// The MIME type that globs2 texts (in precedence order; lines
// "weight:type:glob[:flags]") give the extension `ext` (no dot): the
// highest weight of a "*.pattern" glob that matches, ties to the earlier
// text and line; a glob matches without regard to ASCII case unless its
// flags hold "cs".  Empty when none matches.
std::string MimeTypeFromGlobs(std::span<const std::string> globs2, const std::string& ext);

// The value of `key` in group `group` of a desktop-style key file text
// (the first such line; blanks around key and value dropped; comments and
// other groups skipped).  Empty when absent.
std::string KeyFileValue(std::string_view text, std::string_view group,
                                    std::string_view key);

// One source of associations: a mimeapps.list text, or a mimeinfo.cache
// text (its "MIME Cache" group counts as added associations).
struct AssocSource {
  std::string text;
  bool is_cache = false;
};

// The Exec line of the application that opens `type` by the rules above,
// given the sources in precedence order and the text of the installed
// desktop file of an id ("" when not installed).  Empty when none.
std::string ChooseOpenCommand(const std::string& type, std::span<const AssocSource> sources,
                                         const std::function<std::string(const std::string& id)>& desktop);

// The XDG base directories, in precedence order: the user's own first, then
// the system's.  Relative paths in the variables are ignored, as the
// base-directory rules say; a list left empty by that takes the default.
std::vector<std::string> XdgDataDirs();
std::vector<std::string> XdgConfigDirs();

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_HOSTASSOC_H_
