// zel/internal/module.h — internal: the start and stop of the units.
//
// `StartUnits` runs from the module's load constructor and `StopUnits` from
// its unload destructor; applications never call them.  The step log lets
// a test (linked with the library's objects) observe the order.
#ifndef ZEL_INTERNAL_MODULE_H_
#define ZEL_INTERNAL_MODULE_H_

#include <string>
#include <vector>

#include "zel/platform/export.h"

namespace zel::detail {

void StartUnits();
void StopUnits();

// The steps that ran since the module was loaded, oldest first, as
// "start <unit>" / "stop <unit>".
std::vector<std::string> UnitStepLog();

}  // namespace zel::detail

#endif  // ZEL_INTERNAL_MODULE_H_
