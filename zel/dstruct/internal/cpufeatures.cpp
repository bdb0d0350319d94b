#include "zel/dstruct/internal/cpufeatures.h"

#include <atomic>

#include "zel/platform/internal/processor.h"

namespace zel::detail {
namespace {

std::atomic<bool> g_force_portable{false};

struct Features {
  bool clmul = false;
  bool sha = false;
};

// Asks CPUID itself (through the platform layer): not every compiler's
// __builtin_cpu_supports knows the SHA extensions.
Features Detect() noexcept {
  Features f;
  if (!CpuidAvailable()) return f;
  const uint32_t max_leaf = ExecuteCpuid(0).eax;
  if (max_leaf < 1) return f;
  const uint32_t c = ExecuteCpuid(1).ecx;
  const bool ssse3 = (c >> 9) & 1, sse41 = (c >> 19) & 1, pclmul = (c >> 1) & 1;
  f.clmul = pclmul && sse41;
  if (max_leaf >= 7) f.sha = ((ExecuteCpuid(7, 0).ebx >> 29) & 1) && ssse3 && sse41;
  return f;
}

const Features& Cpu() noexcept {
  static const Features f = Detect();
  return f;
}

}  // namespace

bool CpuHasClmul() noexcept { return Cpu().clmul; }

bool CpuHasShaNi() noexcept { return Cpu().sha; }

bool UseClmul() noexcept {
  return CpuHasClmul() && !g_force_portable.load(std::memory_order_relaxed);
}

bool UseShaNi() noexcept {
  return CpuHasShaNi() && !g_force_portable.load(std::memory_order_relaxed);
}

void ForcePortableKernels(bool force) noexcept {
  g_force_portable.store(force, std::memory_order_relaxed);
}

}  // namespace zel::detail
