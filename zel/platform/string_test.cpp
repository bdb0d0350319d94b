#include "zel/platform/string.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(Windows1252, EveryByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const Char c = AnsiToChar(static_cast<AnsiChar>(b));
    ASSERT_EQ(CharToAnsi(c), b) << b;
    ASSERT_TRUE(IsAnsiChar(c));
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(StringToAnsi(AnsiToString(all)), all);
}

TEST(Windows1252, KnownMappingsAndTheFiveUndefinedBytes) {
  EXPECT_EQ(AnsiToChar(0x80), u'\u20AC');
  EXPECT_EQ(AnsiToChar(0x8A), u'\u0160');
  EXPECT_EQ(AnsiToChar(0x9F), u'\u0178');
  EXPECT_EQ(AnsiToChar(0xE9), u'\u00E9');
  EXPECT_EQ(AnsiToChar(0x41), u'A');
  for (AnsiChar b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(AnsiToChar(b), static_cast<Char>(b));  // the C1 control of the same code
  }
  EXPECT_EQ(CharToAnsi(u'\u0141'), '?');
  EXPECT_EQ(CharToAnsi(u'\u0141', '#'), '#');
  EXPECT_EQ(CharToAnsi(u'\u0080'), '?');  // C1 0x80 is not a 1252 byte: 0x80 is the euro
  EXPECT_FALSE(IsAnsiChar(u'\u0141'));
  EXPECT_TRUE(IsAnsiChar(u'\0'));
  EXPECT_EQ(StringToAnsi(u"a\u0141\u20AC", '_'), "a_\x80");
}

TEST(Utf8, RoundTripsEveryPlane) {
  const String text = u"A\u00E9\u20AC\uFFFD\U0001F600z";
  const std::string utf8 = ToUtf8(text);
  EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD\xF0\x9F\x98\x80z");
  EXPECT_EQ(FromUtf8(utf8), text);
  EXPECT_EQ(S("Grüße"), u"Grüße");
  // Every BMP character outside the surrogates survives.
  String bmp;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) bmp += static_cast<Char>(c);
  }
  EXPECT_EQ(FromUtf8(ToUtf8(bmp)), bmp);
}

TEST(Utf8, UnpairedSurrogatesBecomeReplacementCharacter) {
  EXPECT_EQ(ToUtf8(u"a\xD800" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(ToUtf8(String(1, Char{0xDC00})), "\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(String(1, Char{0xD83D})), "\xEF\xBF\xBD");  // high half at the end
}

TEST(Utf8, InvalidBytesReadAsWindows1252) {
  struct Case { std::string bytes; String text; };
  const Case cases[] = {
      {"caf\xE9", u"café"},                     // old 8-bit text
      {"\x80", u"\u20AC"},                       // lone continuation byte
      {"\xC0\xAF", u"\u00C0\u00AF"},             // overlong form
      {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},   // encoded surrogate
      {"\xE2\x82", u"\u00E2\u201A"},             // cut sequence
      {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"},  // beyond U+10FFFF
      {"\xF8", u"\u00F8"},
      {"\xE2\x82\xACx", u"\u20ACx"},             // valid again afterwards
  };
  for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.text);
}

TEST(ShortStringTest, CutsAt255AndKeepsTheLengthByte) {
  const String long_text(300, u'x');
  const ShortString s = ToShortString(long_text);
  EXPECT_EQ(s.Length(), 255);
  EXPECT_EQ(s.Raw()[0], 255);
  EXPECT_EQ(s.ToString(), String(255, u'x'));
  EXPECT_EQ(ShortString::FromBytes(std::string(256, 'y')).Length(), 255);

  const ShortString g = ToShortString(u"Grüße\u0141");
  EXPECT_EQ(g.Bytes(), "Gr\xFC\xDF" "e?");
  EXPECT_EQ(g[3], 0xFC);
  EXPECT_EQ(g[0], 6);  // the length byte
  // Outside the 256 stored bytes: 0, not a read past the block.
  for (const int i : {-1, 256, 1000}) EXPECT_EQ(g[i], 0) << i;
  EXPECT_EQ(g.ToString(), u"Grüße?");
  EXPECT_TRUE(ShortString().Empty());
  EXPECT_EQ(ToShortString(u"ab"), ShortString::FromBytes("ab"));
  EXPECT_FALSE(ToShortString(u"ab") == ShortString::FromBytes("abc"));
}

}  // namespace
}  // namespace zel
