#include "zel/dstruct/sha1.h"

#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#include <bcrypt.h>
#else
#include <openssl/sha.h>
#endif

#include <iterator>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/internal/kernels.h"
#include "zel/dstruct/internal/sha1_string.h"
#include "zel/platform/exceptions.h"
#include "zel/zelbase/types.h"
#include "zel/testutil/bytes.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

using testutil::RandomBytes;

// The digest by another implementation: OpenSSL, which the tests link on
// Linux; on Windows the system's own, bcrypt (an empty result there when it
// fails, which no comparison accepts).
String ReferenceHex(const std::string& bytes) {
  unsigned char md[20];
#if defined(_WIN32)
  BCRYPT_ALG_HANDLE alg = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  const bool ok = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA1_ALGORITHM, nullptr, 0)) &&
                  BCRYPT_SUCCESS(BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0)) &&
                  BCRYPT_SUCCESS(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                                static_cast<ULONG>(bytes.size()), 0)) &&
                  BCRYPT_SUCCESS(BCryptFinishHash(hash, md, sizeof md, 0));
  if (hash != nullptr) BCryptDestroyHash(hash);
  if (alg != nullptr) BCryptCloseAlgorithmProvider(alg, 0);
  if (!ok) return u"";
#else
  ::SHA1(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), md);
#endif
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
  for (size_t n = 0; n <= 300; ++n) ASSERT_EQ(StreamHex(data.substr(0, n)), ReferenceHex(data.substr(0, n))) << n;
  for (size_t n : {1023, 1024, 1025, 16383, 16384, 16385, 20000})
    EXPECT_EQ(StreamHex(data.substr(0, n)), ReferenceHex(data.substr(0, n))) << n;
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
    EXPECT_EQ(SHA1DigestToHex(h.Final()), ReferenceHex(data));
  }
  // Empty updates, with a null pointer, at the start, after a partial block
  // and after a full one change nothing.
  TSHA1 sparse;
  sparse.Update(nullptr, 0);
  sparse.Update(data.data(), 10);
  sparse.Update(nullptr, 0);
  sparse.Update(data.data() + 10, 54);
  sparse.Update(nullptr, 0);
  sparse.Update(data.data() + 64, data.size() - 64);
  EXPECT_EQ(SHA1DigestToHex(sparse.Final()), ReferenceHex(data));
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
    EXPECT_EQ(hex, ReferenceHex(c)) << c.size() << " bytes";
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

TEST_P(Sha1Paths, FromStringHashesTheUtf8Form) {
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(u"abc")), u"A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(u"")), u"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
  const String text = u"Grüße €";
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(text)), ReferenceHex(ToUtf8(text)));
  // Long enough for the vector encoders on the native path.
  String longer;
  for (int k = 0; k < 100; ++k) longer += u"Grüße € \U0001F600 ";
  EXPECT_EQ(SHA1DigestToHex(SHA1FromString(longer)), ReferenceHex(ToUtf8(longer)));
}

// The encoders this processor can run, with names for messages.
std::vector<std::pair<detail::Utf8Encoder, const char*>> AvailableEncoders() {
  std::vector<std::pair<detail::Utf8Encoder, const char*>> out;
  for (auto e : {std::pair{detail::Utf8Encoder::kScalar, "scalar"}, std::pair{detail::Utf8Encoder::kSsse3, "ssse3"},
                 std::pair{detail::Utf8Encoder::kAvx512, "avx512"}})
    if (detail::Utf8EncoderAvailable(e.first)) out.push_back(e);
  return out;
}

// The UTF-8 form goes to the digest in pieces: characters of every UTF-8
// length, surrogate pairs and unpaired surrogates must come out as ToUtf8
// writes them wherever the pieces are cut, by every encoder, and ASCII
// runs of every length around the vector steps.
TEST(Sha1, FromStringMatchesTheWholeUtf8FormAcrossPieces) {
  const Char kAlphabet[] = {u'a', u'z', u'~', 0x7F, 0x80, 0xE9, 0x7FF, 0x800, 0x20AC, 0xFFFF,
                            0xD83D, 0xDE00};  // the last two: high and low surrogates
  std::mt19937 rng(5);
  std::vector<String> texts;
  for (int trial = 0; trial < 40; ++trial) {
    const size_t length = trial < 20 ? 4090 + trial : rng() % 12000;
    String text;
    while (text.size() < length) {
      if (rng() % 3 != 0) {
        text.append(rng() % 20, static_cast<Char>(u'a' + rng() % 26));  // an ASCII run
      } else {
        text += kAlphabet[rng() % std::size(kAlphabet)];
      }
    }
    texts.push_back(text);
  }
  // A pair cut by the end of a piece: 4095 ASCII bytes leave too little room.
  for (size_t ascii = 4088; ascii <= 4100; ++ascii) texts.push_back(String(ascii, u'x') + u"\U0001F600\u20AC\xE9");
  // Pieces that end where a vector encoder runs out of room: long texts of
  // three-byte characters, pairs and a mix, whose pieces fill differently.
  texts.push_back(String(9000, u'\u20AC'));
  String pairs;
  for (int k = 0; k < 3000; ++k) pairs += u"\U0001F600";
  texts.push_back(pairs);
  for (const auto& [encoder, name] : AvailableEncoders())
    for (size_t t = 0; t < texts.size(); ++t)
      ASSERT_EQ(SHA1DigestToHex(detail::Sha1FromUtf16(texts[t], encoder)), ReferenceHex(ToUtf8(texts[t])))
          << name << " text " << t;
}

// Characters at every position around the vector encoders' steps (8, 32
// and 64 characters, and a pair that a step takes one character past its
// end), in ASCII text, where the all-ASCII shortcuts run up to them, and
// in non-ASCII text, where the general steps do.
TEST(Sha1, EveryEncoderAgreesAroundItsStepBoundaries) {
  const String kProbes[] = {
      u"\U0001F600",           // a pair
      u"\U00010000",           // the first pair, D800 DC00
      u"\U0010FFFF",           // the last, DBFF DFFF
      String(1, Char(0xD83D)),  // an unpaired high surrogate
      String(1, Char(0xDE00)),  // an unpaired low surrogate
      String{Char(0xDE00), Char(0xD83D)},               // low then high: two unpaired
      String{Char(0xD83D), Char(0xD83D), Char(0xDE00)},  // unpaired high, then a pair
      String(1, Char(0)),       // U+0000
      u"\x7F\x80",             // the ends of one and two bytes
      u"\u07FF\u0800",         // the ends of two and three bytes
      u"\uFFFF",
  };
  const Char kBackgrounds[] = {u'x', 0xE9};
  for (const auto& [encoder, name] : AvailableEncoders())
    for (Char background : kBackgrounds)
      for (size_t probe = 0; probe < std::size(kProbes); ++probe)
        for (size_t at = 0; at <= 140; ++at) {
          const String text = String(at, background) + kProbes[probe] + String(200 - at, background);
          ASSERT_EQ(SHA1DigestToHex(detail::Sha1FromUtf16(text, encoder)), ReferenceHex(ToUtf8(text)))
              << name << " probe " << probe << " at " << at << " background " << int(background);
        }
}

// An empty piece, even with no buffer, changes nothing (also after a
// partial block).
TEST(Sha1, EmptyUpdateWithoutDataChangesNothing) {
  TSHA1 h;
  h.Update(nullptr, 0);
  h.Update("ab", 2);
  h.Update(nullptr, 0);
  h.Update("c", 1);
  EXPECT_EQ(SHA1DigestToHex(h.Final()), u"A9993E364706816ABA3E25717850C26C9CD0D89D");
}

TEST(Sha1, FromFile) {
  testutil::TempDir dir("sha1");
  const std::string data = RandomBytes(100000, 6);
  dir.Put("data.bin", data);
  EXPECT_EQ(SHA1DigestToHex(SHA1FromFile(dir.Path("data.bin"))), ReferenceHex(data));
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
