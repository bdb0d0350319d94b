// zel/platform/internal/hostinfo.h — what the Linux host says about the
// machine: network adapters, memory, file-system space, the environment,
// the operating system's random source, and the freedesktop file-type
// associations.  The filesys unit's system-information functions are thin
// recipes over these.
//
//   std::vector<zel::detail::NetAdapter> list;
//   int err = zel::detail::ReadNetAdapters("/sys/class/net", list);
//   uint32_t die = zel::detail::SecureRandom(6);   // 0..5, from getrandom
#ifndef ZEL_PLATFORM_INTERNAL_HOSTINFO_H_
#define ZEL_PLATFORM_INTERNAL_HOSTINFO_H_

#include "zel/platform/export.h"

#include <cstdint>
#include <string>
#include <vector>

#include "zel/platform/string.h"

namespace zel::detail {

// One entry of the kernel's network interface list.
struct NetAdapter {
  std::string name;               // "eth0"
  int type = 0;                   // ARPHRD_... (1 = Ethernet, 772 = loopback)
  bool wireless = false;          // has wireless/ or phy80211
  bool physical = false;          // backed by a device (not a bridge, veth, ...)
  std::vector<uint8_t> address;   // hardware address, empty when unreadable
};

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

// Free bytes (for unprivileged users), total bytes and the read-only flag
// of the file system holding `path`.  False when it cannot be asked.
bool FileSystemSpace(const std::string& path, uint64_t& free_bytes, uint64_t& total_bytes,
                     bool& read_only);

// The environment block, one NAME=value entry each, in the host's order.
std::vector<String> EnvironmentEntries();

// A value of the host variable `name`, or `fallback` when unset or empty.
std::string HostVariable(const char* name, const std::string& fallback = {});

// A uniform whole number in [0, n) from the operating system's random
// source (getrandom); 0 when n is 0.  Aborts only if the kernel has no
// random source at all.
uint32_t SecureRandom(uint32_t n) noexcept;

// The command line (the Exec value of the default application's .desktop
// file) that opens files with the extension `ext` (no dot), through the
// freedesktop MIME database (mime/globs2 in the XDG data directories) and
// mimeapps.list (XDG config and data directories; "Default Applications",
// then "Added Associations" and each applications folder's mimeinfo.cache,
// without what "Removed Associations" removes; the rules and readers are in
// hostassoc.h).  Empty when the extension has no type or the type no
// installed application.
std::string OpenCommandForExtension(const std::string& ext);

// The MIME type the database gives `ext` (no dot), or empty.
std::string MimeTypeForExtension(const std::string& ext);

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_HOSTINFO_H_
