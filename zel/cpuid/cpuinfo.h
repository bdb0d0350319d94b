// zel/cpuid/cpuinfo.h — what the processor says about itself: vendor,
// brand text, signature fields, feature flags, the historic division flaw,
// the logical processor count and the measured clock rate.
//
//   zel::CPU_VendorString();           // u"GenuineIntel"
//   zel::CPU_MarketName();             // u"Intel(R) Xeon(R) CPU ... @ 2.20GHz"
//   zel::CPU_Family();                 // 6
//   bool sse2 = zel::CPU_FeatureSet() & (1u << zel::cpuft_simd2);
//   zel::CPUFeatureNames[zel::cpuft_simd2];   // u"SSE2 (WNI) instructions"
//   float mhz = zel::CPU_Speed(200);   // measured over 200 ms
//
// Every function that reads CPUID raises `EZELCpuIdError` with "Cannot
// acquire CPU information (CPUID not supported)" on a processor without the
// instruction, and `QueryCPUID` raises "CPUID: execution level not
// supported" for a leaf above the processor's highest one.  `CPU_IDSupport`,
// `CPU_Count`, `CPU_FDIVBugPresent` and `CPU_Speed` do not need CPUID.
//
// `CPU_Speed` counts time-stamp counter cycles against the kernel's raw
// monotonic clock, with the thread held on one processor at the highest
// ordinary priority the host grants (never a real-time class); the affinity
// mask and the priority are restored on every path.  The result is the
// counted cycles divided by the microseconds that actually elapsed.  It
// busy-waits for the whole measuring time: keep that short.  Where the
// processor has no time-stamp counter readable by the library (not x86), the
// result is 0.
#ifndef ZEL_CPUID_CPUINFO_H_
#define ZEL_CPUID_CPUINFO_H_

#include <array>
#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The registers of one CPUID execution.
struct TCPUIDResult {
  // The four result registers, as the instruction left them (0 before).
  uint32_t EAX = 0, EBX = 0, ECX = 0, EDX = 0;
};

// Bit numbers of the feature set (EDX of leaf 1; for the same numbers, EDX
// of leaf 0x80000001).
enum TCPUFeatures : uint8_t {
  cpuft_fpu, cpuft_vme, cpuft_de, cpuft_pse, cpuft_tsc, cpuft_msr, cpuft_pae,
  cpuft_mce, cpuft_cx8, cpuft_apic, cpuft_sepamd, cpuft_sep, cpuft_mtrr,
  cpuft_pge, cpuft_mca, cpuft_cmov, cpuft_pat, cpuft_pse36, cpuft_serial,
  cpuft_clflush, cpuft_reserved1, cpuft_dts, cpuft_acpi, cpuft_mmx, cpuft_xsr,
  cpuft_simd, cpuft_simd2, cpuft_ss, cpuft_reserved2, cpuft_tm, cpuft_ia64,
  cpuft_3dnow
};

// Readable names of the 32 features, indexed by `TCPUFeatures`.
extern const std::array<const Char*, 32> CPUFeatureNames;

// Executes CPUID with `Leaf` `Repeat` times (none for 0) and returns the
// registers of the last execution in `Result`; true.  Raises for a
// processor without CPUID or a leaf beyond the highest standard or
// extended leaf (leaves 0 and 0x80000000 are always allowed).
bool QueryCPUID(uint32_t Leaf, uint8_t Repeat, TCPUIDResult& Result);

bool CPU_IDSupport() noexcept;
// Logical processors online (the kernel's count, not this thread's mask).
int CPU_Count() noexcept;
// The 12-character vendor text (leaf 0: EBX, EDX, ECX).
String CPU_VendorString();
// The brand text (leaves 0x80000002..4) without padding at either end;
// "unknown" when a control character remains inside.
String CPU_MarketName();
uint32_t CPU_Signature();          // EAX of leaf 1
uint32_t CPU_FeatureSet();         // EDX of leaf 1
uint32_t CPU_ExtendedFeatureSet(); // EDX of leaf 0x80000001
int CPU_BrandID();                 // low byte of EBX of leaf 1

// The fields of a signature, and the same of `CPU_Signature()`.
int CPU_Type(uint32_t Signature) noexcept;      // bits 12..13
int CPU_Family(uint32_t Signature) noexcept;    // bits 8..11
int CPU_ExFamily(uint32_t Signature) noexcept;  // bits 20..27
int CPU_Model(uint32_t Signature) noexcept;     // bits 4..7
int CPU_ExModel(uint32_t Signature) noexcept;   // bits 16..19
int CPU_Stepping(uint32_t Signature) noexcept;  // bits 0..3
int CPU_Type();
int CPU_Family();
int CPU_ExFamily();
int CPU_Model();
int CPU_ExModel();
int CPU_Stepping();
bool CPU_OverDrive();  // type field 1

bool CPU_FDIVBugPresent() noexcept;
// 24 upper-case hex digits: EAX of one execution of leaf 1, then EDX and
// ECX of a second.
String CPU_SerialNumber();

// Clock rate in MHz measured over `MeasuringTime` milliseconds (0 counts as
// 1).
float CPU_Speed(uint32_t MeasuringTime);

}  // namespace zel

#endif  // ZEL_CPUID_CPUINFO_H_
