// zel/platform/internal/pathmodel.h — the one lexical model of a path that
// the host functions (zel/platform/hostfs.h) and the pure path functions
// (zel/filesys/paths.h) share, so both split a path at the same places.
//
// A path is an optional drive prefix followed by names between separators.
// Two styles read it:
//   kHostPath      the host's own rule.  POSIX hosts: "/" separates; "\"
//                  and ":" are ordinary name characters ("/tmp/run
//                  12:30.log" is in /tmp/).  Windows: read as kPortablePath.
//   kPortablePath  "\" and "/" separate, and a letter followed by ":" at
//                  the very start is a drive prefix ("C:" of "C:data.txt");
//                  a ":" anywhere else is a name character.
//
//   DirPartLength(u"/tmp/run 12:30.log", kPortablePath) == 5    // "/tmp/"
//   DirPartLength(u"C:data.txt", kPortablePath)          == 2    // "C:"
//   DirPartLength(u"a\\b/c", kHostPath)                   == 4    // "a\b/"
//
// Making a path absolute and resolving "." and ".." is `ExpandFileName`
// (hostfs.h); the pure functions hand it their path with "\" read as "/".
#ifndef ZEL_PLATFORM_INTERNAL_PATHMODEL_H_
#define ZEL_PLATFORM_INTERNAL_PATHMODEL_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zel/platform/string.h"

namespace zel::detail {

enum PathStyle : uint8_t { kHostPath, kPortablePath };

// Whether the host's file systems find a name without regard to case
// (Windows), so that two spellings may name one file.
#if defined(_WIN32)
inline constexpr bool kHostHasDrives = true;
inline constexpr Char kHostSeparator = u'\\';
inline constexpr bool kHostNamesIgnoreCase = true;
#else
inline constexpr bool kHostHasDrives = false;
inline constexpr Char kHostSeparator = u'/';
inline constexpr bool kHostNamesIgnoreCase = false;
#endif

constexpr bool IsPathSep(Char C, PathStyle Style) noexcept {
  return C == u'/' || ((Style == kPortablePath || kHostHasDrives) && C == u'\\');
}

// 2 when `Path` begins with a drive prefix (an ASCII letter and ":") in the
// portable style, else 0.
constexpr size_t DrivePrefixLength(StringView Path, PathStyle Style) noexcept {
  if ((Style != kPortablePath && !kHostHasDrives) || Path.size() < 2 || Path[1] != u':') return 0;
  const Char c = Path[0];
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ? 2 : 0;
}

// Length of the directory part: up to and including the last separator,
// else the drive prefix, else 0.
constexpr size_t DirPartLength(StringView Path, PathStyle Style) noexcept {
  size_t i = Path.size();
  while (i > 0 && !IsPathSep(Path[i - 1], Style)) --i;
  return i > 0 ? i : DrivePrefixLength(Path, Style);
}

// The names of `Path` between its separators, empty ones (of "//" or a
// leading or trailing separator) dropped; the drive prefix is no name of
// its own here.
inline std::vector<String> SplitPathNames(StringView Path, PathStyle Style) {
  std::vector<String> names;
  size_t start = 0;
  for (size_t i = 0; i <= Path.size(); ++i) {
    if (i == Path.size() || IsPathSep(Path[i], Style)) {
      if (i > start) names.emplace_back(Path.substr(start, i - start));
      start = i + 1;
    }
  }
  return names;
}

// The current directory's path as the system gives it, however long (a
// directory deeper than PATH_MAX too).  False with errno set when it has
// none (removed meanwhile) or it cannot be read.
bool CurrentDirectory(String& Out);

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_PATHMODEL_H_
