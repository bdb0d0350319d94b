#include "zel/zelbase/progress.h"

#include <cstring>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

double ProcStat = 0;
double LastProcStat = 0;
int32_t AbortMathProc = 0;
FeedBackProcType MathFeedBackProc = nullptr;

namespace ZEL_HIDDEN detail {

// The unit's start step: both 32-bit halves of `ProcStat` become zero.
void StartZelbase() { std::memset(&ProcStat, 0, sizeof ProcStat); }

}  // namespace detail
}  // namespace zel
