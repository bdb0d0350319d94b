#include "zel/platform/string.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// ToUtf8 goes eight characters at a time and in pieces of 4096: a
// character of each length at every place in an ASCII stretch, and pairs
// and lone halves across the piece ends, give what encoding each character
// on its own gives.
TEST(Utf8, EveryPlaceAroundTheBlockAndPieceEnds) {
  const std::vector<std::pair<String, std::string>> odd = {
      {u"\u00E9", "\xC3\xA9"},
      {u"\u20AC", "\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {String(1, Char{0xD800}), "\xEF\xBF\xBD"},
      {String(1, Char{0xDC00}), "\xEF\xBF\xBD"},
      {u"\u007F", "\x7F"},
  };
  for (const auto& [chars, bytes] : odd) {
    for (const size_t size : {size_t{20}, size_t{4096 + 8}, size_t{8192 + 3}}) {
      for (size_t at = 0; at + chars.size() <= size; ++at) {
        // Only near the block steps at the ends of pieces for the long ones.
        if (size > 20 && at > 20 && (at < 4080 || at > 4100) && at + 20 < size) continue;
        String text(size, u'x');
        text.replace(at, chars.size(), chars);
        const std::string want = std::string(at, 'x') + bytes + std::string(size - at - chars.size(), 'x');
        EXPECT_EQ(ToUtf8(text), want) << size << " " << at << " " << bytes.size();
      }
    }
  }
  // A piece of three-byte characters only, then a pair across its end:
  // the most a piece can write.
  std::string want;
  for (int k = 0; k < 4095; ++k) want += "\xE2\x82\xAC";
  EXPECT_EQ(ToUtf8(String(4095, u'\u20AC') + u"\U0001F600\u20AC"), want + "\xF0\x9F\x98\x80\xE2\x82\xAC");
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

// The block paths (ASCII runs widened 16 at a time, bytes straight to
// Windows-1252) against the plain character-by-character meaning.
TEST(Utf8, AppendAndShortBytesAgreeWithTheCharacterwiseConversions) {
  const std::string pad(37, 'a');
  const std::string samples[] = {
      "", "plain", "caf\xE9", "\x80\x81\x9D", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x82",
      "\xF0\x9F\x98\x80", "Gr\xC3\xBC\xC3\x9F" "e\xC5\x81", std::string(300, 'x'), std::string(255, 'w'),
      std::string(254, 'y') + "\xF0\x9F\x98\x80",  // a pair cut at the 255th unit
      std::string(254, 'z') + "\xC5\x81\xC3\xBC"};
  for (const std::string& core : samples) {
    for (const std::string& bytes : {core, pad + core + pad}) {
      // Reference: decode one sequence (or one byte) at a time.
      String want;
      for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        const size_t len = DecodeUtf8Char(std::string_view(bytes).substr(i), cp);
        if (len == 0) {
          want += AnsiToChar(static_cast<AnsiChar>(bytes[i++]));
          continue;
        }
        i += len;
        if (cp < 0x10000) {
          want += static_cast<Char>(cp);
        } else {
          want += static_cast<Char>(0xD800 + ((cp - 0x10000) >> 10));
          want += static_cast<Char>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
      }
      String got = u"pre";
      AppendFromUtf8(got, bytes);
      EXPECT_EQ(got, u"pre" + want) << bytes;
      char cell[255];
      bool exact = false;
      const size_t n = Utf8ToShortBytes(bytes, cell, &exact);
      ShortString stored;
      EXPECT_EQ(exact, TryToShortString(want, stored)) << bytes;
      EXPECT_EQ(std::string_view(cell, n), stored.Bytes()) << bytes;
    }
  }
  String widened = u"x";
  AppendByteChars(widened, std::string("\x00\x7F\x80\xFF", 4));
  EXPECT_EQ(widened, String(u"x\u0000\u007F\u0080\u00FF", 5));
  EXPECT_EQ(AsciiPrefixLength(pad + "\xC3" + pad), pad.size());
  // Every length around the 8- and 16-byte steps, the high byte anywhere
  // (or nowhere), and bytes after it that are high or not.
  for (size_t len = 0; len <= 40; ++len) {
    for (size_t at = 0; at <= len; ++at) {
      std::string s(len, 'q');
      if (at < len) s[at] = '\x80';
      if (at + 1 < len) s[len - 1] = '\xFF';
      EXPECT_EQ(AsciiPrefixLength(s), at) << len << " " << at;
    }
  }
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

// Only the length byte and the characters are written; a value reused for a
// shorter one still shows zeros past its length, through operator[] and Raw().
TEST(ShortStringTest, BytesPastTheLengthReadAsZero) {
  ShortString s = ShortString::FromBytes("a much longer value");
  s.Assign("abc");
  ShortString copy = ShortString::FromBytes(std::string(200, 'z'));
  copy = s;
  for (const ShortString* v : {&s, &copy}) {
    EXPECT_EQ(v->Bytes(), "abc");
    const std::array<AnsiChar, 256> raw = v->Raw();
    EXPECT_EQ(raw[0], 3);
    EXPECT_EQ(raw[3], 'c');
    for (int i = 4; i < 256; ++i) {
      EXPECT_EQ((*v)[i], 0) << i;
      EXPECT_EQ(raw[static_cast<size_t>(i)], 0) << i;
    }
  }
  // Assign from a view of the string itself (a suffix moves to the front),
  // at each length the copy handles its own way.
  const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (size_t len = 0; len + 3 <= text.size(); ++len) {
    s.Assign(text.substr(0, len + 3));
    s.Assign(s.Bytes().substr(3));
    EXPECT_EQ(s.Bytes(), text.substr(3, len)) << len;
    s.Assign(s.Bytes().substr(0, len / 2));  // a prefix of itself
    EXPECT_EQ(s.Bytes(), text.substr(3, len / 2)) << len;
  }
  s.Assign(std::string(300, 'q'));
  EXPECT_EQ(s.Length(), 255);
}

// TryToShortString stores what ToShortString stores and says whether that
// is the text itself.
TEST(ShortStringTest, TryTellsWhetherTheTextWasKept) {
  struct Case {
    StringView text;
    bool exact;
    std::string_view bytes;
  };
  const String s255(255, u'x'), s256(256, u'x');
  const Case cases[] = {
      {u"Zürich", true, "Z\xFCrich"}, {u"€uro", true, "\x80uro"}, {u"", true, ""},
      {u"Łódź", false, "?\xF3" "d?"},     {u"東京", false, "??"},
      {s255, true, std::string_view()},  {s256, false, std::string_view()},
  };
  for (const Case& c : cases) {
    ShortString out;
    EXPECT_EQ(TryToShortString(c.text, out), c.exact) << ToUtf8(c.text);
    EXPECT_EQ(out, ToShortString(c.text)) << ToUtf8(c.text);
    if (!c.bytes.empty()) {
      EXPECT_EQ(out.Bytes(), c.bytes);
    }
  }
}

}  // namespace
}  // namespace zel
