#include "zel/cpuid/cpuinfo.h"

#include <atomic>
#include <cstdint>
#include <cmath>

#include "zel/cpuid/internal/cpuidsource.h"
#include "zel/cpuid/internal/divisioncheck.h"
#include "zel/platform/export.h"
#include "zel/platform/internal/processor.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {

const std::array<const Char*, 32> CPUFeatureNames = {
    u"Floating Point Unit",
    u"V86 Mode Extensions",
    u"Debug Extensions - I/O breakpoints supported",
    u"Page Size Extensions (4 MB pages supported)",
    u"Time Stamp Counter and RDTSC instruction are available",
    u"Model Specific Registers",
    u"Physical Address Extensions (36-bit address, 2MB pages)",
    u"Machine Check Exception supported",
    u"Compare Exchange Eight Byte instruction available",
    u"Local APIC present (multiprocessor operation support)",
    u"Fast system calls (AMD only)",
    u"Fast system calls",
    u"Memory Type Range Registers",
    u"Page Global Enable",
    u"Machine Check Architecture",
    u"Conditional MOVe instructions",
    u"Page Attribute Table",
    u"36 bit Page Size Extensions",
    u"Processor Serial Number",
    u"Cache Flush",
    u"reserved",
    u"Debug Trace Store",
    u"ACPI support",
    u"MultiMedia Extensions",
    u"FXSAVE and FXRSTOR instructions",
    u"SSE instructions",
    u"SSE2 (WNI) instructions",
    u"self snoop",
    u"reserved",
    u"Automatic clock control",
    u"IA64 instructions",
    u"3DNow! instructions available",
};

namespace ZEL_HIDDEN detail {
namespace {

class ProcessorSource final : public CpuidSource {
 public:
  bool Available() const override { return CpuidAvailable(); }
  CpuidRegs Execute(uint32_t leaf) const override { return ExecuteCpuid(leaf); }
};

const ProcessorSource kProcessor;
std::atomic<const CpuidSource*> g_source{nullptr};

}  // namespace

const CpuidSource& CurrentCpuidSource() noexcept {
  const CpuidSource* s = g_source.load(std::memory_order_acquire);
  return s ? *s : kProcessor;
}

ScopedCpuidSource::ScopedCpuidSource(const CpuidSource* source) noexcept
    : previous_(g_source.exchange(source, std::memory_order_acq_rel)) {}

ScopedCpuidSource::~ScopedCpuidSource() {
  g_source.store(previous_, std::memory_order_release);
}

}  // namespace detail

namespace {

constexpr uint32_t kExtendedBase = 0x80000000u;

TCPUIDResult ToResult(const detail::CpuidRegs& r) { return {r.eax, r.ebx, r.ecx, r.edx}; }

TCPUIDResult Query(uint32_t leaf) {
  TCPUIDResult r;
  QueryCPUID(leaf, 1, r);
  return r;
}

// The four bytes of a register, lowest first, one character each.
void AppendRegister(String& s, uint32_t reg) {
  for (int i = 0; i < 4; ++i) s += AnsiToChar(static_cast<AnsiChar>(reg >> (8 * i)));
}

}  // namespace

bool QueryCPUID(uint32_t Leaf, uint8_t Repeat, TCPUIDResult& Result) {
  const detail::CpuidSource& cpu = detail::CurrentCpuidSource();
  if (!cpu.Available()) {
    throw EZELCpuIdError(u"Cannot acquire CPU information (CPUID not supported)");
  }
  if (Leaf != 0 && Leaf != kExtendedBase) {
    const uint32_t base = Leaf < kExtendedBase ? 0 : kExtendedBase;
    if (Leaf > cpu.Execute(base).eax) {
      throw EZELCpuIdError(u"CPUID: execution level not supported");
    }
  }
  for (int i = 0; i < Repeat; ++i) Result = ToResult(cpu.Execute(Leaf));
  return true;
}

bool CPU_IDSupport() noexcept { return detail::CpuidAvailable(); }

int CPU_Count() noexcept { return detail::OnlineProcessorCount(); }

String CPU_VendorString() {
  const TCPUIDResult r = Query(0);
  String s;
  AppendRegister(s, r.EBX);
  AppendRegister(s, r.EDX);
  AppendRegister(s, r.ECX);
  return s;
}

String CPU_MarketName() {
  String s;
  for (uint32_t leaf = kExtendedBase + 2; leaf <= kExtendedBase + 4; ++leaf) {
    const TCPUIDResult r = Query(leaf);
    AppendRegister(s, r.EAX);
    AppendRegister(s, r.EBX);
    AppendRegister(s, r.ECX);
    AppendRegister(s, r.EDX);
  }
  size_t first = 0, last = s.size();
  while (first < last && s[first] <= 32) ++first;
  while (last > first && s[last - 1] <= 32) --last;
  s = s.substr(first, last - first);
  for (Char c : s) {
    if (c < 32) return u"unknown";
  }
  return s;
}

uint32_t CPU_Signature() { return Query(1).EAX; }
uint32_t CPU_FeatureSet() { return Query(1).EDX; }
uint32_t CPU_ExtendedFeatureSet() { return Query(kExtendedBase + 1).EDX; }
int CPU_BrandID() { return static_cast<int>(Query(1).EBX & 0xFF); }

int CPU_Type(uint32_t Signature) noexcept { return (Signature >> 12) & 0x3; }
int CPU_Family(uint32_t Signature) noexcept { return (Signature >> 8) & 0xF; }
int CPU_ExFamily(uint32_t Signature) noexcept { return (Signature >> 20) & 0xFF; }
int CPU_Model(uint32_t Signature) noexcept { return (Signature >> 4) & 0xF; }
int CPU_ExModel(uint32_t Signature) noexcept { return (Signature >> 16) & 0xF; }
int CPU_Stepping(uint32_t Signature) noexcept { return Signature & 0xF; }
int CPU_Type() { return CPU_Type(CPU_Signature()); }
int CPU_Family() { return CPU_Family(CPU_Signature()); }
int CPU_ExFamily() { return CPU_ExFamily(CPU_Signature()); }
int CPU_Model() { return CPU_Model(CPU_Signature()); }
int CPU_ExModel() { return CPU_ExModel(CPU_Signature()); }
int CPU_Stepping() { return CPU_Stepping(CPU_Signature()); }
bool CPU_OverDrive() { return CPU_Type() == 1; }

namespace ZEL_HIDDEN detail {

bool DivisionShowsFlaw(double quotient) noexcept {
  // volatile, so that the compiler cannot fold the product away.
  volatile double y = kFlawDivisor;
  const double r = quotient * y - kFlawDividend;
  return r != 0.0 || std::isnan(r);
}

}  // namespace detail

bool CPU_FDIVBugPresent() noexcept {
  // volatile, so that the processor divides at run time.
  volatile double x = detail::kFlawDividend, y = detail::kFlawDivisor;
  return detail::DivisionShowsFlaw(x / y);
}

String CPU_SerialNumber() {
  TCPUIDResult first, second;
  QueryCPUID(1, 1, first);
  QueryCPUID(1, 1, second);
  return HexDigits(first.EAX, 8) + HexDigits(second.EDX, 8) + HexDigits(second.ECX, 8);
}

namespace {

// A time-stamp reading paired with the clock: the clock read between two
// counter reads, the counter taken as their midpoint.  Of a few attempts
// the tightest pair is kept, so that an interrupt between the reads does
// not skew the measurement.
struct Mark {
  uint64_t cycles;
  int64_t ns;
};

Mark TakeMark() noexcept {
  Mark best{0, 0};
  uint64_t best_gap = UINT64_MAX;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const uint64_t a = detail::ReadTimeStampCounter();
    const int64_t ns = detail::MonotonicRawNanoseconds();
    const uint64_t b = detail::ReadTimeStampCounter();
    if (b - a < best_gap) {
      best_gap = b - a;
      best = {a + (b - a) / 2, ns};
    }
  }
  return best;
}

}  // namespace

float CPU_Speed(uint32_t MeasuringTime) {
  const int64_t span_ns = static_cast<int64_t>(MeasuringTime == 0 ? 1 : MeasuringTime) * 1000000;
  Mark start, end;
  {
    detail::MeasurementGuard hold;  // one processor, raised priority; restored at '}'
    TakeMark();  // one untimed reading, so the timed ones find the code warm
    start = TakeMark();
    do {
      end = TakeMark();
    } while (end.ns - start.ns < span_ns);
  }
  const double us = static_cast<double>(end.ns - start.ns) / 1000.0;
  if (us <= 0) return 0;
  return static_cast<float>(static_cast<double>(end.cycles - start.cycles) / us);
}

}  // namespace zel
