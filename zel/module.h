// zel/module.h — start and stop of the library's units.
//
// The library is one loadable module made of nine units.  When it is loaded
// they start in the order of `kUnitNames`; when it is unloaded they stop in
// the reverse order.  A per-unit counter makes each step run at most once
// per load, however often the start or stop is entered.
//
// Applications never call these; `StartUnits` runs from the module's load
// constructor and `StopUnits` from its unload destructor.  They are public
// so that a test can observe the order through `UnitStepLog`.
#ifndef ZEL_MODULE_H_
#define ZEL_MODULE_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

inline constexpr std::array<std::string_view, 9> kUnitNames = {
    "univconst", "zelbase", "zelcolors", "stringl", "streams",
    "htmlsupport", "dstruct", "filesys", "cpuid"};

namespace detail {

void StartUnits();
void StopUnits();

// The steps that ran since the module was loaded, oldest first, as
// "start <unit>" / "stop <unit>".
std::vector<std::string> UnitStepLog();

}  // namespace detail
}  // namespace zel

#endif  // ZEL_MODULE_H_
