// zel/platform/internal/hostinfo.h — what the host says about the machine:
// network adapters, memory, drives and file-system space, the environment,
// the system's directories, the operating system's random source, and the
// program associated with a file type.  The filesys unit's
// system-information functions are thin recipes over these.  Each host has
// its file: hostinfo_posix.cpp (Linux: sysfs, /proc, freedesktop) and
// hostinfo_win32.cpp (Windows: the calls of the same name).
//
//   std::vector<zel::detail::NetAdapter> list;
//   int err = zel::detail::HostNetAdapters(list);
//   uint32_t die = zel::detail::SecureRandom(6);   // 0..5
#ifndef ZEL_PLATFORM_INTERNAL_HOSTINFO_H_
#define ZEL_PLATFORM_INTERNAL_HOSTINFO_H_

#include "zel/platform/export.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zel/platform/string.h"

namespace zel::detail {

// One entry of the host's network interface list.
struct NetAdapter {
  std::string name;               // "eth0" (Windows: the friendly name, UTF-8)
  int type = 0;                   // ARPHRD_... (1 = Ethernet, 772 = loopback)
  bool wireless = false;          // has wireless/ or phy80211
  bool physical = false;          // backed by a device (not a bridge, veth, ...)
  std::vector<uint8_t> address;   // hardware address, empty when unreadable
};

// The host's interfaces in the order the MAC address recipe walks them.
// Linux: `ReadNetAdapters("/sys/class/net")`.  Windows: GetAdaptersAddresses
// in list order, an adapter whose lower-cased friendly name is "ethernet"
// or "local area connection" as a wired Ethernet one (type 1), "wifi" or
// "wireless network connection" as a wireless one, any other with type 0.
// Returns 0, ENOENT when the host reports no adapters, or the host's error
// (Windows raises zel::Exception with the host's message itself).  May
// raise std::bad_alloc.
int HostNetAdapters(std::vector<NetAdapter>& adapters);

// Total and available physical memory in bytes (Linux: /proc/meminfo
// through `ReadMemoryFigures`; Windows: GlobalMemoryStatusEx).
bool HostMemoryStatus(uint64_t& total, uint64_t& available);

// Drives by number (0 = A ... 25 = Z): the free bytes of the root (-1 on
// failure), the host's drive type code of the root, whether a file can be
// created there, and the mask of available drives (bit 0 = A).  Hosts
// without drive letters give -1, 1 (no root directory), true and 0.
double HostDriveFree(uint8_t drive);
int HostDriveType(uint8_t drive);
bool HostDriveIsReadOnly(uint8_t drive);
uint32_t HostDriveMask();

// The temporary directory with its trailing separator, the system
// directory and the installation (Windows) directory.
String HostTempDir();
String HostSystemDir();
String HostWindowsDir();

// Fills `out` with `n` bytes from the operating system's random source;
// false when the host has none.
bool HostRandomBytes(void* out, size_t n) noexcept;

#if !defined(_WIN32)
// The Linux readers behind the functions above, with their source files
// made parameters so tests can hand them trees of their own.

// Lists the interfaces under `root` (normally "/sys/class/net"), physical
// ones first, each group sorted by name, so the order is the same on every
// call and boot.  Returns 0, or the errno of listing `root` (ENOENT when
// there is no such directory).  May raise std::bad_alloc.
int ReadNetAdapters(const std::string& root, std::vector<NetAdapter>& adapters);

// Total and available physical memory in bytes from a meminfo file
// (normally "/proc/meminfo"; MemTotal and MemAvailable, or MemFree plus
// Buffers and Cached on kernels without MemAvailable).  False when the
// file cannot be read or has no MemTotal.
bool ReadMemoryFigures(const std::string& meminfo, uint64_t& total, uint64_t& available);
#endif

// Free bytes (for unprivileged users), total bytes and the read-only flag
// of the file system holding `path`.  False when it cannot be asked.
bool FileSystemSpace(const String& path, uint64_t& free_bytes, uint64_t& total_bytes,
                     bool& read_only);

// The environment block, one NAME=value entry each, in the host's order.
std::vector<String> EnvironmentEntries();

// A value of the host variable `name`, or `fallback` when unset or empty.
std::string HostVariable(const char* name, const std::string& fallback = {});

// A uniform whole number in [0, n) from the operating system's random
// source (`HostRandomBytes`); 0 when n is 0.  Aborts only if the host has
// no random source at all.
uint32_t SecureRandom(uint32_t n) noexcept;

// The command line that opens files with the extension `ext` (no dot).
// Windows: the registry's "shell\open\command" of the extension's key or
// of its file type under HKEY_CLASSES_ROOT.  Linux: the Exec value of the
// default application's .desktop file, through the
// freedesktop MIME database (mime/globs2 in the XDG data directories) and
// mimeapps.list (XDG config and data directories; "Default Applications",
// then "Added Associations" and each applications folder's mimeinfo.cache,
// without what "Removed Associations" removes; the rules and readers are in
// hostassoc.h).  Empty when the extension has no type or the type no
// installed application.
std::string OpenCommandForExtension(const std::string& ext);

#if !defined(_WIN32)
// The MIME type the database gives `ext` (no dot), or empty.
std::string MimeTypeForExtension(const std::string& ext);
#endif

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_HOSTINFO_H_
