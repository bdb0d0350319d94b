#include "zel/cpuid/machineid.h"

#include <string>

#include <gtest/gtest.h>

#include "zel/cpuid/cpuinfo.h"
#include "zel/cpuid/internal/cpuidsource.h"
#include "zel/dstruct/crc.h"
#include "zel/filesys/sysinfo.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

TEST(CheckGeneratedCPUID, AcceptsAndRejects) {
  // Check groups from Python's zlib.crc32 of the twelve digits.
  struct Case {
    const char16_t* id;
    bool valid;
  } cases[] = {
      {u"1234-5678-9ABC-826E", true},
      {u"0000-FFFF-1234-0993", true},
      {u"1234-5678-9abc-826e", true},          // lower case
      {u" 12-345678 9A-BC826E--", true},       // blanks and dashes anywhere
      {u"x1234.5678/9ABCq826E", true},         // any other non-hex character dropped
      {u"1234-5678-9ABC-826F", false},         // check group off by one digit
      {u"1234-5678-9ABD-826E", false},         // body changed
      {u"1234-5678-9ABC-826", false},          // 15 digits
      {u"1234-5678-9ABC-826E0", false},        // 17 digits
      {u"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckGeneratedCPUID(c.id), c.valid) << ToUtf8(c.id);
}

TEST(GenerateCPUID, FormAndCheckGroupOnThisMachine) {
  const String id = GenerateCPUID();
  ASSERT_EQ(id.size(), 19u);
  for (size_t i = 0; i < id.size(); ++i) {
    if (i % 5 == 4) {
      EXPECT_EQ(id[i], u'-');
    } else {
      EXPECT_TRUE((id[i] >= u'0' && id[i] <= u'9') || (id[i] >= u'A' && id[i] <= u'F'));
    }
  }
  EXPECT_EQ(GenerateCPUID(), id);  // the same machine gives the same id
  EXPECT_TRUE(CheckGeneratedCPUID(id));
  String changed = id;
  changed[18] = changed[18] == u'0' ? u'1' : u'0';
  EXPECT_FALSE(CheckGeneratedCPUID(changed));
  EXPECT_TRUE(CheckGeneratedCPUID(GenerateCPUIDEx()));
}

uint32_t Crc(const std::string& s) {
  return static_cast<uint32_t>(CRC32ofBuffer(TBytes(s.begin(), s.end()), static_cast<int>(s.size())));
}

// A processor with fixed answers, so the id's composition can be followed.
class FixedCpu : public detail::CpuidSource {
 public:
  bool Available() const override { return true; }
  detail::CpuidRegs Execute(uint32_t leaf) const override {
    switch (leaf) {
      case 0: return {1, 0x41414141, 0x43434343, 0x42424242};  // "AAAABBBBCCCC"
      case 1: return {0xFFFFFFF0, 0x0000012A, 0x00000002, 0x80000001};
      case 0x80000000u: return {0x80000004u, 0, 0, 0};
      case 0x80000002u: return {0x20202020, 0x5A5A5A5A, 0, 0};  // "    ZZZZ"
      default: return {};
    }
  }
};

TEST(GenerateCPUID, ComposedFromTheIdentificationAndSerialTexts) {
  FixedCpu cpu;
  detail::ScopedCpuidSource use(&cpu);
  // Vendor, count, brand, brand id, signature and features (signed).
  const std::string text =
      "AAAABBBBCCCC" + std::to_string(CPU_Count()) + "ZZZZ" + "42" + "-16" + "-2147483647";
  const std::string serial = "FFFFFFF08000000100000002";
  ASSERT_EQ(ToUtf8(CPU_SerialNumber()), serial);
  const String body = HexDigits(Crc(text), 4) + HexDigits(Crc(serial), 8);
  const String check = HexDigits(Crc(ToUtf8(body)), 4);
  EXPECT_EQ(GenerateCPUID(), body.substr(0, 4) + u"-" + body.substr(4, 4) + u"-" +
                                 body.substr(8, 4) + u"-" + check);

  String mac;
  GetMacAddress(1, mac);
  if (mac == kNoMacAddress) GetMacAddress(2, mac);
  const String ex_body = HexDigits(Crc(ToUtf8(mac) + text), 4) + HexDigits(Crc(serial), 8);
  EXPECT_EQ(GenerateCPUIDEx().substr(0, 15),
            ex_body.substr(0, 4) + u"-" + ex_body.substr(4, 4) + u"-" + ex_body.substr(8, 4) + u"-");
}

TEST(GenerateCPUID, RaisesWithoutTheInstruction) {
  class NoCpuid : public detail::CpuidSource {
    bool Available() const override { return false; }
    detail::CpuidRegs Execute(uint32_t) const override { return {}; }
  } none;
  detail::ScopedCpuidSource use(&none);
  EXPECT_THROW(GenerateCPUID(), EZELCpuIdError);
  EXPECT_THROW(GenerateCPUIDEx(), EZELCpuIdError);
  EXPECT_TRUE(CheckGeneratedCPUID(u"1234-5678-9ABC-826E"));
}

}  // namespace
}  // namespace zel
