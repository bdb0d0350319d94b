#include "zel/dstruct/internal/cpufeatures.h"

#include <atomic>

#include "zel/platform/internal/processor.h"

namespace zel::detail {
namespace {

std::atomic<bool> g_force_portable{false};

struct Features {
  bool clmul = false;
  bool vpclmul = false;
  bool sha = false;
  bool avx512_vbmi2 = false;
};

// Asks CPUID itself (through the platform layer): not every compiler's
// __builtin_cpu_supports knows the SHA extensions.
Features Detect() noexcept {
  Features f;
  if (!CpuidAvailable()) return f;
  const uint32_t max_leaf = ExecuteCpuid(0).eax;
  if (max_leaf < 1) return f;
  const uint32_t c = ExecuteCpuid(1).ecx;
  const bool ssse3 = (c >> 9) & 1, sse41 = (c >> 19) & 1, pclmul = (c >> 1) & 1, popcnt = (c >> 23) & 1;
  f.clmul = pclmul && sse41;
  // The 512-bit registers are usable only when the system saves them
  // (XCR0: SSE, AVX, opmask and both halves of the ZMM state).
  bool zmm_saved = false;
#if defined(__x86_64__) || defined(__i386__)
  if ((c >> 27) & 1) {  // OSXSAVE
    unsigned lo = 0, hi = 0;
    __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    zmm_saved = (lo & 0xE6) == 0xE6;
  }
#endif
  if (max_leaf >= 7) {
    const CpuidRegs r = ExecuteCpuid(7, 0);
    f.sha = ((r.ebx >> 29) & 1) && ssse3 && sse41;
    const bool avx512 = ((r.ebx >> 16) & 1) && ((r.ebx >> 30) & 1) && ((r.ebx >> 31) & 1);  // F, BW, VL
    f.vpclmul = f.clmul && zmm_saved && avx512 && ((r.ecx >> 10) & 1);
    // CD (lzcnt on lanes), VBMI (multishift) and VBMI2 (byte compress).
    const bool cd = (r.ebx >> 28) & 1, vbmi = (r.ecx >> 1) & 1, vbmi2 = (r.ecx >> 6) & 1;
    f.avx512_vbmi2 = zmm_saved && avx512 && cd && vbmi && vbmi2 && popcnt && ssse3 && sse41;
  }
  return f;
}

const Features& Cpu() noexcept {
  static const Features f = Detect();
  return f;
}

}  // namespace

bool CpuHasClmul() noexcept { return Cpu().clmul; }

bool CpuHasVpclmul() noexcept { return Cpu().vpclmul; }

bool CpuHasShaNi() noexcept { return Cpu().sha; }

bool CpuHasAvx512Vbmi2() noexcept { return Cpu().avx512_vbmi2; }

bool UseClmul() noexcept {
  return CpuHasClmul() && !g_force_portable.load(std::memory_order_relaxed);
}

bool UseVpclmul() noexcept {
  return CpuHasVpclmul() && !g_force_portable.load(std::memory_order_relaxed);
}

bool UseShaNi() noexcept {
  return CpuHasShaNi() && !g_force_portable.load(std::memory_order_relaxed);
}

void ForcePortableKernels(bool force) noexcept {
  g_force_portable.store(force, std::memory_order_relaxed);
}

bool PortableKernelsForced() noexcept { return g_force_portable.load(std::memory_order_relaxed); }

}  // namespace zel::detail
