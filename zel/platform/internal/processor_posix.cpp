// The POSIX side of zel/platform/internal/processor.h: the raw monotonic
// clock, the processor count, and the guard's affinity mask and nice value.
#include "zel/platform/internal/processor.h"

#include <errno.h>
#include <sched.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

namespace zel::detail {

static_assert(sizeof(cpu_set_t) <= sizeof(MeasurementGuard::SavedMask),
              "the guard's saved mask holds a cpu_set_t");

int64_t MonotonicRawNanoseconds() noexcept {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int OnlineProcessorCount() noexcept {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n < 1 ? 1 : static_cast<int>(n);
}

namespace {

// On Linux, PRIO_PROCESS with id 0 names the calling thread.
int CurrentNice() noexcept {
  errno = 0;
  const int n = getpriority(PRIO_PROCESS, 0);
  return errno == 0 ? n : 0;
}

}  // namespace

MeasurementGuard::MeasurementGuard() noexcept {
  cpu_set_t old_mask;
  CPU_ZERO(&old_mask);
  if (sched_getaffinity(0, sizeof old_mask, &old_mask) == 0) {
    std::memcpy(old_mask_, &old_mask, sizeof old_mask);
    const int cpu = sched_getcpu();
    if (cpu >= 0 && cpu < CPU_SETSIZE) {
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(cpu, &one);
      pinned_ = sched_setaffinity(0, sizeof one, &one) == 0;
    }
  }
  old_nice_ = new_nice_ = CurrentNice();
  // The lowest nice value the host permits: -20 with the capability,
  // otherwise what RLIMIT_NICE allows.  Try from the top down.
  for (int nice = -20; nice < old_nice_; ++nice) {
    if (setpriority(PRIO_PROCESS, 0, nice) == 0) {
      raised_ = true;
      new_nice_ = nice;
      break;
    }
  }
}

MeasurementGuard::~MeasurementGuard() {
  if (raised_) setpriority(PRIO_PROCESS, 0, old_nice_);
  if (pinned_) {
    cpu_set_t old_mask;
    std::memcpy(&old_mask, old_mask_, sizeof old_mask);
    sched_setaffinity(0, sizeof old_mask, &old_mask);
  }
}

}  // namespace zel::detail
