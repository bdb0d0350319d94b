// zel/platform/internal/wide_win32.h — `String` to and from the Windows
// wide-character calls, for the platform layer's Windows files only.
//
// A `String` is UTF-16 and so is a Windows name: both travel unchanged,
// unpaired surrogates included, so a name read from the system names the
// same file when it goes back.
//
//   const std::wstring path = zel::detail::Wide(u"C:\\data");
//   HANDLE h = CreateFileW(path.c_str(), ...);
//   zel::String back = zel::detail::FromWide(found.cFileName);
#ifndef ZEL_PLATFORM_INTERNAL_WIDE_WIN32_H_
#define ZEL_PLATFORM_INTERNAL_WIDE_WIN32_H_

#include <windows.h>
// The library has a function of this name; the macro would rename it.
#undef DeleteFile

#include <cerrno>
#include <string>
#include <string_view>

#include "zel/platform/string.h"

// "Another file stands in its place" (a directory swapped during a walk):
// the C runtime has no such code, so the one POSIX hosts use.
#ifndef ESTALE
#define ESTALE 116
#endif

namespace zel::detail {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring Wide(StringView s) { return std::wstring(s.begin(), s.end()); }

inline String FromWide(std::wstring_view s) { return String(s.begin(), s.end()); }

inline String FromWide(const wchar_t* s) { return s == nullptr ? String() : FromWide(std::wstring_view(s)); }

// The system's message for a Windows error code, in English where the
// system has it, without the trailing line end.
inline String WindowsErrorMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0,
      nullptr);
  String out = n > 0 ? FromWide(std::wstring_view(text, n)) : String();
  if (text != nullptr) LocalFree(text);
  while (!out.empty() && (out.back() == u'\r' || out.back() == u'\n' || out.back() == u' ')) {
    out.pop_back();
  }
  if (out.empty()) out = u"Windows error " + FromUtf8(std::to_string(code));
  return out;
}

// A Windows error code as the nearest errno value, for the functions that
// report errno (LastOSError, the status codes).
int ErrnoOfWindowsError(DWORD code) noexcept;

// `path` for the wide-character file calls: unchanged while it is short,
// made absolute and given the "\\?\" prefix when it is long, so paths of
// any length reach the file system.
std::wstring HostPathW(StringView path);

// Raises zel::Exception saying that `what` is not yet available on
// Windows: a function of the platform layer not yet ported fails loudly,
// never silently.
[[noreturn]] void NotOnThisHost(const char* what);

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_WIDE_WIN32_H_
