#include "zel/cpuid/cpuinfo.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif
#if defined(_WIN32)
#include <windows.h>
#else
#include <sched.h>
#include <sys/resource.h>
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "zel/cpuid/internal/cpuidsource.h"
#include "zel/cpuid/internal/divisioncheck.h"
#include "zel/platform/internal/processor.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

// A made-up processor: the leaves it knows, and how often each ran.
class FakeCpu : public detail::CpuidSource {
 public:
  bool available = true;
  std::map<uint32_t, detail::CpuidRegs> leaves;
  // Leaf 1 gives these on its first and later executions when set.
  bool alternate_leaf1 = false;
  detail::CpuidRegs leaf1_later;
  mutable std::map<uint32_t, int> runs;

  bool Available() const override { return available; }
  detail::CpuidRegs Execute(uint32_t leaf) const override {
    const int n = runs[leaf]++;
    if (leaf == 1 && alternate_leaf1 && n > 0) return leaf1_later;
    auto it = leaves.find(leaf);
    return it == leaves.end() ? detail::CpuidRegs{} : it->second;
  }
};

uint32_t Chars(const char* four) {
  uint32_t v = 0;
  std::memcpy(&v, four, 4);  // lowest byte first, as the registers hold text
  return v;
}

// Leaves 0x80000002..4 holding `brand`, NUL-padded to 48 bytes.
template <size_t N>
void SetBrand(FakeCpu& cpu, const char (&text)[N]) {
  std::string brand(text, N - 1);
  brand.resize(48, '\0');
  for (uint32_t i = 0; i < 3; ++i) {
    const char* p = brand.data() + 16 * i;
    cpu.leaves[0x80000002u + i] = {Chars(p), Chars(p + 4), Chars(p + 8), Chars(p + 12)};
  }
}

FakeCpu MakeCpu() {
  FakeCpu cpu;
  cpu.leaves[0] = {1, Chars("Genu"), Chars("ntel"), Chars("ineI")};
  cpu.leaves[1] = {0x306C3, 0x00100800 | 0x2A, 0x7FFAFBFF, 0xBFEBFBFF};
  cpu.leaves[0x80000000u] = {0x80000004u, 0, 0, 0};
  cpu.leaves[0x80000001u] = {0, 0, 0x21, 0x2C100800};
  SetBrand(cpu, "  Test(R) CPU 3.00GHz\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0");
  return cpu;
}

TEST(CpuInfoFake, SignatureFieldsAndRegisters) {
  FakeCpu cpu = MakeCpu();
  detail::ScopedCpuidSource use(&cpu);
  EXPECT_EQ(CPU_Signature(), 0x306C3u);
  EXPECT_EQ(CPU_Stepping(), 3);
  EXPECT_EQ(CPU_Model(), 12);
  EXPECT_EQ(CPU_Family(), 6);
  EXPECT_EQ(CPU_Type(), 0);
  EXPECT_EQ(CPU_ExModel(), 3);
  EXPECT_EQ(CPU_ExFamily(), 0);
  EXPECT_FALSE(CPU_OverDrive());
  EXPECT_EQ(CPU_BrandID(), 0x2A);
  EXPECT_EQ(CPU_FeatureSet(), 0xBFEBFBFFu);
  EXPECT_EQ(CPU_ExtendedFeatureSet(), 0x2C100800u);
  EXPECT_EQ(CPU_VendorString(), u"GenuineIntel");
  EXPECT_EQ(CPU_MarketName(), u"Test(R) CPU 3.00GHz");
}

TEST(CpuInfoFake, SignatureFieldTable) {
  struct Case {
    uint32_t sig;
    int stepping, model, family, type, ex_model, ex_family;
  } cases[] = {
      {0x000306C3, 3, 12, 6, 0, 3, 0},
      {0x00001632, 2, 3, 6, 1, 0, 0},      // an overdrive processor
      {0, 0, 0, 0, 0, 0, 0},
      {0x0FF03F0F, 15, 0, 15, 3, 0, 255},  // every field at its top, bits 28..31 ignored
      {0xF0A70F65, 5, 6, 15, 0, 7, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sig);
    EXPECT_EQ(CPU_Stepping(c.sig), c.stepping);
    EXPECT_EQ(CPU_Model(c.sig), c.model);
    EXPECT_EQ(CPU_Family(c.sig), c.family);
    EXPECT_EQ(CPU_Type(c.sig), c.type);
    EXPECT_EQ(CPU_ExModel(c.sig), c.ex_model);
    EXPECT_EQ(CPU_ExFamily(c.sig), c.ex_family);
  }
  FakeCpu cpu = MakeCpu();
  cpu.leaves[1].eax = 0x1632;
  detail::ScopedCpuidSource use(&cpu);
  EXPECT_TRUE(CPU_OverDrive());
}

TEST(CpuInfoFake, MarketNameTrimsPaddingAndRejectsControlCharacters) {
  struct Case {
    const char brand[49];
    const char16_t* expected;
  } cases[] = {
      {"            Intel(R) Core(TM) i7 CPU  @ 2.80GHz\0", u"Intel(R) Core(TM) i7 CPU  @ 2.80GHz"},
      {"AMD Ryzen 7\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", u"AMD Ryzen 7"},
      {"Bad\x01name                                       ", u"unknown"},
      {"                                               ", u""},
  };
  for (const Case& c : cases) {
    FakeCpu cpu = MakeCpu();
    SetBrand(cpu, c.brand);
    detail::ScopedCpuidSource use(&cpu);
    EXPECT_EQ(CPU_MarketName(), c.expected) << c.brand;
  }
}

TEST(CpuInfoFake, SerialNumberTakesEaxFirstThenEdxEcxOfASecondRun) {
  FakeCpu cpu = MakeCpu();
  cpu.leaves[1] = {0x11111111, 0, 0x22222222, 0x33333333};
  cpu.alternate_leaf1 = true;
  cpu.leaf1_later = {0x44444444, 0, 0xABCDEF01, 0x12345678};
  detail::ScopedCpuidSource use(&cpu);
  EXPECT_EQ(CPU_SerialNumber(), u"1111111112345678ABCDEF01");
}

TEST(CpuInfoFake, QueryRepeatsAndChecksLevels) {
  FakeCpu cpu = MakeCpu();
  cpu.leaves[0].eax = 1;
  cpu.leaves[0x80000000u].eax = 0x80000001u;
  detail::ScopedCpuidSource use(&cpu);
  TCPUIDResult r{7, 7, 7, 7};
  EXPECT_TRUE(QueryCPUID(1, 0, r));
  EXPECT_EQ(r.EAX, 7u);  // no execution for a repeat count of 0
  EXPECT_EQ(cpu.runs[1], 0);
  EXPECT_TRUE(QueryCPUID(1, 3, r));
  EXPECT_EQ(cpu.runs[1], 3);
  EXPECT_EQ(r.EAX, 0x306C3u);
  EXPECT_TRUE(QueryCPUID(0x80000000u, 1, r));
  EXPECT_EQ(r.EAX, 0x80000001u);

  for (uint32_t leaf : {2u, 7u, 0x80000002u}) {
    try {
      QueryCPUID(leaf, 1, r);
      ADD_FAILURE() << "no error for leaf " << leaf;
    } catch (const EZELCpuIdError& e) {
      EXPECT_EQ(e.Message(), u"CPUID: execution level not supported");
    }
  }
  EXPECT_THROW(CPU_MarketName(), EZELCpuIdError);
}

TEST(CpuInfoFake, WithoutTheInstructionEveryQueryRaises) {
  FakeCpu cpu = MakeCpu();
  cpu.available = false;
  detail::ScopedCpuidSource use(&cpu);
  const std::function<void()> calls[] = {
      [] { CPU_VendorString(); },     [] { CPU_MarketName(); },
      [] { CPU_Signature(); },        [] { CPU_FeatureSet(); },
      [] { CPU_ExtendedFeatureSet(); }, [] { CPU_BrandID(); },
      [] { CPU_Family(); },           [] { CPU_OverDrive(); },
      [] { CPU_SerialNumber(); },
      [] { TCPUIDResult r; QueryCPUID(0, 1, r); },
  };
  for (const auto& call : calls) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const EZELCpuIdError& e) {
      EXPECT_EQ(e.Message(), u"Cannot acquire CPU information (CPUID not supported)");
    }
  }
  EXPECT_TRUE(cpu.runs.empty());
  // The processor count does not need the instruction.
  EXPECT_GE(CPU_Count(), 1);
}

TEST(CpuInfo, FeatureNames) {
  EXPECT_EQ(String(CPUFeatureNames[cpuft_fpu]), u"Floating Point Unit");
  EXPECT_EQ(String(CPUFeatureNames[cpuft_tsc]),
            u"Time Stamp Counter and RDTSC instruction are available");
  EXPECT_EQ(String(CPUFeatureNames[cpuft_simd2]), u"SSE2 (WNI) instructions");
  EXPECT_EQ(String(CPUFeatureNames[cpuft_reserved1]), u"reserved");
  EXPECT_EQ(String(CPUFeatureNames[cpuft_reserved2]), u"reserved");
  EXPECT_EQ(String(CPUFeatureNames[cpuft_3dnow]), u"3DNow! instructions available");
  EXPECT_EQ(cpuft_3dnow, 31);
}

TEST(CpuInfo, DivisionFlawDecision) {
  // The decision on quotients as a sound and as the flawed divider gave them.
  struct Case {
    double quotient;
    bool flawed;
  } cases[] = {
      {detail::kFlawDividend / detail::kFlawDivisor, false},
      {1.333739068902037589, true},  // the flawed divider's answer: 256 short
      {1.333820449136241002 + 1e-15, true},  // a few units in the last place off
      {std::numeric_limits<double>::quiet_NaN(), true},
      {std::numeric_limits<double>::infinity(), true},
  };
  for (const Case& c : cases) EXPECT_EQ(detail::DivisionShowsFlaw(c.quotient), c.flawed) << c.quotient;
  EXPECT_EQ(CPU_FDIVBugPresent(),
            detail::DivisionShowsFlaw(detail::kFlawDividend / detail::kFlawDivisor));
}

// ---- The real processor against sources the library does not read ----
//
// The processor's own answer (the compiler's CPUID intrinsic) is the
// reference.  The kernel serves only where it cannot differ: it names the
// vendor as the processor does, and shows no flag the processor lacks, but
// it may hide flags (hypervisors and boot options clear mtrr, pat, apic,
// ...), so a flag missing from its list is no fault.

#if defined(__x86_64__) || defined(__i386__)

TEST(CpuInfoHost, RegistersMatchTheInstructionReadHere) {
  ASSERT_TRUE(CPU_IDSupport());
  unsigned a = 0, b = 0, c = 0, d = 0;
  ASSERT_TRUE(__get_cpuid(0, &a, &b, &c, &d));
  char vendor[13] = {};
  std::memcpy(vendor, &b, 4);
  std::memcpy(vendor + 4, &d, 4);
  std::memcpy(vendor + 8, &c, 4);
  EXPECT_EQ(ToUtf8(CPU_VendorString()), vendor);

  ASSERT_TRUE(__get_cpuid(1, &a, &b, &c, &d));
  EXPECT_EQ(CPU_Signature(), a);
  EXPECT_EQ(CPU_FeatureSet(), d);
  EXPECT_EQ(CPU_BrandID(), static_cast<int>(b & 0xFF));
  EXPECT_EQ(CPU_Family(), static_cast<int>((a >> 8) & 0xF));
  EXPECT_EQ(CPU_Stepping(), static_cast<int>(a & 0xF));

  if (static_cast<unsigned>(__get_cpuid_max(0x80000000u, nullptr)) >= 0x80000001u) {
    ASSERT_TRUE(__get_cpuid(0x80000001u, &a, &b, &c, &d));
    EXPECT_EQ(CPU_ExtendedFeatureSet(), d);
  } else {
    EXPECT_THROW(CPU_ExtendedFeatureSet(), EZELCpuIdError);
  }
}

TEST(CpuInfoHost, BrandTextMatchesTheInstructionReadHere) {
  unsigned regs[12] = {};
  if (static_cast<unsigned>(__get_cpuid_max(0x80000000u, nullptr)) < 0x80000004u) {
    EXPECT_THROW(CPU_MarketName(), EZELCpuIdError);
    GTEST_SKIP() << "the processor has no brand text leaves";
  }
  for (unsigned i = 0; i < 3; ++i) {
    __get_cpuid(0x80000002u + i, &regs[4 * i], &regs[4 * i + 1], &regs[4 * i + 2],
                &regs[4 * i + 3]);
  }
  char text[49] = {};
  std::memcpy(text, regs, 48);
  std::string brand = text;
  brand.erase(0, brand.find_first_not_of(' '));
  brand.erase(brand.find_last_not_of(' ') + 1);
  EXPECT_EQ(ToUtf8(CPU_MarketName()), brand);
}

std::map<std::string, std::string> FirstCpuInfoBlock() {
  std::ifstream in("/proc/cpuinfo");
  std::map<std::string, std::string> fields;
  std::string line;
  while (std::getline(in, line) && !line.empty()) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string key = line.substr(0, colon);
    key.erase(key.find_last_not_of(" \t") + 1);
    fields[key] = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
  }
  return fields;
}

TEST(CpuInfoHost, KernelNamesTheVendorAndNoFlagTheProcessorLacks) {
  const auto info = FirstCpuInfoBlock();
  if (!info.count("vendor_id") || !info.count("flags")) {
    GTEST_SKIP() << "/proc/cpuinfo is not readable or has no x86 fields here";
  }
  EXPECT_EQ(ToUtf8(CPU_VendorString()), info.at("vendor_id"));

  // Feature bits of leaf 1 EDX whose kernel flag names are fixed.
  std::istringstream flags(info.at("flags"));
  std::set<std::string> shown;
  for (std::string f; flags >> f;) shown.insert(f);
  const std::pair<TCPUFeatures, const char*> named[] = {
      {cpuft_fpu, "fpu"},   {cpuft_vme, "vme"},     {cpuft_de, "de"},
      {cpuft_pse, "pse"},   {cpuft_tsc, "tsc"},     {cpuft_msr, "msr"},
      {cpuft_pae, "pae"},   {cpuft_mce, "mce"},     {cpuft_cx8, "cx8"},
      {cpuft_apic, "apic"}, {cpuft_sep, "sep"},     {cpuft_mtrr, "mtrr"},
      {cpuft_pge, "pge"},   {cpuft_mca, "mca"},     {cpuft_cmov, "cmov"},
      {cpuft_pat, "pat"},   {cpuft_pse36, "pse36"}, {cpuft_clflush, "clflush"},
      {cpuft_mmx, "mmx"},   {cpuft_xsr, "fxsr"},    {cpuft_simd, "sse"},
      {cpuft_simd2, "sse2"}, {cpuft_ss, "ss"},
  };
  const uint32_t set = CPU_FeatureSet();
  std::string hidden;
  for (const auto& [bit, flag] : named) {
    const bool reported = ((set >> bit) & 1) != 0;
    if (shown.count(flag)) {
      EXPECT_TRUE(reported) << "the kernel shows " << flag << ", the processor does not report it";
    } else if (reported) {
      hidden += std::string(" ") + flag;
    }
  }
  if (!hidden.empty()) std::printf("note: the kernel hides%s\n", hidden.c_str());
}

#endif  // x86

TEST(CpuInfoHost, CountMatchesTheKernelsOnlineList) {
#if defined(_WIN32)
  // Up to 64 processors (one processor group) the system information
  // counts them all.
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  if (info.dwNumberOfProcessors >= 64) GTEST_SKIP() << "more than one processor group may exist";
  EXPECT_EQ(CPU_Count(), static_cast<int>(info.dwNumberOfProcessors));
#else
  // /sys/devices/system/cpu/online is a list of ranges: "0-3,6,8-9".
  std::ifstream in("/sys/devices/system/cpu/online");
  std::string list;
  if (!std::getline(in, list)) GTEST_SKIP() << "no /sys/devices/system/cpu/online here";
  int count = 0;
  std::istringstream ranges(list);
  for (std::string r; std::getline(ranges, r, ',');) {
    const size_t dash = r.find('-');
    count += dash == std::string::npos ? 1 : std::stoi(r.substr(dash + 1)) - std::stoi(r) + 1;
  }
  EXPECT_EQ(CPU_Count(), count);
#endif
}

// The calling thread's processors and its priority (the nice value; on
// Windows the thread's priority level, where more is more urgent).
#if defined(_WIN32)
struct Affinity {
  DWORD_PTR mask = 0;
  bool operator==(const Affinity&) const = default;
  int Count() const { return __builtin_popcountll(mask); }
};
// Windows reads a thread's mask only by setting another: the process's
// mask, then the old one again.
bool ReadAffinity(Affinity& out) {
  DWORD_PTR process = 0, system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return false;
  out.mask = SetThreadAffinityMask(GetCurrentThread(), process);
  return out.mask != 0 && SetThreadAffinityMask(GetCurrentThread(), out.mask) != 0;
}
int Priority() { return GetThreadPriority(GetCurrentThread()); }
constexpr bool kMoreIsUrgent = true;
#else
struct Affinity {
  cpu_set_t set;
  bool operator==(const Affinity& other) const { return CPU_EQUAL(&set, &other.set); }
  int Count() const { return CPU_COUNT(&set); }
};
bool ReadAffinity(Affinity& out) { return sched_getaffinity(0, sizeof out.set, &out.set) == 0; }
int Priority() { return getpriority(PRIO_PROCESS, 0); }
constexpr bool kMoreIsUrgent = false;
#endif

// How fast the clock runs is a benchmark's question (scripts/bench prints
// the rate beside the kernel's).  Here: every measuring time gives a finite
// rate, above 1000 ms too (the recipe's tick arithmetic divided by zero
// there), and the thread gets its processors and priority back.
TEST(CpuInfoHost, SpeedIsARateForEveryMeasuringTimeAndRestoresTheThread) {
#if defined(__x86_64__) || defined(__i386__)
  const bool counter = (CPU_FeatureSet() >> cpuft_tsc) & 1;
#else
  const bool counter = false;
#endif
  Affinity before;
  ASSERT_TRUE(ReadAffinity(before));
  const int nice_before = Priority();
  for (uint32_t ms : {0u, 1u, 1001u}) {
    const float mhz = CPU_Speed(ms);
    EXPECT_TRUE(std::isfinite(mhz)) << ms;
    if (counter) {
      EXPECT_GT(mhz, 0.0f) << ms;
    } else {
      EXPECT_EQ(mhz, 0.0f) << ms;
    }
    Affinity after;
    ASSERT_TRUE(ReadAffinity(after));
    EXPECT_TRUE(before == after) << ms;
    EXPECT_EQ(Priority(), nice_before) << ms;
  }
}

TEST(CpuInfoHost, GuardPinsAndRestores) {
  Affinity before;
  ASSERT_TRUE(ReadAffinity(before));
  {
    detail::MeasurementGuard guard;
    Affinity during;
    ASSERT_TRUE(ReadAffinity(during));
    if (guard.Pinned()) {
      EXPECT_EQ(during.Count(), 1);
    }
    EXPECT_EQ(Priority(), guard.NewNice());
    if (kMoreIsUrgent) {
      EXPECT_GE(guard.NewNice(), guard.OldNice());
    } else {
      EXPECT_LE(guard.NewNice(), guard.OldNice());
    }
  }
  Affinity after;
  ASSERT_TRUE(ReadAffinity(after));
  EXPECT_TRUE(before == after);
}

}  // namespace
}  // namespace zel
