#include "zel/dstruct/crc.h"

#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <zlib.h>
#endif

#include <span>
#include <string>

#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/internal/kernels.h"
#include "zel/testutil/bytes.h"
#include "zel/testutil/python.h"
#include "zel/testutil/tempdir.h"

#if defined(_WIN32)
// ntdll's CRC-32 (no header declares it).
extern "C" DWORD WINAPI RtlComputeCrc32(DWORD initial, const BYTE* data, INT length);
#endif

namespace zel {
namespace {

const TBytes kCheck = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};

TBytes RandomBytes(size_t n, uint32_t seed) {
  const std::string s = testutil::RandomBytes(n, seed);
  return TBytes(s.begin(), s.end());
}

// CRC-32 by another implementation, continuing from `state` (taken and
// given inverted, zlib's way): zlib, which the tests link on Linux; on
// Windows ntdll's RtlComputeCrc32, the system's own.
uint32_t OtherCrc32(uint32_t state, const uint8_t* p, size_t n) {
#if defined(_WIN32)
  return RtlComputeCrc32(state, p, static_cast<INT>(n));
#else
  return static_cast<uint32_t>(crc32(state, p, static_cast<uInt>(n)));
#endif
}

uint32_t WholeCrc32(const uint8_t* p, size_t n) { return OtherCrc32(0, p, n); }

// Runs a test body once on the portable path and once on the fast path
// (where the processor has one).
class CrcPaths : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { detail::ForcePortableKernels(GetParam()); }
  void TearDown() override { detail::ForcePortableKernels(false); }
};
INSTANTIATE_TEST_SUITE_P(Crc, CrcPaths, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "portable" : "native"; });

TEST(Crc16, CheckValuesAndEmptyInput) {
  EXPECT_EQ(CRC16ofBuffer(kCheck, 9, crcZModem), 0x31C3);
  EXPECT_EQ(CRC16ofBuffer(kCheck, 9, crcCCITT), 0x29B1);
  EXPECT_EQ(CRC16ofBuffer(kCheck, 0, crcZModem), 0x0000);
  EXPECT_EQ(CRC16ofBuffer(kCheck, -5, crcCCITT), 0xFFFF);
  EXPECT_EQ(CRC16ofBuffer({}, 0, crcCCITT), 0xFFFF);
  uint16_t s = 0;
  for (uint8_t b : kCheck) s = CalcNextCRC16(b, s);
  EXPECT_EQ(s, 0x31C3);
}

TEST(Crc16, CountBeyondTheVectorIsCutToItsSize) {
  // Under AddressSanitizer a read past the vector would also be reported.
  EXPECT_EQ(CRC16ofBuffer(kCheck, 1000, crcZModem), 0x31C3);
  EXPECT_EQ(CRC16ofBuffer(kCheck, 4, crcZModem), CRC16ofBuffer(TBytes(kCheck.begin(), kCheck.begin() + 4), 4, crcZModem));
}

TEST(Crc16, MatchesPythonCrcHqxOnRandomData) {
  ZEL_SKIP_WITHOUT_PYTHON();
  // binascii.crc_hqx is this CRC-16 with the start value given.
  std::string input;
  std::vector<TBytes> cases;
  for (size_t n : {0, 1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 1000, 4099}) {
    cases.push_back(RandomBytes(n, static_cast<uint32_t>(n) + 11));
    input += std::to_string(n) + " ";
  }
  std::string all;
  for (const auto& c : cases) all.append(c.begin(), c.end());
  std::string out;
  ASSERT_TRUE(testutil::RunPython(
      "import binascii\n"
      "sizes = [" + [&] { std::string s; for (const auto& c : cases) s += std::to_string(c.size()) + ","; return s; }() + "]\n"
      "at = 0\n"
      "for n in sizes:\n"
      "    d = data[at:at + n]; at += n\n"
      "    print('%04X %04X' % (binascii.crc_hqx(d, 0), binascii.crc_hqx(d, 0xFFFF)))",
      all, out));
  std::string want;
  for (const auto& c : cases) {
    char line[16];
    snprintf(line, sizeof line, "%04X %04X\n", CRC16ofBuffer(c, static_cast<int>(c.size()), crcZModem),
             CRC16ofBuffer(c, static_cast<int>(c.size()), crcCCITT));
    want += line;
  }
  EXPECT_EQ(out, want);
}

TEST(Crc32, CheckValueStepFunctionAndEmptyInput) {
  EXPECT_EQ(static_cast<uint32_t>(CRC32ofBuffer(kCheck, 9)), 0xCBF43926u);
  EXPECT_EQ(CRC32ofBuffer(kCheck, 0), 0);
  EXPECT_EQ(CRC32ofBuffer(kCheck, -1), 0);
  EXPECT_EQ(static_cast<uint32_t>(CRC32ofBuffer(kCheck, 99)), 0xCBF43926u);
  int32_t s = -1;
  for (uint8_t b : kCheck) s = CalcNextCRC32(b, s);
  EXPECT_EQ(~s, CRC32ofBuffer(kCheck, 9));
}

TEST_P(CrcPaths, Crc32MatchesZlibForEveryLengthAndAlignment) {
  const TBytes data = RandomBytes(5000, 7);
  for (size_t offset = 0; offset < 16; offset += 5) {
    for (size_t n = 0; n + offset <= 400; ++n) {
      const TBytes part(data.begin() + offset, data.begin() + offset + n);
      ASSERT_EQ(static_cast<uint32_t>(CRC32ofBuffer(part, static_cast<int>(n))),
                WholeCrc32(part.data(), n))
          << "length " << n << " offset " << offset;
    }
  }
  for (size_t n : {4095, 4096, 4097, 4999, 5000})
    EXPECT_EQ(static_cast<uint32_t>(CRC32ofBuffer(data, static_cast<int>(n))), WholeCrc32(data.data(), n));
}

TEST_P(CrcPaths, UpdateCrc32InPiecesEqualsTheWhole) {
  const TBytes data = RandomBytes(3000, 3);
  const uint32_t whole = WholeCrc32(data.data(), data.size());
  for (size_t cut : {0, 1, 63, 64, 65, 100, 1500, 2999}) {
    uint32_t s = UpdateCRC32(0xFFFFFFFFu, {data.data(), cut});
    s = UpdateCRC32(s, {data.data() + cut, data.size() - cut});
    EXPECT_EQ(~s, whole) << "cut at " << cut;
  }
  uint16_t c16 = UpdateCRC16(0xFFFF, {data.data(), 777});
  c16 = UpdateCRC16(c16, {data.data() + 777, data.size() - 777});
  EXPECT_EQ(c16, CRC16ofBuffer(data, 3000, crcCCITT));
}

// The whole-sequence forms over a string, a span of std::byte and a TBytes
// give the buffer functions' values (and zlib's CRC-32) on every input.
TEST_P(CrcPaths, WholeSequenceFormsAgreeWithBufferFunctionsAndZlib) {
  const std::string random = testutil::RandomBytes(5000, 12);
  const std::string cases[] = {"", "1", "123456789", std::string("\0\xff\0", 3), "Gr\xc3\xbc\xc3\x9f""e",
                               random.substr(0, 63), random.substr(1, 64), random.substr(3, 65), random};
  for (const std::string& c : cases) {
    const TBytes b(c.begin(), c.end());
    const int n = static_cast<int>(b.size());
    const auto bytes = std::as_bytes(std::span(c));
    EXPECT_EQ(CRC32(c), static_cast<uint32_t>(CRC32ofBuffer(b, n))) << c.size() << " bytes";
    EXPECT_EQ(CRC32(c), WholeCrc32(b.data(), b.size())) << c.size() << " bytes";
    EXPECT_EQ(CRC32(bytes), CRC32(c));
    EXPECT_EQ(CRC32(b), CRC32(c));
    for (TCRC16Mode mode : {crcZModem, crcCCITT}) {
      EXPECT_EQ(CRC16(c, mode), CRC16ofBuffer(b, n, mode)) << c.size() << " bytes, mode " << int{mode};
      EXPECT_EQ(CRC16(bytes, mode), CRC16(c, mode));
      EXPECT_EQ(CRC16(b, mode), CRC16(c, mode));
    }
  }
  EXPECT_EQ(CRC32("123456789"), 0xCBF43926u);  // unsigned: no cast needed
  EXPECT_EQ(CRC16("123456789"), 0x31C3);        // ZMODEM unless told otherwise
  EXPECT_EQ(CRC16("123456789", crcCCITT), 0x29B1);
}

// Each carry-less multiply kernel the processor can run, called directly,
// against zlib: lengths around its block sizes (64 and 256 bytes), every
// start offset within a 64-byte line, and several start states.
TEST(Crc32, ClmulKernelsMatchZlib) {
  struct Kernel {
    const char* name;
    bool usable;
    uint32_t (*run)(uint32_t, const uint8_t*, size_t) noexcept;
  };
  const Kernel kernels[] = {{"clmul", detail::CpuHasClmul(), detail::Crc32Clmul},
                            {"vpclmul", detail::CpuHasVpclmul(), detail::Crc32Vpclmul}};
  const TBytes data = RandomBytes(70100, 9);
  int ran = 0;
  for (const Kernel& k : kernels) {
    if (!k.usable) continue;
    ++ran;
    for (size_t offset = 0; offset < 64; offset += 7) {
      const uint8_t* p = data.data() + offset;
      for (size_t n : {0, 1, 63, 64, 65, 79, 80, 127, 128, 129, 255, 256, 257, 319, 320, 383, 511,
                       512, 513, 767, 1000, 4096, 65536, 70000}) {
        // zlib takes and gives the state inverted.
        for (uint32_t start : {0xFFFFFFFFu, 0u, 0x12345678u}) {
          const uint32_t want = ~OtherCrc32(~start, p, n);
          ASSERT_EQ(k.run(start, p, n), want) << k.name << " length " << n << " offset " << offset;
        }
      }
    }
  }
  if (ran == 0) GTEST_SKIP() << "no carry-less multiply on this processor";
}

TEST(Crc32, OfFile) {
  testutil::TempDir dir("crc");
  dir.Put("check.txt", "123456789");
  dir.Put("empty", "");
  const TBytes big = RandomBytes(300000, 5);
  dir.Put("big.bin", std::string(big.begin(), big.end()));
  EXPECT_EQ(static_cast<uint32_t>(CalcCRC32ofFile(dir.Path("check.txt"))), 0xCBF43926u);
  EXPECT_EQ(CalcCRC32ofFile(dir.Path("empty")), 0);
  EXPECT_EQ(static_cast<uint32_t>(CalcCRC32ofFile(dir.Path("big.bin"))), WholeCrc32(big.data(), big.size()));
  EXPECT_EQ(CalcCRC32ofFile(dir.Path("missing")), 0);
  EXPECT_EQ(CalcCRC32ofFile(FromUtf8(dir.Dir())), 0);  // a directory cannot be read
}

}  // namespace
}  // namespace zel
