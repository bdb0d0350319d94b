// zel/platform/internal/filemask.h — the directory search's mask matching
// and the error code of zel/platform/hostfs.h, shared by the hosts' files
// (hostfs.cpp holds them; hostfs_posix.cpp and hostfs_win32.cpp use them).
//
//   std::string folded = zel::detail::FoldAscii("*.LOG");       // "*.log"
//   bool hit = zel::detail::MatchAsciiMask("app.log", folded);  // true
#ifndef ZEL_PLATFORM_INTERNAL_FILEMASK_H_
#define ZEL_PLATFORM_INTERNAL_FILEMASK_H_

#include <string>
#include <string_view>

namespace zel::detail {

// True when every byte is below 0x80.
bool IsAsciiText(std::string_view s) noexcept;

// `s` with A-Z lowered.
std::string FoldAscii(std::string_view s);

// `MatchesFileMask` for an ASCII name and a mask folded by `FoldAscii`:
// the same answer without the conversion to UTF-16.
bool MatchAsciiMask(std::string_view name, std::string_view folded_mask);

// Sets what `LastOSError()` gives on this thread.
void SetLastOSError(int err) noexcept;

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_FILEMASK_H_
