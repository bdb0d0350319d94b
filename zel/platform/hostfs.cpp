// The host-neutral part of zel/platform/hostfs.h: mask matching, the
// error code, and path parts.  The host's calls are in hostfs_posix.cpp and
// hostfs_win32.cpp.
#include "zel/platform/hostfs.h"

#include <string_view>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/internal/filemask.h"
#include "zel/platform/internal/hostio.h"
#include "zel/platform/internal/pathmodel.h"

namespace ZEL_EXPORT zel {
namespace {

thread_local int last_error = 0;

// Wildcard match over any sequence of characters with a folding function:
// '*' any run, '?' one element.  Linear in practice (one backtrack point).
template <class C, class Fold>
bool WildMatch(std::basic_string_view<C> name, std::basic_string_view<C> mask, Fold fold) {
  size_t n = 0, m = 0, star = std::basic_string_view<C>::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == C('*')) {
      star = m++;
      resume = n;
    } else if (m < mask.size() && (mask[m] == C('?') || fold(mask[m]) == fold(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::basic_string_view<C>::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == C('*')) ++m;
  return m == mask.size();
}

template <class C, class Fold>
bool MaskMatch(std::basic_string_view<C> name, std::basic_string_view<C> mask, Fold fold) {
  if (mask.empty()) return false;
  if (WildMatch(name, mask, fold)) return true;
  // "x.*" also matches "x": the name without an extension.
  if (mask.size() >= 2 && mask[mask.size() - 2] == C('.') && mask.back() == C('*')) {
    return WildMatch(name, mask.substr(0, mask.size() - 2), fold);
  }
  return false;
}

char AsciiFold(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

namespace ZEL_HIDDEN detail {

bool IsAsciiText(std::string_view s) noexcept {
  for (const char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string FoldAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiFold(c);
  return out;
}

bool MatchAsciiMask(std::string_view name, std::string_view folded_mask) {
  return MaskMatch(name, folded_mask, AsciiFold);
}

void SetLastOSError(int err) noexcept { last_error = err; }

}  // namespace detail

int LastOSError() noexcept { return last_error; }

bool MatchesFileMask(StringView Name, StringView Mask) {
  return MaskMatch(Name, Mask, [](Char c) { return AnsiUpperChar(c); });
}

bool SameFile(StringView A, StringView B) {
  TFileInfo a, b;
  return GetFileInfo(A, a) && GetFileInfo(B, b) && a.Device == b.Device && a.Inode == b.Inode;
}

String HostDirPart(StringView Path) {
  return String(Path.substr(0, detail::DirPartLength(Path, detail::kHostPath)));
}

String HostNamePart(StringView Path) {
  return String(Path.substr(detail::DirPartLength(Path, detail::kHostPath)));
}

String HostJoin(StringView Dir, StringView Name) {
  String out(Dir);
  if (!out.empty() && !detail::IsPathSep(out.back(), detail::kHostPath)) {
    out += detail::kHostSeparator;
  }
  out += Name;
  return out;
}

// The descriptor's lifetime is the same on every host; opening, reading
// and writing are the host's (hostfs_posix.cpp, hostfs_win32.cpp).
THostFile::~THostFile() {
  if (fd_ >= 0) detail::CloseFd(fd_);
}

THostFile::THostFile(THostFile&& Other) noexcept : fd_(Other.fd_) { Other.fd_ = -1; }

THostFile& THostFile::operator=(THostFile&& Other) noexcept {
  if (this != &Other) {
    if (fd_ >= 0) detail::CloseFd(fd_);
    fd_ = Other.fd_;
    Other.fd_ = -1;
  }
  return *this;
}

}  // namespace zel
