// zel/module.h — start and stop of the library's units.
//
// The library is one loadable module made of nine units.  When it is loaded
// they start in the order of `kUnitNames`; when it is unloaded they stop in
// the reverse order.  A per-unit counter makes each step run at most once
// per load, however often the start or stop is entered.
//
// The steps run from the module's load constructor and unload destructor
// (zel/module.cpp); applications never call them.
#ifndef ZEL_MODULE_H_
#define ZEL_MODULE_H_

#include <array>
#include <string_view>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

inline constexpr std::array<std::string_view, 9> kUnitNames = {
    "univconst", "zelbase", "zelcolors", "stringl", "streams",
    "htmlsupport", "dstruct", "filesys", "cpuid"};

}  // namespace zel

#endif  // ZEL_MODULE_H_
