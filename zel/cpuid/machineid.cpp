#include "zel/cpuid/machineid.h"

#include <string>

#include "zel/cpuid/cpuinfo.h"
#include "zel/dstruct/crc.h"
#include "zel/filesys/sysinfo.h"
#include "zel/platform/casemap.h"
#include "zel/stringl/charclass.h"
#include "zel/stringl/numscan.h"

namespace zel {
namespace {

// CRC-32 of a text's Windows-1252 bytes.
uint32_t TextCrc(StringView s) {
  const std::string bytes = StringToAnsi(s);
  return static_cast<uint32_t>(CRC32ofBuffer(TBytes(bytes.begin(), bytes.end()),
                                             static_cast<int>(bytes.size())));
}

String Decimal(int64_t v) { return S(std::to_string(v)); }

String IdentificationText() {
  return CPU_VendorString() + Decimal(CPU_Count()) + CPU_MarketName() +
         Decimal(CPU_BrandID()) + Decimal(static_cast<int32_t>(CPU_Signature())) +
         Decimal(static_cast<int32_t>(CPU_FeatureSet()));
}

String CheckGroup(StringView body) { return HexDigits(TextCrc(body), 4); }

String FormatId(StringView text) {
  String body = HexDigits(TextCrc(text), 4) + HexDigits(TextCrc(CPU_SerialNumber()), 8);
  const String check = CheckGroup(body);
  return body.substr(0, 4) + u"-" + body.substr(4, 4) + u"-" + body.substr(8, 4) + u"-" +
         check;
}

}  // namespace

String GenerateCPUID() { return FormatId(IdentificationText()); }

String GenerateCPUIDEx() {
  // The wireless adapter stands in when the wired one fails or has no
  // address (a machine with Wi-Fi only still gets its address in the id).
  String mac;
  if (GetMacAddress(1, mac) != 0 || mac == kNoMacAddress) {
    String wireless;
    if (GetMacAddress(2, wireless) == 0) mac = wireless;
  }
  return FormatId(mac + IdentificationText());
}

bool CheckGeneratedCPUID(StringView ID) {
  String digits;
  for (Char c : ID) {
    if (IsHexChar(c)) digits += AsciiUpper(c);
  }
  if (digits.size() != 16) return false;
  return digits.substr(12) == CheckGroup(StringView(digits).substr(0, 12));
}

}  // namespace zel
