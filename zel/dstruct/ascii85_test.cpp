#include "zel/dstruct/ascii85.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "zel/testutil/bytes.h"
#include "zel/testutil/python.h"

namespace zel {
namespace {

// Random bytes with every `zero_every`-th group of four all zero.
std::string RandomBytes(size_t n, uint32_t seed, int zero_every) {
  std::string b = testutil::RandomBytes(n, seed);
  for (size_t i = 0; i < n; ++i)
    if ((i / 4) % size_t(zero_every) == 0) b[i] = '\0';
  return b;
}

using testutil::Decoded;

std::string Encode(const std::string& bytes, bool line_breaks = true) {
  return testutil::EncodeWith(EncodeASCII85, bytes, line_breaks);
}
Decoded Decode(const std::string& text) { return testutil::DecodeWith(DecodeASCII85, text); }

TEST(Ascii85, EncodeExamples) {
  struct Case {
    std::string in, text;
  };
  const Case cases[] = {
      {"", "~>"},
      {std::string(4, '\0'), "z~>"},
      {std::string(1, '\0'), "!!~>"},
      {"Man ", "9jqo^~>"},
      {"ab", "$G:~>"},  // the two-byte number, not zero-padded
      {std::string(8, '\0') + "\x07", "zz!(~>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Encode(c.in), c.text) << c.text;
}

TEST(Ascii85, TwelveGroupsMakeALineAndZDoesNotCount) {
  const std::string groups12 = Encode(std::string(48, 'x'));
  EXPECT_EQ(groups12.size(), 60u + 2u + 2u);
  EXPECT_EQ(groups12.substr(60), "\r\n~>");
  EXPECT_EQ(Encode(std::string(48, 'x'), false).size(), 62u);
  // A final short group counts too; z groups do not.
  const std::string with_z = Encode(std::string(44, 'x') + std::string(4, '\0') + "xy");
  EXPECT_EQ(with_z[55], 'z');
  EXPECT_EQ(with_z.size(), 55u + 1u + 3u + 2u + 2u);
  EXPECT_EQ(with_z.substr(with_z.size() - 4), "\r\n~>");
}

TEST(Ascii85, FullGroupsMatchPython) {
  ZEL_SKIP_WITHOUT_PYTHON();
  // Python pads a final short group with zeros, so the comparison takes
  // whole groups only; a85encode writes 'z' for zero groups as we do.
  const std::string data = RandomBytes(4 * 5000, 3, 7);
  std::string want;
  ASSERT_TRUE(testutil::RunPython("import base64\nsys.stdout.buffer.write(base64.a85encode(data))", data,
                                  want));
  EXPECT_EQ(Encode(data, false), want + "~>");
  const Decoded d = Decode(want + "~>");
  EXPECT_EQ(d.result, 0);
  EXPECT_TRUE(d.bytes == data);
}

TEST(Ascii85, RoundTripsEveryLength) {
  const std::string data = RandomBytes(300, 8, 5);
  for (size_t n = 0; n <= data.size(); ++n) {
    for (bool lb : {true, false}) {
      const Decoded d = Decode(Encode(data.substr(0, n), lb));
      ASSERT_EQ(d.result, 0) << n;
      ASSERT_EQ(d.bytes, data.substr(0, n)) << n;
    }
  }
  const std::string big = RandomBytes(200003, 4, 9);  // beyond the internal chunks
  EXPECT_TRUE(Decode(Encode(big)).bytes == big);
}

TEST(Ascii85, DecodeResults) {
  struct Case {
    const char* text;
    int result;
    std::string bytes;
  };
  const Case cases[] = {
      {"z~>", 0, std::string(4, '\0')},
      {"9jq\r\no^~>", 0, "Man "},
      {"~>", 0, ""},
      {"!~>", 0, ""},           // one character makes no byte
      {"9jqov~>", -1, ""},      // 'v' is no digit
      {"9j o^~>", -1, ""},      // nor is a blank
      {"9jqz^~>", -2, ""},      // 'z' inside a group
      {"9jqz^9j o^~>", -1, ""}, // the last bad character decides
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(c.text);
    EXPECT_EQ(d.result, c.result) << c.text;
    if (c.result == 0) {
      EXPECT_EQ(d.bytes, c.bytes) << c.text;
    } else {
      EXPECT_EQ(d.bytes.size(), std::string(c.text).size() / 5 * 4) << c.text;  // decoded anyway
    }
  }
}

TEST(Ascii85, StopsAtTheEndMarkerAndLeavesTheRestUnread) {
  TStringStream in("9jqo^~>after"), out;
  EXPECT_EQ(DecodeASCII85(in, out), 0);
  EXPECT_EQ(out.DataBytes(), "Man ");
  EXPECT_EQ(in.Position(), 6);  // just after '~'
}

TEST(Ascii85, MissingEndMarkerDecodesTheLastGroupAsRead) {
  EXPECT_EQ(Decode("9jqo^$G:").bytes, "Man ab");
  EXPECT_EQ(Decode("9jqo^").bytes, "Man ");
  EXPECT_EQ(Decode("z").bytes, std::string(4, '\0'));
}

// The string forms run the stream codecs: the same text and, for every
// text the stream decoder takes without a fault, the same bytes.
TEST(Ascii85, StringFormsAgreeWithStreamCodecs) {
  const std::string random = RandomBytes(3000, 6, 5);
  for (const std::string& bytes : {std::string(), std::string("a"), std::string("ab"), std::string("Man "),
                                   std::string(4, '\0'), std::string("\xff\xff\xff\xff\xff", 5),
                                   random.substr(0, 47), random.substr(0, 48), random}) {
    for (bool lb : {false, true}) {
      const std::string text = ToASCII85(bytes, lb);
      EXPECT_EQ(text, Encode(bytes, lb)) << bytes.size() << " bytes";
      const std::optional<std::string> back = FromASCII85(text);
      ASSERT_TRUE(back.has_value()) << bytes.size() << " bytes";
      EXPECT_EQ(*back, bytes);
    }
  }
  EXPECT_EQ(ToASCII85(std::string(48, 'x')).find('\r'), std::string::npos);
  for (const char* text : {"9jq\r\no^~>", "z~>", "9jqo^$G:", "s8W-!~>", "s8W-!~>\r\n", "~>", ""}) {
    const Decoded d = Decode(text);
    const std::optional<std::string> back = FromASCII85(text);
    ASSERT_EQ(d.result, 0) << text;
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(*back, d.bytes) << text;
  }
}

TEST(Ascii85, StringDecodingRefusesWhatTheStreamDecoderLetsPass) {
  struct Case {
    const char* text;
    int stream_result;  // what DecodeASCII85 reports for the same text
  };
  const Case cases[] = {
      {"9jqov~>", -1},       // not a digit
      {"9j o^~>", -1},       // a blank
      {"9jqz^~>", -2},       // 'z' inside a group
      {"s8W-\"~>", 0},       // 2^32: five digits above "s8W-!" wrap round
      {"uuuuu~>", 0},        // the largest five digits
      {"9jqo^$\"~>", 0},     // two digits for 256: above one byte ("$!" is 255)
      {"9jqo^!~>", 0},       // a final group of one character gives nothing
      {"9jqo^~>after", 0},   // text after the end marker
      {"9jqo^~", 0},         // '~' without '>'
      {"9jqo^~x>", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decode(c.text).result, c.stream_result) << c.text;
    EXPECT_FALSE(FromASCII85(c.text).has_value()) << c.text;
  }
  // The largest values that fit are taken.
  EXPECT_EQ(FromASCII85("$!~>"), std::optional<std::string>("\xff"));
  EXPECT_EQ(FromASCII85("s8W-!~>"), std::optional<std::string>("\xff\xff\xff\xff"));
}

}  // namespace
}  // namespace zel
