#include "zel/platform/internal/processor.h"

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

}  // namespace zel::detail
