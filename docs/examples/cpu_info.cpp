// What the processor says about itself.  The values differ by machine, so
// this program prints them to standard error and checks on standard output
// only what holds on every machine.
#include <iostream>

#include "zel/zel.h"

int main() {
  const int count = zel::CPU_Count();
  std::cout << "at least one processor: " << (count >= 1 ? "yes" : "no") << '\n';
  if (!zel::CPU_IDSupport()) {
    std::cout << "no CPUID on this processor\n";  // CPUID functions would raise
    return 0;
  }
  const zel::String vendor = zel::CPU_VendorString();
  std::cerr << "vendor " << zel::ToUtf8(vendor) << ", " << zel::ToUtf8(zel::CPU_MarketName()) << ", family "
            << zel::CPU_Family() << ", " << count << " logical processors\n";
  std::cout << "vendor text of 12 characters: " << (vendor.size() == 12 ? "yes" : "no") << '\n';
  const uint32_t signature = zel::CPU_Signature();
  std::cout << "family from the signature: "
            << (zel::CPU_Family(signature) == zel::CPU_Family() ? "consistent" : "inconsistent") << '\n';
  return 0;
}
