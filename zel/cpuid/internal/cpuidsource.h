// zel/cpuid/internal/cpuidsource.h — where the cpuid unit gets its CPUID
// answers from.
//
// Normally the processor itself (through the platform layer).  Tests put a
// made-up processor in its place to reach what no real machine here shows:
// a processor without the instruction, one with few leaves, a brand text
// with padding.
//
//   struct NoCpuid : zel::detail::CpuidSource {
//     bool Available() const override { return false; }
//     zel::detail::CpuidRegs Execute(uint32_t) const override { return {}; }
//   } fake;
//   zel::detail::ScopedCpuidSource use(&fake);
//   zel::CPU_VendorString();   // raises EZELCpuIdError
#ifndef ZEL_CPUID_INTERNAL_CPUIDSOURCE_H_
#define ZEL_CPUID_INTERNAL_CPUIDSOURCE_H_

#include "zel/platform/export.h"

#include <cstdint>

#include "zel/platform/internal/processor.h"

namespace zel::detail {

class CpuidSource {
 public:
  virtual ~CpuidSource() = default;
  virtual bool Available() const = 0;
  virtual CpuidRegs Execute(uint32_t leaf) const = 0;
};

// The source in use: the one set last, or the processor.
const CpuidSource& CurrentCpuidSource() noexcept;

// Uses `source` while it lives (nullptr: the processor), then the one
// before.  Not for use while other threads ask for processor data.
class ScopedCpuidSource {
 public:
  explicit ScopedCpuidSource(const CpuidSource* source) noexcept;
  ~ScopedCpuidSource();
  ScopedCpuidSource(const ScopedCpuidSource&) = delete;
  ScopedCpuidSource& operator=(const ScopedCpuidSource&) = delete;

 private:
  const CpuidSource* previous_;
};

}  // namespace zel::detail

#endif  // ZEL_CPUID_INTERNAL_CPUIDSOURCE_H_
