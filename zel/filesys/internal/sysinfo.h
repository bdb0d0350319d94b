// zel/filesys/internal/sysinfo.h — the recipes behind `GetMacAddress` and
// `InventPassword` with their host sources made parameters, so that tests
// can give them an interface list of their own and scripted random draws.
//
//   zel::String mac;
//   zel::detail::GetMacAddressWith(
//       [](std::vector<zel::detail::NetAdapter>& list) { return MyList(list); }, 1, mac);
//   zel::detail::InventPasswordWith(8, false, false, [](uint32_t n) { return n - 1; });
#ifndef ZEL_FILESYS_INTERNAL_SYSINFO_H_
#define ZEL_FILESYS_INTERNAL_SYSINFO_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "zel/platform/internal/hostinfo.h"
#include "zel/platform/string.h"

namespace zel::detail {

// Fills the list of adapters; 0, or an errno (ENOENT or ENOTDIR: there is
// no list).
using TAdapterLister = std::function<int(std::vector<NetAdapter>&)>;

// `GetMacAddress` over the adapters `List` gives (normally
// `HostNetAdapters`).
int GetMacAddressWith(const TAdapterLister& List, int Kind, String& Address);

// `InventPassword` with the random draws supplied: `draw(n)` gives a value
// in [0, n).
String InventPasswordWith(int Length, bool MixedCase, bool SpecialChars,
                          const std::function<uint32_t(uint32_t)>& draw);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_SYSINFO_H_
