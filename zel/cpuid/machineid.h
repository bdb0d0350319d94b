// zel/cpuid/machineid.h — a short identification string of this machine,
// with a check group, and its validation.
//
//   zel::String id = zel::GenerateCPUID();     // e.g. u"1A2B-3C4D-5E6F-7A8B"
//   zel::CheckGeneratedCPUID(id);              // true
//   zel::CheckGeneratedCPUID(u"1a2b 3c4d 5e6f 7a8b");   // true as well
//
// Four groups of four upper-case hex digits: four from the CRC-32 of the
// processor's identification (vendor, processor count, brand text, brand
// id, signature, feature set), eight from the CRC-32 of its serial-number
// text, and a check group, four digits of the CRC-32 of the twelve before.
// `GenerateCPUIDEx` puts the network adapter address in front of the
// identification text: the wired adapter's, or the wireless one's when no
// wired adapter has an address.
//
// The identification functions raise `EZELCpuIdError` on a processor
// without CPUID; `CheckGeneratedCPUID` reads only its argument.
#ifndef ZEL_CPUID_MACHINEID_H_
#define ZEL_CPUID_MACHINEID_H_

#include "zel/platform/string.h"

namespace zel {

String GenerateCPUID();
String GenerateCPUIDEx();

// True when, after dropping every character that is no hex digit, exactly
// 16 remain and the last four are the check group of the first twelve.
bool CheckGeneratedCPUID(StringView ID);

}  // namespace zel

#endif  // ZEL_CPUID_MACHINEID_H_
