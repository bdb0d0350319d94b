#include "zel/stringl/uucode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include <unistd.h>

#include "zel/testutil/python.h"

namespace zel {
namespace {

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

// Python's binascii encoding of each of `inputs`, 45 bytes per line, zeros
// as '`'.  One child process for all of them.
std::vector<std::string> PythonUU(const std::vector<std::string>& inputs) {
  char path[] = "/tmp/zel_uu_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return {};
  close(fd);
  {
    std::ofstream f(path);
    for (const auto& in : inputs) f << Hex(in) << "\n";
  }
  const std::string cmd =
      std::string("python3 -c \"import binascii,sys\n"
                  "for h in open(sys.argv[1]).read().split('\\n')[:-1]:\n"
                  "  d=bytes.fromhex(h)\n"
                  "  print(b''.join(binascii.b2a_uu(d[i:i+45],backtick=True) "
                  "for i in range(0,len(d),45)).hex())\" ") + path;
  std::vector<std::string> out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    pclose(p);
    for (size_t b = 0, e; (e = text.find('\n', b)) != std::string::npos; b = e + 1) {
      out.push_back(Unhex(text.substr(b, e - b)));
    }
  }
  std::remove(path);
  return out;
}

std::string PythonUU(const std::string& bytes) {
  const auto out = PythonUU(std::vector<std::string>{bytes});
  return out.empty() ? "python3 failed" : out[0];
}

// Strings of every length up to 100 (one line, two lines, a partial last
// group), ASCII, Latin-1, other planes and surrogate pairs.
std::vector<String> Samples() {
  std::mt19937 rng(7);
  using namespace std::literals;
  constexpr StringView pool = u"abcXYZ 019\n\r\t\0äöüß€漢\U0001F600"sv;  // with code 0
  std::vector<String> samples;
  for (int len = 0; len <= 100; ++len) {
    String s;
    while (static_cast<int>(s.size()) < len) {
      Char c = pool[rng() % pool.size()];
      if (c >= 0xD800 && c <= 0xDFFF) {  // keep pairs whole
        s += u"\U0001F600";
      } else {
        s += c;
      }
    }
    samples.push_back(s);
  }
  return samples;
}

TEST(UUCode, EncodesAsPythonBinascii) {
  ZEL_SKIP_WITHOUT_PYTHON();
  EXPECT_EQ(UUEncodeStr(u"Cat"), u"#0V%T\n");
  EXPECT_EQ(UUEncodeStr(u""), u"");
  const std::vector<String> samples = Samples();
  std::vector<std::string> utf8;
  for (const String& s : samples) utf8.push_back(ToUtf8(s));
  const std::vector<std::string> want = PythonUU(utf8);
  ASSERT_EQ(want.size(), samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    ASSERT_EQ(ToUtf8(UUEncodeStr(samples[i])), want[i]) << utf8[i];
  }
}

TEST(UUCode, DecodesPythonOutputAndRoundTrips) {
  ZEL_SKIP_WITHOUT_PYTHON();
  const std::vector<String> samples = Samples();
  std::vector<std::string> utf8;
  for (const String& s : samples) utf8.push_back(ToUtf8(s));
  const std::vector<std::string> encoded = PythonUU(utf8);
  ASSERT_EQ(encoded.size(), samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    ASSERT_EQ(UUDecodeStr(FromUtf8(encoded[i])), samples[i]) << utf8[i];
    ASSERT_EQ(UUDecodeStr(UUEncodeStr(samples[i])), samples[i]) << utf8[i];
  }
}

TEST(UUCode, ReadsFramedAndLooseText) {
  const String body = UUEncodeStr(u"Hello, World! Hello, World! Hello, World! Hello!");
  EXPECT_EQ(UUDecodeStr(u"begin 644 hello.txt\r\n" + body + u"`\nend\n"),
            u"Hello, World! Hello, World! Hello, World! Hello!");
  // CR LF line ends, blanks for zero groups, a line cut short.
  EXPECT_EQ(UUDecodeStr(u"#0V%T\r\n"), u"Cat");
  EXPECT_EQ(UUDecodeStr(u"!0` `\n"), u"@");  // '`' and ' ' both mean 0
  EXPECT_EQ(UUDecodeStr(u"!0\n"), u"@");     // missing groups read as 0
  // Nothing after the end line is data.
  EXPECT_EQ(UUDecodeStr(u"#0V%T\nend\n#0V%T\n"), u"Cat");
  EXPECT_EQ(UUDecodeStr(u"#0V%T\n`\n#0V%T\n"), u"Cat");
}

TEST(UUCode, RejectsWhatIsNoUUText) {
  EXPECT_EQ(UUDecodeStr(u"#0V%t\n"), u"");     // 't' is no UU character
  EXPECT_EQ(UUDecodeStr(u"#0V\x80T\n"), u"");
  EXPECT_EQ(UUDecodeStr(u"~abc\n"), u"");      // '~' is no length character
  EXPECT_EQ(UUDecodeStr(u"_" + String(80, u'!') + u"\n"), u"");  // 63 > 45 bytes
  EXPECT_EQ(UUDecodeStr(u"#0V%T\n#0V%\x01\n"), u"");  // good lines do not save a bad one
}

TEST(UUCode, InvalidUtf8DecodesAsWindows1252) {
  ZEL_SKIP_WITHOUT_PYTHON();
  // The bytes 0xE4 0x80 are no UTF-8: read as "ä" and "€".
  EXPECT_EQ(UUDecodeStr(FromUtf8(PythonUU("\xE4\x80"))), u"ä€");
}

}  // namespace
}  // namespace zel
