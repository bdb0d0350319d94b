// The Windows side of zel/platform/internal/processor.h: the performance
// counter as the raw clock, the processor count, and the guard's thread
// affinity and priority.
#include "zel/platform/internal/processor.h"

#include <windows.h>

#include <cstring>

namespace zel::detail {

static_assert(sizeof(DWORD_PTR) <= sizeof(MeasurementGuard::SavedMask),
              "the guard's saved mask holds a DWORD_PTR");

int64_t MonotonicRawNanoseconds() noexcept {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : int64_t{1};
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  // Whole seconds and the remainder apart, so the product cannot overflow.
  const int64_t secs = now.QuadPart / frequency;
  const int64_t rest = now.QuadPart % frequency;
  return secs * 1000000000 + rest * 1000000000 / frequency;
}

int OnlineProcessorCount() noexcept {
  const DWORD n = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return n < 1 ? 1 : static_cast<int>(n);
}

// The thread's priority stands in for the nice value: the guard raises it
// to THREAD_PRIORITY_HIGHEST, the highest ordinary level (never
// THREAD_PRIORITY_TIME_CRITICAL or a real-time process class).  OldNice()
// and NewNice() report the Windows priority levels.
MeasurementGuard::MeasurementGuard() noexcept {
  const HANDLE thread = GetCurrentThread();
  const DWORD cpu = GetCurrentProcessorNumber();
  if (cpu < sizeof(DWORD_PTR) * 8) {
    const DWORD_PTR old_mask = SetThreadAffinityMask(thread, DWORD_PTR{1} << cpu);
    if (old_mask != 0) {
      std::memcpy(old_mask_, &old_mask, sizeof old_mask);
      pinned_ = true;
    }
  }
  const int old_priority = GetThreadPriority(thread);
  old_nice_ = new_nice_ = old_priority == THREAD_PRIORITY_ERROR_RETURN ? 0 : old_priority;
  if (old_priority != THREAD_PRIORITY_ERROR_RETURN && old_priority < THREAD_PRIORITY_HIGHEST &&
      SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST)) {
    raised_ = true;
    new_nice_ = THREAD_PRIORITY_HIGHEST;
  }
}

MeasurementGuard::~MeasurementGuard() {
  const HANDLE thread = GetCurrentThread();
  if (raised_) SetThreadPriority(thread, old_nice_);
  if (pinned_) {
    DWORD_PTR old_mask;
    std::memcpy(&old_mask, old_mask_, sizeof old_mask);
    SetThreadAffinityMask(thread, old_mask);
  }
}

}  // namespace zel::detail
