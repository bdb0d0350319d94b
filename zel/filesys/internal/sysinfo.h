// zel/filesys/internal/sysinfo.h — the recipes behind `GetMacAddress` and
// `InventPassword` with their host sources made parameters, so that tests
// can give them an interface list of their own and scripted random draws.
//
//   zel::String mac;
//   zel::detail::GetMacAddressFrom("/tmp/fake-net", 1, mac);
//   zel::detail::InventPasswordWith(8, false, false, [](uint32_t n) { return n - 1; });
#ifndef ZEL_FILESYS_INTERNAL_SYSINFO_H_
#define ZEL_FILESYS_INTERNAL_SYSINFO_H_

#include <cstdint>
#include <functional>
#include <string>

#include "zel/platform/string.h"

namespace zel::detail {

// `GetMacAddress` over the interface list folder `Root` (normally
// "/sys/class/net").
int GetMacAddressFrom(const std::string& Root, int Kind, String& Address);

// `InventPassword` with the random draws supplied: `draw(n)` gives a value
// in [0, n).
String InventPasswordWith(int Length, bool MixedCase, bool SpecialChars,
                          const std::function<uint32_t(uint32_t)>& draw);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_SYSINFO_H_
