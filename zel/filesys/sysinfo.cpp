#include "zel/filesys/sysinfo.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

#include "zel/filesys/internal/sysinfo.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/hostinfo.h"
#include "zel/platform/syserror.h"
#include "zel/stringl/numscan.h"

namespace ZEL_EXPORT zel {
namespace ZEL_HIDDEN detail {

int GetMacAddressWith(const TAdapterLister& List, int Kind, String& Address) {
  Address = kNoMacAddress;
  if (Kind != 1 && Kind != 2) return -1;
  std::vector<NetAdapter> adapters;
  try {
    const int err = List(adapters);
    if (err == ENOENT || err == ENOTDIR) return -3;
    if (err != 0) throw Exception(SysErrorMessage(err));
  } catch (const std::bad_alloc&) {
    return -2;
  }
  if (adapters.empty()) return -3;
  constexpr int kEthernet = 1;  // ARPHRD_ETHER
  for (const NetAdapter& a : adapters) {
    if (a.type != kEthernet || a.wireless != (Kind == 2)) continue;
    if (std::all_of(a.address.begin(), a.address.end(), [](uint8_t b) { return b == 0; })) {
      continue;  // also skips an empty address
    }
    String text;
    for (size_t i = 0; i < a.address.size(); ++i) {
      if (i > 0) text += u'-';
      text += HexDigits(a.address[i], 2);
    }
    Address = text;
    break;
  }
  return 0;
}

}  // namespace detail

int GetMacAddress(int Kind, String& Address) {
  return detail::GetMacAddressWith(&detail::HostNetAdapters, Kind, Address);
}

bool GetMemoryStatus(uint64_t& TotalPhys, uint64_t& AvailPhys) {
  TotalPhys = AvailPhys = 0;
  uint64_t total = 0, avail = 0;
  if (!detail::HostMemoryStatus(total, avail)) return false;
  TotalPhys = total;
  AvailPhys = avail;
  return true;
}

double DiskFreeExtended(uint8_t Drive) { return Drive > 25 ? -1 : detail::HostDriveFree(Drive); }

int GetDiskDriveType(uint8_t Drive) { return Drive > 25 ? 0 : detail::HostDriveType(Drive); }

bool DiskIsReadOnly(uint8_t Drive) { return Drive > 25 || detail::HostDriveIsReadOnly(Drive); }

void BuildDriveList(TStringList& List) {
  List.Clear();
  const uint32_t mask = detail::HostDriveMask();
  for (int d = 0; d < 26; ++d) {
    if (mask & (uint32_t{1} << d)) List.Add(String{static_cast<Char>(u'A' + d), u':'});
  }
}

namespace {

struct Space {
  bool ok = false;
  uint64_t free = 0, total = 0;
  bool read_only = true;
};

Space AskSpace(const String& path) {
  Space s;
  s.ok = detail::FileSystemSpace(path, s.free, s.total, s.read_only);
  if (!s.ok) s.read_only = true;
  return s;
}

}  // namespace

double PathDiskFree(const String& Path) {
  const Space s = AskSpace(Path);
  return s.ok ? static_cast<double>(s.free) : -1;
}

double PathDiskSize(const String& Path) {
  const Space s = AskSpace(Path);
  return s.ok ? static_cast<double>(s.total) : -1;
}

bool PathIsReadOnly(const String& Path) { return AskSpace(Path).read_only; }

String GetEnviroVar(StringView Name) {
  String value;
  for (const String& entry : detail::EnvironmentEntries()) {
    if (entry.size() > Name.size() && entry[Name.size()] == u'=' &&
        AnsiSameText(StringView(entry).substr(0, Name.size()), Name)) {
      value = entry.substr(Name.size() + 1);
    }
  }
  return value;
}

String GetTempDir() { return detail::HostTempDir(); }

String GetSystemDir() { return detail::HostSystemDir(); }

String GetWindowsDir() { return detail::HostWindowsDir(); }

String GetProgAssoc(StringView Ext) {
  return FromUtf8(detail::OpenCommandForExtension(ToUtf8(Ext)));
}

namespace ZEL_HIDDEN detail {

String InventPasswordWith(int Length, bool MixedCase, bool SpecialChars,
                          const std::function<uint32_t(uint32_t)>& draw) {
  static constexpr Char kVowels[] = u"aeiouy";
  static constexpr Char kConsonants[] = u"bcdfghjklmnpqrstvwxz";
  static constexpr Char kSpecials[] = u"_!$%#=0123456789";  // 6 specials, 10 digits
  const int len = std::clamp(Length, 4, 14);
  String pw;
  if (len % 2 == 1) pw += kVowels[draw(6)];
  for (int i = 0; i < len / 2 - 1; ++i) {
    pw += kConsonants[draw(20)];
    pw += kVowels[draw(6)];
  }
  const uint32_t number = draw(100);
  const String digits{static_cast<Char>(u'0' + number / 10), static_cast<Char>(u'0' + number % 10)};
  pw.insert(std::min<size_t>(6, pw.size()), digits);
  if (MixedCase) {
    for (Char& c : pw) {
      if (c >= u'a' && c <= u'z' && draw(2) == 1) c = AsciiUpper(c);
    }
  }
  if (SpecialChars) {
    for (Char& c : pw) {
      if (draw(5) == 0) c = kSpecials[draw(16)];
    }
  }
  return pw;
}

}  // namespace detail

String InventPassword(int Length) { return InventPassword(Length, false, false); }

String InventPassword(int Length, bool MixedCase, bool SpecialChars) {
  return detail::InventPasswordWith(Length, MixedCase, SpecialChars, &detail::SecureRandom);
}

}  // namespace zel
