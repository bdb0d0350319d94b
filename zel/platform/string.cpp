#include "zel/platform/string.h"

#include <algorithm>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {
namespace {

// Windows-1252 bytes 0x80..0x9F.  Undefined bytes keep their C1 code.
constexpr Char kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(String& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<Char>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<Char>(0xD800 + (cp >> 10));
    out += static_cast<Char>(0xDC00 + (cp & 0x3FF));
  }
}

}  // namespace

Char AnsiToChar(AnsiChar b) noexcept {
  return (b >= 0x80 && b < 0xA0) ? kHigh1252[b - 0x80] : static_cast<Char>(b);
}

AnsiChar CharToAnsi(Char c, AnsiChar fallback) noexcept {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<AnsiChar>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh1252[i] == c) return static_cast<AnsiChar>(0x80 + i);
  }
  return fallback;
}

bool IsAnsiChar(Char c) noexcept {
  return CharToAnsi(c, 0) != 0 || c == 0;
}

size_t DecodeUtf8Char(std::string_view s, char32_t& cp) noexcept {
  if (s.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(s[0]);
  size_t len;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2; cp = b0 & 0x1F; min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3; cp = b0 & 0x0F; min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4; cp = b0 & 0x07; min = 0x10000;
  } else {
    return 0;
  }
  if (len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

String AnsiToString(std::string_view bytes) {
  String out(bytes.size(), u'\0');
  std::transform(bytes.begin(), bytes.end(), out.begin(), [](char b) {
    return AnsiToChar(static_cast<AnsiChar>(b));
  });
  return out;
}

std::string StringToAnsi(StringView s, AnsiChar fallback) {
  std::string out(s.size(), '\0');
  std::transform(s.begin(), s.end(), out.begin(), [fallback](Char c) {
    return static_cast<char>(CharToAnsi(c, fallback));
  });
  return out;
}

std::string ToUtf8(StringView s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() &&
        s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

String FromUtf8(std::string_view utf8) {
  String out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    const size_t len = DecodeUtf8Char(utf8.substr(i), cp);
    if (len == 0) {
      out += AnsiToChar(static_cast<AnsiChar>(utf8[i]));
      ++i;
    } else {
      AppendUtf16(out, cp);
      i += len;
    }
  }
  return out;
}

String S(std::string_view ascii_or_utf8) { return FromUtf8(ascii_or_utf8); }

ShortString ShortString::FromBytes(std::string_view bytes) noexcept {
  ShortString out;
  const size_t n = std::min<size_t>(bytes.size(), kCapacity);
  out.raw_[0] = static_cast<AnsiChar>(n);
  std::copy_n(bytes.begin(), n, out.raw_.begin() + 1);
  return out;
}

ShortString ToShortString(StringView s) {
  return ShortString::FromBytes(
      StringToAnsi(s.substr(0, std::min<size_t>(s.size(), ShortString::kCapacity))));
}

bool TryToShortString(StringView s, ShortString& out) {
  out = ToShortString(s);
  if (s.size() > static_cast<size_t>(ShortString::kCapacity)) return false;
  return std::all_of(s.begin(), s.end(), [](Char c) { return IsAnsiChar(c); });
}

}  // namespace zel
