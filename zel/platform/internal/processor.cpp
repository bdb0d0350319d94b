#include "zel/platform/internal/processor.h"

#include <errno.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

namespace zel::detail {

bool CpuidAvailable() noexcept {
#if defined(__x86_64__)
  // Flip bit 21 of RFLAGS and see whether it stays flipped.  The pushes
  // step below the 128-byte red zone, which the compiler may be using.
  uint64_t before = 0, after = 0;
  __asm__ volatile(
      "sub $128, %%rsp\n\t"
      "pushfq\n\t"
      "pop %0\n\t"
      "mov %0, %1\n\t"
      "xor $0x200000, %1\n\t"
      "push %1\n\t"
      "popfq\n\t"
      "pushfq\n\t"
      "pop %1\n\t"
      "push %0\n\t"
      "popfq\n\t"
      "add $128, %%rsp"
      : "=&r"(before), "=&r"(after)
      :
      : "cc", "memory");
  return ((before ^ after) & 0x200000) != 0;
#elif defined(__i386__)
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

CpuidRegs ExecuteCpuid(uint32_t leaf, uint32_t subleaf) noexcept {
  CpuidRegs r;
#if defined(__x86_64__) || defined(__i386__)
  __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
#else
  (void)leaf;
  (void)subleaf;
#endif
  return r;
}

uint64_t ReadTimeStampCounter() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return 0;
#endif
}

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
  CPU_ZERO(&old_mask_);
  if (sched_getaffinity(0, sizeof old_mask_, &old_mask_) == 0) {
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
  if (pinned_) sched_setaffinity(0, sizeof old_mask_, &old_mask_);
}

}  // namespace zel::detail
