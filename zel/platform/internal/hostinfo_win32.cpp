// The Windows side of zel/platform/internal/hostinfo.h: the adapter list,
// the memory status, the drives, the system's directories, the environment
// block and BCryptGenRandom.
#include "zel/platform/internal/hostinfo.h"

#include <winsock2.h>
#include <windows.h>
#include <bcrypt.h>
#include <iphlpapi.h>

#include <cerrno>
#include <memory>
#include <new>

#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/internal/wide_win32.h"

namespace zel::detail {
namespace {

// The root of drive `drive` (0 = A): "A:\".
std::wstring DriveRoot(uint8_t drive) {
  return std::wstring{static_cast<wchar_t>(L'A' + drive), L':', L'\\'};
}

// A directory from one of the calls that fill a buffer and give the length
// (or the size they need).
template <class Call>
String AskDirectory(UINT limit, Call call) {
  std::wstring buf(limit, L'\0');
  const UINT n = call(buf.data(), limit);
  if (n == 0 || n >= limit) return String();
  buf.resize(n);
  return FromWide(buf);
}

}  // namespace

int HostNetAdapters(std::vector<NetAdapter>& adapters) {
  adapters.clear();
  // 15000 bytes first; when the host answers that this is too small, the
  // size it asks for, at most three calls in all.
  ULONG size = 15000;
  std::unique_ptr<unsigned char[]> buf;
  ULONG rc = ERROR_BUFFER_OVERFLOW;
  for (int call = 0; call < 3 && rc == ERROR_BUFFER_OVERFLOW; ++call) {
    buf.reset(new unsigned char[size]);
    rc = GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_ALL_INTERFACES, nullptr,
                              reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buf.get()), &size);
  }
  if (rc == ERROR_NO_DATA) return ENOENT;
  if (rc == ERROR_NOT_ENOUGH_MEMORY) throw std::bad_alloc();
  if (rc != NO_ERROR) throw Exception(WindowsErrorMessage(rc));
  for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buf.get()); a != nullptr; a = a->Next) {
    NetAdapter n;
    const String friendly = FromWide(a->FriendlyName);
    n.name = ToUtf8(friendly);
    const String lower = AnsiLowerCase(friendly);
    if (lower == u"ethernet" || lower == u"local area connection") {
      n.type = 1;
    } else if (lower == u"wifi" || lower == u"wireless network connection") {
      n.type = 1;
      n.wireless = true;
    }
    n.physical = true;
    n.address.assign(a->PhysicalAddress, a->PhysicalAddress + a->PhysicalAddressLength);
    adapters.push_back(std::move(n));
  }
  return 0;
}

bool HostMemoryStatus(uint64_t& total, uint64_t& available) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return false;
  total = status.ullTotalPhys;
  available = status.ullAvailPhys;
  return true;
}

double HostDriveFree(uint8_t drive) {
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
  if (!GetDiskFreeSpaceW(DriveRoot(drive).c_str(), &sectors_per_cluster, &bytes_per_sector,
                         &free_clusters, &clusters)) {
    return -1;
  }
  return static_cast<double>(sectors_per_cluster) * bytes_per_sector * free_clusters;
}

int HostDriveType(uint8_t drive) { return static_cast<int>(GetDriveTypeW(DriveRoot(drive).c_str())); }

bool HostDriveIsReadOnly(uint8_t drive) {
  std::wstring probe = DriveRoot(drive) + L"$%$LO%$.$$$";
  const HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;
  const bool closed = CloseHandle(h) != 0;
  return !(DeleteFileW(probe.c_str()) && closed);
}

uint32_t HostDriveMask() { return static_cast<uint32_t>(GetLogicalDrives()); }

String HostTempDir() {
  const String temp = AskDirectory(1024, [](wchar_t* b, UINT n) { return GetTempPathW(n, b); });
  if (temp.empty()) return temp;
  const std::wstring short_form = Wide(temp);
  const String long_form = AskDirectory(1024, [&](wchar_t* b, UINT n) {
    return GetLongPathNameW(short_form.c_str(), b, n);
  });
  return long_form.empty() ? temp : long_form;
}

String HostSystemDir() {
  return AskDirectory(2048, [](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); });
}

String HostWindowsDir() {
  return AskDirectory(2048, [](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); });
}

bool HostRandomBytes(void* out, size_t n) noexcept {
  auto* p = static_cast<unsigned char*>(out);
  while (n > 0) {
    const ULONG chunk = n > 0x10000000 ? 0x10000000 : static_cast<ULONG>(n);
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, p, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
      return false;
    }
    p += chunk;
    n -= chunk;
  }
  return true;
}

bool FileSystemSpace(const String& path, uint64_t& free_bytes, uint64_t& total_bytes,
                     bool& read_only) {
  const std::wstring p = Wide(path);
  ULARGE_INTEGER avail{}, total{};
  if (!GetDiskFreeSpaceExW(p.c_str(), &avail, &total, nullptr)) return false;
  free_bytes = avail.QuadPart;
  total_bytes = total.QuadPart;
  wchar_t volume[MAX_PATH + 1];
  DWORD flags = 0;
  read_only = GetVolumePathNameW(p.c_str(), volume, MAX_PATH + 1) &&
              GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
              (flags & FILE_READ_ONLY_VOLUME) != 0;
  return true;
}

std::vector<String> EnvironmentEntries() {
  std::vector<String> entries;
  wchar_t* block = GetEnvironmentStringsW();
  if (block == nullptr) return entries;
  for (const wchar_t* e = block; *e != L'\0';) {
    const std::wstring_view entry(e);
    entries.push_back(FromWide(entry));
    e += entry.size() + 1;
  }
  FreeEnvironmentStringsW(block);
  return entries;
}

std::string HostVariable(const char* name, const std::string& fallback) {
  const std::wstring wname = Wide(FromUtf8(name));
  const DWORD need = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (need <= 1) return fallback;
  std::wstring value(need, L'\0');
  const DWORD n = GetEnvironmentVariableW(wname.c_str(), value.data(), need);
  if (n == 0 || n >= need) return fallback;
  value.resize(n);
  return ToUtf8(FromWide(value));
}

}  // namespace zel::detail
