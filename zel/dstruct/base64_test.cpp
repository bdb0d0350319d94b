#include "zel/dstruct/base64.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "zel/testutil/bytes.h"
#include "zel/testutil/python.h"

namespace zel {
namespace {

using testutil::Decoded;
using testutil::RandomBytes;

std::string Encode(const std::string& bytes, bool line_breaks) {
  return testutil::EncodeWith(EncodeBase64, bytes, line_breaks);
}
Decoded Decode(const std::string& text) { return testutil::DecodeWith(DecodeBase64, text); }

TEST(Base64, EncodesInLinesOf60WithCrLf) {
  EXPECT_EQ(Encode("", true), "");
  EXPECT_EQ(Encode(std::string(1, '\0'), true), "AA==\r\n");
  EXPECT_EQ(Encode(std::string(1, '\0'), false), "AA==");
  EXPECT_EQ(Encode("Ma", false), "TWE=");
  const std::string line45 = Encode(std::string(45, 'x'), true);
  EXPECT_EQ(line45.size(), 62u);
  EXPECT_EQ(line45.substr(60), "\r\n");
  const std::string two = Encode(std::string(46, 'x'), true);
  ASSERT_EQ(two.size(), 62u + 6u);
  EXPECT_EQ(two.substr(62), "eA==\r\n");
  EXPECT_EQ(Encode(std::string(90, 'x'), true).size(), 124u);  // no empty third line
}

TEST(Base64, EncodingMatchesPython) {
  ZEL_SKIP_WITHOUT_PYTHON();
  // Lengths around the 45-byte lines and the encoder's internal chunk; one
  // Python run encodes every case, with and without line breaks, and
  // separates the results by NUL (which Base64 text never holds).
  const size_t sizes[] = {0, 1, 2, 3, 44, 45, 46, 1000, 46079, 46080, 46081, 100000};
  std::string all, size_list, mine;
  for (size_t n : sizes) {
    const std::string data = RandomBytes(n, static_cast<uint32_t>(n));
    all += data;
    size_list += std::to_string(n) + ",";
    mine += Encode(data, true) + '\0' + Encode(data, false) + '\0';
  }
  std::string want;
  ASSERT_TRUE(testutil::RunPython(
      "import base64, binascii\n"
      "at = 0\n"
      "for n in [" + size_list + "]:\n"
      "    d = data[at:at + n]; at += n\n"
      "    sys.stdout.buffer.write(b''.join(base64.b64encode(d[i:i + 45]) + b'\\r\\n'"
      " for i in range(0, len(d), 45)) + b'\\0')\n"
      "    sys.stdout.buffer.write(binascii.b2a_base64(d, newline=False) + b'\\0')",
      all, want));
  EXPECT_TRUE(mine == want);  // not printed: megabytes of text
  EXPECT_EQ(mine.size(), want.size());
}

TEST(Base64, DecodingMatchesPythonOnRandomText) {
  ZEL_SKIP_WITHOUT_PYTHON();
  const std::string data = RandomBytes(70000, 9);
  std::string text;
  ASSERT_TRUE(testutil::RunPython("import base64\nsys.stdout.buffer.write(base64.encodebytes(data))",
                                  data, text));  // 76-character lines with LF
  const Decoded d = Decode(text);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.bytes, data);
}

TEST(Base64, RoundTripsEveryLengthWithLineBreaksAnywhere) {
  const std::string data = RandomBytes(400, 5);
  for (size_t n = 0; n <= data.size(); ++n) {
    const std::string part = data.substr(0, n);
    for (bool lb : {true, false}) {
      const Decoded d = Decode(Encode(part, lb));
      ASSERT_EQ(d.result, 0) << n;
      ASSERT_EQ(d.bytes, part) << n;
    }
  }
  // CR and LF in odd places, across the decoder's 88-character blocks.
  std::string text = Encode(data, false);
  for (ptrdiff_t at = static_cast<ptrdiff_t>(text.size()) - 1; at > 0; at -= 7)
    text.insert(static_cast<size_t>(at), at % 2 ? "\r" : "\n");
  const Decoded d = Decode(text);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.bytes, data);
}

TEST(Base64, DecodesPaddingAndJoinedEncodings) {
  EXPECT_EQ(Decode("TWFu").bytes, "Man");
  EXPECT_EQ(Decode("TWE=").bytes, "Ma");
  EXPECT_EQ(Decode("TQ==").bytes, "M");
  const Decoded joined = Decode("TQ==TWE=TWFu");
  EXPECT_EQ(joined.result, 0);
  EXPECT_EQ(joined.bytes, "MMaMan");
  EXPECT_EQ(Decode("").result, 0);
  EXPECT_EQ(Decode("\r\n").bytes, "");
}

TEST(Base64, InvalidInputReportsMinusOne) {
  // Each fault sits in the first block: nothing is written.
  for (const char* text : {"TW Fu", "TWFu\tTWFu", "TW.u", "T@Fu", "TWF{", "=WFu", "T=Fu", "TQ=.",
                           "TWFuT", "TWFuTW", "TWFuTWF", "TWFu\xC3\xA4xx"}) {
    const Decoded d = Decode(text);
    EXPECT_EQ(d.result, -1) << text;
    EXPECT_EQ(d.bytes, "") << text;
  }
}

TEST(Base64, AnErrorKeepsTheCompleteBlocksBeforeIt) {
  const std::string data = RandomBytes(200, 2);
  const std::string text = Encode(data, true);  // lines of 60 characters + CR LF
  // 88 counted characters make a block of 66 bytes.  A fault in the second
  // block keeps the first; one in the third keeps two.
  for (auto [fault_at, kept] : {std::pair{100, 66}, std::pair{88 + 2 + 87, 66}, std::pair{200, 132}}) {
    std::string bad = text;
    bad.insert(static_cast<size_t>(fault_at), "!");
    const Decoded d = Decode(bad);
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(d.bytes, data.substr(0, static_cast<size_t>(kept))) << fault_at;
  }
}

// The string forms run the stream codecs: the same text, the same bytes,
// and no bytes at all where the stream decoder reports a fault.
TEST(Base64, StringFormsAgreeWithStreamCodecs) {
  const std::string random = RandomBytes(5000, 11);
  for (const std::string& bytes : {std::string(), std::string("M"), std::string("Ma"), std::string("Man"),
                                   std::string("\0\xff", 2), random.substr(0, 45), random.substr(0, 46),
                                   random}) {
    for (bool lb : {false, true}) {
      const std::string text = ToBase64(bytes, lb);
      EXPECT_EQ(text, Encode(bytes, lb)) << bytes.size() << " bytes";
      const std::optional<std::string> back = FromBase64(text);
      ASSERT_TRUE(back.has_value()) << bytes.size() << " bytes";
      EXPECT_EQ(*back, bytes);
    }
  }
  EXPECT_EQ(ToBase64("Man"), "TWFu");  // no line break unless asked for
  for (const char* text : {"TQ==TWE=TWFu", "TW\r\nFu", "", "TWFu\r\n"}) {
    const Decoded d = Decode(text);
    const std::optional<std::string> back = FromBase64(text);
    ASSERT_EQ(d.result, 0) << text;
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(*back, d.bytes) << text;
  }
  // Invalid text gives no value, even where the stream form writes the
  // blocks before the fault.
  const std::string late_fault = ToBase64(random.substr(0, 300)) + "!";
  for (const std::string& text : {std::string("TW Fu"), std::string("T=Fu"), std::string("TWF"),
                                  std::string("TWFu\xC3\xA4xx"), late_fault}) {
    EXPECT_EQ(Decode(text).result, -1) << text;
    EXPECT_FALSE(FromBase64(text).has_value()) << text;
  }
  EXPECT_FALSE(Decode(late_fault).bytes.empty());
}

TEST(Base64, StreamsAreUsedFromTheirPositions) {
  TStringStream in("xxMan"), out("12");
  in.SetPosition(2);
  out.SetPosition(2);
  EncodeBase64(in, out, false);
  EXPECT_EQ(out.DataBytes(), "12TWFu");
  EXPECT_EQ(in.Position(), 5);
}

}  // namespace
}  // namespace zel
