// zel/zelbase/progress.h — the process-wide progress-feedback variables.
//
// Long-running operations of client modules report progress through these
// and can be stopped through `AbortMathProc`.  The library itself only zeroes
// `ProcStat` when it is loaded; nothing inside it reads them.  They are shared
// by all threads without a lock: a client that runs long operations on
// several threads must arrange its own exclusion.
//
//   zel::MathFeedBackProc = [](double state) { ShowProgress(state); };
//   zel::ProcStat += 1;
//   if (zel::AbortMathProc) return;
#ifndef ZEL_ZELBASE_PROGRESS_H_
#define ZEL_ZELBASE_PROGRESS_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// Current and last reported progress state (64-bit floats, matching the
// `StateCnt` argument of `FeedBackProcType`).
extern double ProcStat;
extern double LastProcStat;
// Abort request: a 32-bit slot, non-zero means "abort".
extern int32_t AbortMathProc;
// The feedback procedure, or nullptr.
extern FeedBackProcType MathFeedBackProc;

static_assert(sizeof(ProcStat) == 8 && sizeof(LastProcStat) == 8);
static_assert(sizeof(AbortMathProc) == 4);

}  // namespace zel

#endif  // ZEL_ZELBASE_PROGRESS_H_
