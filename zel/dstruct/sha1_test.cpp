#include "zel/dstruct/sha1.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <random>
#include <span>
#include <string>

#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/platform/exceptions.h"
#include "zel/zelbase/types.h"
#include "zel/testutil/bytes.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

using testutil::RandomBytes;

String OpenSslHex(const std::string& bytes) {
  unsigned char md[SHA_DIGEST_LENGTH];
  ::SHA1(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), md);
  TSHACode d;
  std::copy(md, md + 20, d.begin());
  return SHA1DigestToHex(d);
}

String StreamHex(const std::string& bytes) {
  TStringStream s{std::string_view(bytes)};
  return SHA1DigestToHex(SHA1FromStream(s));
}

class Sha1Paths : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { detail::ForcePortableKernels(GetParam()); }
  void TearDown() override { detail::ForcePortableKernels(false); }
};
INSTANTIATE_TEST_SUITE_P(Sha1, Sha1Paths, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "portable" : "native"; });

TEST_P(Sha1Paths, KnownDigests) {
  struct Case {
    std::string in;
    const char16_t* hex;
  };
  const Case cases[] = {
      {"", u"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"abc", u"A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: two blocks
       u"84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {std::string(1000000, 'a'), u"34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
  };
  for (const auto& c : cases) EXPECT_EQ(StreamHex(c.in), c.hex) << c.in.size() << " bytes";
}

TEST_P(Sha1Paths, MatchesOpenSslAroundEveryBlockBoundary) {
  const std::string data = RandomBytes(20000, 1);
  for (size_t n = 0; n <= 300; ++n) ASSERT_EQ(StreamHex(data.substr(0, n)), OpenSslHex(data.substr(0, n))) << n;
  for (size_t n : {1023, 1024, 1025, 16383, 16384, 16385, 20000})
    EXPECT_EQ(StreamHex(data.substr(0, n)), OpenSslHex(data.substr(0, n))) << n;
}

TEST_P(Sha1Paths, PiecewiseUpdatesEqualOneUpdate) {
  const std::string data = RandomBytes(1000, 2);
  std::mt19937 rng(3);
  for (int trial = 0; trial < 50; ++trial) {
    TSHA1 h;
    for (size_t at = 0; at < data.size();) {
      const size_t n = std::min<size_t>(rng() % 150, data.size() - at);
      h.Update(data.data() + at, n);
      at += n;
    }
    EXPECT_EQ(SHA1DigestToHex(h.Final()), OpenSslHex(data));
  }
  TSHA1 reused;  // Final starts afresh
  reused.Update("x", 1);
  reused.Final();
  reused.Update("abc", 3);
  EXPECT_EQ(SHA1DigestToHex(reused.Final()), u"A9993E364706816ABA3E25717850C26C9CD0D89D");
}

// The byte-sequence forms hash what they are given as it is: the same
// digest as the stream form, OpenSSL and each other.
TEST_P(Sha1Paths, ByteSequenceFormsAgreeWithStreamFormAndOpenSsl) {
  const std::string random = RandomBytes(5000, 8);
  const std::string cases[] = {"", "abc", std::string("\0\xff\0", 3), "Gr\xc3\xbc\xc3\x9f""e",
                               random.substr(0, 55), random.substr(0, 56), random.substr(1, 64),
                               random.substr(2, 119), random};
  for (const std::string& c : cases) {
    const TBytes b(c.begin(), c.end());
    const String hex = SHA1DigestToHex(SHA1(c));
    EXPECT_EQ(hex, StreamHex(c)) << c.size() << " bytes";
    EXPECT_EQ(hex, OpenSslHex(c)) << c.size() << " bytes";
    EXPECT_EQ(SHA1(std::as_bytes(std::span(c))), SHA1(c));
    EXPECT_EQ(SHA1(b), SHA1(c));
  }
  // UTF-8 text: the same digest as the UTF-16 string form.
  EXPECT_EQ(SHA1("Gr\xc3\xbc\xc3\x9f""e"), SHA1FromString(u"Grüße"));
}

TEST(Sha1, ShaNiKernelAgreesWithPortableKernel) {
  if (!detail::CpuHasShaNi()) GTEST_SKIP() << "no SHA extensions on this processor";
  const std::string data = RandomBytes(64 * 40, 4);
  const auto* p = reinterpret_cast<const uint8_t*>(data.data());
  uint32_t a[5] = {1, 2, 3, 4, 5}, b[5] = {1, 2, 3, 4, 5};
  detail::Sha1BlocksPortable(a, p, 40);
  detail::Sha1BlocksShaNi(b, p, 40);
  EXPECT_TRUE(std::equal(a, a + 5, b));
}

TEST(Sha1, FromStreamStartsAtThePositionAndLeavesTheStreamAtItsEnd) {
  TStringStream s("xxabc");
  s.SetPosition(2);
  EXPECT_EQ(SHA1DigestToHex(SHA1FromStream(s)), u"A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(SHA1DigestToHex(SHA1FromStream(s)), u"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST(Sha1, FromStringHashesTheUtf8Form) {
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(u"abc")), u"A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(u"")), u"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
  const String text = u"Grüße €";
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(text)), OpenSslHex(ToUtf8(text)));
}

TEST(Sha1, FromFile) {
  testutil::TempDir dir("sha1");
  const std::string data = RandomBytes(100000, 6);
  dir.Put("data.bin", data);
  EXPECT_EQ(SHA1DigestToHex(SHA1FromFile(dir.Path("data.bin"))), OpenSslHex(data));
  EXPECT_THROW(SHA1FromFile(dir.Path("missing")), EFOpenError);
}

TEST(Sha1, DigestToHexIsUpperCaseHighNibbleFirst) {
  TSHACode d{};
  d[0] = 0x0A;
  d[19] = 0xF1;
  EXPECT_EQ(SHA1DigestToHex(d), u"0A000000000000000000000000000000000000F1");
}

}  // namespace
}  // namespace zel
