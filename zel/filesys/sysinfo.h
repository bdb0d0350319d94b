// zel/filesys/sysinfo.h — what the host says about the machine: network
// adapter address, memory, file-system space, environment, the temporary
// and system directories, the program that opens a file type, and
// pronounceable random passwords.
//
//   zel::String mac;
//   zel::GetMacAddress(1, mac);            // 0, mac == u"02-FC-00-00-00-01"
//   uint64_t total, avail;
//   zel::GetMemoryStatus(total, avail);    // bytes
//   zel::GetEnviroVar(u"path");            // the value of PATH
//   zel::GetTempDir();                     // u"/tmp/"
//   zel::GetProgAssoc(u"txt");             // u"gedit %U", or empty
//   zel::InventPassword(8);                // u"bafo37kemu"-like: 6 letters, 2 digits
//   zel::InventPassword(10, true, true);   // mixed case, some of _!$%#= and digits
//
// On Linux:
//   * Adapters come from /sys/class/net.  Kind 1 (wired) is an Ethernet
//     interface without wireless/ (or phy80211); kind 2 (wireless) one with
//     it.  Interfaces backed by a device come before virtual ones (bridges,
//     veth, ifb, whose addresses are often random), each group in name
//     order; the first with a non-zero address wins.
//   * There are no drive letters: `DiskFreeExtended` gives -1,
//     `GetDiskDriveType` 1 ("no root directory") for 0..25 and 0 above,
//     `DiskIsReadOnly` true, and `BuildDriveList` an empty list.  Ask about
//     a path instead: `PathDiskFree`, `PathDiskSize`, `PathIsReadOnly`.
//   * `GetSystemDir` is "/usr/lib" (the system's libraries, as the system
//     directory holds them elsewhere) and `GetWindowsDir` "/usr" (where the
//     operating system is installed); neither ends with a separator.
//   * `GetProgAssoc` reads the freedesktop MIME database and mimeapps.list
//     and returns the Exec line of the default application's .desktop file.
//   * Passwords draw from the operating system's random source (getrandom),
//     never from the seeded generator of zel/platform/random.h, so seeding
//     that generator does not make them predictable.
#ifndef ZEL_FILESYS_SYSINFO_H_
#define ZEL_FILESYS_SYSINFO_H_

#include <cstdint>
#include <functional>
#include <string>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/stringlist.h"

namespace ZEL_EXPORT zel {

// The address text when no adapter was found.
inline constexpr Char kNoMacAddress[] = u"00-00-00-00-00-00";

// Sets `Address` to the hardware address of the first adapter of `Kind`
// (1 wired, 2 wireless) as upper-case hex pairs joined by '-', or leaves
// kNoMacAddress.  Returns 0 (also when none matched), -1 for another kind,
// -2 when the list cannot be held in memory, -3 when the host has no
// adapter list.  Other host errors raise `Exception` with the host's text.
int GetMacAddress(int Kind, String& Address);

// Total and available physical memory in bytes; false (both 0) when the
// host does not say.
bool GetMemoryStatus(uint64_t& TotalPhys, uint64_t& AvailPhys);

// Drive-letter functions: no drives exist on Linux (see above).
double DiskFreeExtended(uint8_t Drive);
int GetDiskDriveType(uint8_t Drive);
bool DiskIsReadOnly(uint8_t Drive);
void BuildDriveList(TStringList& List);

// The file system holding `Path`: free bytes (for an unprivileged user)
// and total bytes, -1 when it cannot be asked; whether it is mounted
// read-only (true when it cannot be asked).
double PathDiskFree(const String& Path);
double PathDiskSize(const String& Path);
bool PathIsReadOnly(const String& Path);

// The value of the last environment entry whose name equals `Name` without
// regard to case; empty when there is none.
String GetEnviroVar(StringView Name);

// $TMPDIR, else "/tmp/", always with a trailing '/'.
String GetTempDir();
String GetSystemDir();
String GetWindowsDir();

// The command line registered to open files with extension `Ext` (no
// dot); empty when there is none.
String GetProgAssoc(StringView Ext);

// A pronounceable password: `Length` clamped to 4..14, letters from
// alternating consonants and vowels (one vowel first for an odd length),
// and two digits after the sixth letter (at the end when shorter).
String InventPassword(int Length);
// The same, then each lower-case letter made upper case with probability
// 1/2 (`MixedCase`), then each position replaced with probability 1/5 by one
// of _ ! $ % # = or a digit (`SpecialChars`).
String InventPassword(int Length, bool MixedCase, bool SpecialChars);

}  // namespace zel

#endif  // ZEL_FILESYS_SYSINFO_H_
