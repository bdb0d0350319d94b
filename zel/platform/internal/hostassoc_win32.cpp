// The Windows side of the file-type association
// (`OpenCommandForExtension`, zel/platform/internal/hostinfo.h): the
// registry's classes, as the classic recipe reads them.
#include <windows.h>

#include <string>

#include "zel/platform/internal/hostinfo.h"
#include "zel/platform/internal/wide_win32.h"

namespace zel::detail {
namespace {

// The default value of a key under HKEY_CLASSES_ROOT; false when the key
// does not exist.
bool ClassesDefault(const std::wstring& key, std::wstring& value) {
  DWORD bytes = 0;
  const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  LSTATUS rc = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, types, nullptr, nullptr, &bytes);
  if (rc == ERROR_FILE_NOT_FOUND) {
    // The key may exist with no default value: an empty one.
    HKEY h;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    value.clear();
    return true;
  }
  if (rc != ERROR_SUCCESS) return false;
  std::wstring buf(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  rc = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, types, nullptr, buf.data(), &bytes);
  if (rc != ERROR_SUCCESS) return false;
  buf.resize(wcsnlen(buf.c_str(), buf.size()));
  value = buf;
  return true;
}

}  // namespace

std::string OpenCommandForExtension(const std::string& ext) {
  const std::wstring dotted = L"." + Wide(FromUtf8(ext));
  std::wstring value;
  if (ClassesDefault(dotted + L"\\shell\\open\\command", value)) return ToUtf8(FromWide(value));
  std::wstring type;
  if (ClassesDefault(dotted, type) && !type.empty() &&
      ClassesDefault(type + L"\\shell\\open\\command", value)) {
    return ToUtf8(FromWide(value));
  }
  return std::string();
}

}  // namespace zel::detail
