// Tour section of the cpuid unit: identification, features, clock rate and
// the machine id.
#include <cstdio>

#include "tools/zel/cli.h"
#include "zel/cpuid/cpuid.h"
#include "zel/stringl/numscan.h"

namespace zel::cli {
namespace {

void TourCpuid() {
  TourHeading("cpuid", "processor identification and speed");
  TourShow("CPU_IDSupport()", CPU_IDSupport());
  TourShow("CPU_Count()", CPU_Count());
  if (!CPU_IDSupport()) return;
  TourShow("CPU_VendorString()", CPU_VendorString());
  TourShow("CPU_MarketName()", CPU_MarketName());
  TourShow("CPU_Signature() (hex)", HexDigits(CPU_Signature(), 8));
  TourShow("CPU_Family() / CPU_Model() / CPU_Stepping()",
           std::to_string(CPU_Family()) + " / " + std::to_string(CPU_Model()) + " / " +
               std::to_string(CPU_Stepping()));
  TourShow("CPUFeatureNames[cpuft_simd2]", String(CPUFeatureNames[cpuft_simd2]));
  TourShow("CPU_FeatureSet() has SSE2", ((CPU_FeatureSet() >> cpuft_simd2) & 1) != 0);
  TourShow("CPU_FDIVBugPresent()", CPU_FDIVBugPresent());
  char mhz[32];
  std::snprintf(mhz, sizeof mhz, "%.0f", CPU_Speed(50));
  TourShow("CPU_Speed(50) (MHz)", std::string(mhz));
  const String id = GenerateCPUID();
  TourShow("GenerateCPUID()", id);
  TourShow("CheckGeneratedCPUID(id)", CheckGeneratedCPUID(id));
  TourShow("CheckGeneratedCPUID(u\"1234-5678-9ABC-0000\")",
           CheckGeneratedCPUID(u"1234-5678-9ABC-0000"));
}

const TourSection kCpuid(100, &TourCpuid);

}  // namespace
}  // namespace zel::cli
