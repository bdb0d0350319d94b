// zel/cpuid/cpuid.h — the cpuid unit: processor identification, feature
// names, clock rate, and the machine identification string.
#ifndef ZEL_CPUID_CPUID_H_
#define ZEL_CPUID_CPUID_H_

#include "zel/cpuid/cpuinfo.h"
#include "zel/cpuid/machineid.h"

#endif  // ZEL_CPUID_CPUID_H_
