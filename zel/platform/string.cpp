#include "zel/platform/string.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "zel/platform/export.h"
#include "zel/platform/internal/codepoints.h"

namespace ZEL_EXPORT zel {
namespace {

// Windows-1252 bytes 0x80..0x9F.  Undefined bytes keep their C1 code.
constexpr Char kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};



#if defined(__SSE2__)
// How many of the eight characters at p lead below 0x80 (8: all of them).
size_t LeadingAsciiOf8(const Char* p) noexcept {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const auto ascii = static_cast<unsigned>(_mm_movemask_epi8(
      _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128())));
  return ascii == 0xFFFF ? 8 : static_cast<size_t>(__builtin_ctz(~ascii)) / 2;
}
#endif

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
  // Written through a pointer into room made a piece at a time: a piece of
  // n characters needs at most 3n bytes (a pair: 4 bytes for 2), plus 3
  // for a pair whose second half lies past the piece.
  constexpr size_t kPiece = 4096;
  const Char* p = s.data();
  const size_t n = s.size();
  // The ASCII characters in front (often all of them) take just their room,
  // so a short string stays in the string's own buffer.
  size_t i = 0;
#if defined(__SSE2__)
  while (i + 8 <= n && LeadingAsciiOf8(p + i) == 8) i += 8;
#endif
  while (i < n && p[i] < 0x80) ++i;
  std::string out(i, '\0');
  for (size_t k = 0; k < i; ++k) out[k] = static_cast<char>(p[k]);
  while (i < n) {
    const size_t piece_end = std::min(n, i + kPiece);
    const size_t at = out.size();
    out.resize(at + 3 * (piece_end - i) + 3);
    char* o = out.data() + at;
    while (i < piece_end) {
#if defined(__SSE2__)
      // Eight characters at a time: their bytes are stored whatever they
      // are, and as many kept as lead the eight below 0x80.
      if (piece_end - i >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
        const size_t run = LeadingAsciiOf8(p + i);
        o += run;
        i += run;
        if (run == 8) continue;
      }
#endif
      o = detail::WriteUtf8(o, detail::NextCodePoint(s, i));
    }
    out.resize(static_cast<size_t>(o - out.data()));
  }
  return out;
}

size_t AsciiPrefixLength(std::string_view bytes) noexcept {
  const char* p = bytes.data();
  const size_t n = bytes.size();
  size_t i = 0;
#if defined(__SSE2__)
  // 16 bytes at a time; the last 16 overlap what was checked, so short
  // tails need no loop of their own.
  if (n >= 16) {
    for (; i + 16 <= n; i += 16) {
      const auto top = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i))));
      if (top != 0) return i + static_cast<size_t>(__builtin_ctz(top));
    }
    if (i == n) return n;
    const auto top = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16))));
    return top == 0 ? n : n - 16 + static_cast<size_t>(__builtin_ctz(top));
  }
#endif
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080u) break;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

namespace {

// Widens n bytes to n characters of the same codes.
void Widen(const unsigned char* src, size_t n, Char* dst) noexcept {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const auto block16 = [&](size_t at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at + 8), _mm_unpackhi_epi8(v, zero));
  };
  const auto block8 = [&](size_t at) {
    const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at), _mm_unpacklo_epi8(v, zero));
  };
  if (n >= 16) {
    for (; i + 16 <= n; i += 16) block16(i);
    if (i < n) block16(n - 16);  // the tail, overlapping bytes already done
    return;
  }
  if (n >= 8) {
    block8(0);
    block8(n - 8);
    return;
  }
#endif
  for (; i < n; ++i) dst[i] = src[i];
}

}  // namespace

void AssignByteChars(String& out, std::string_view bytes) {
  out.resize(bytes.size());  // fills only what grows
  Widen(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data());
}

void AppendByteChars(String& out, std::string_view bytes) {
  const size_t old = out.size();
  out.resize(old + bytes.size());
  Widen(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data() + old);
}

void AppendFromUtf8(String& out, std::string_view utf8) {
  // Each byte gives at most one code unit (a four-byte sequence gives two),
  // so room for one per byte suffices; the string is cut to size at the end.
  const size_t old = out.size();
  out.resize(old + utf8.size());
  Char* const base = out.data();
  size_t o = old;
  for (size_t i = 0; i < utf8.size();) {
    const size_t run = AsciiPrefixLength(utf8.substr(i));
    Widen(reinterpret_cast<const unsigned char*>(utf8.data() + i), run, base + o);
    i += run;
    o += run;
    if (i == utf8.size()) break;
    char32_t cp;
    const size_t len = DecodeUtf8Char(utf8.substr(i), cp);
    if (len == 0) {
      base[o++] = AnsiToChar(static_cast<AnsiChar>(utf8[i]));
      ++i;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      base[o++] = static_cast<Char>(0xD800 + (cp >> 10));
      base[o++] = static_cast<Char>(0xDC00 + (cp & 0x3FF));
      i += len;
    } else {
      base[o++] = static_cast<Char>(cp);
      i += len;
    }
  }
  out.resize(o);
}

void AppendUtf8(std::string& out, char32_t cp) {
  char bytes[4];
  out.append(bytes, static_cast<size_t>(detail::WriteUtf8(bytes, cp) - bytes));
}

String FromUtf8(std::string_view utf8) {
  String out;
  AppendFromUtf8(out, utf8);
  return out;
}

String S(std::string_view ascii_or_utf8) { return FromUtf8(ascii_or_utf8); }

ShortString ShortString::FromBytes(std::string_view bytes) noexcept {
  ShortString out;
  out.Assign(bytes);
  return out;
}

void ShortString::CopyFrom(const ShortString& other) noexcept {
  // Only the bytes in use: a copy of a short value costs what its
  // characters cost, not the 256 bytes of the whole form.
  std::memmove(raw_.data(), other.raw_.data(), static_cast<size_t>(other.raw_[0]) + 1);
}

std::array<AnsiChar, 256> ShortString::Raw() const noexcept {
  std::array<AnsiChar, 256> raw{};
  std::memcpy(raw.data(), raw_.data(), static_cast<size_t>(raw_[0]) + 1);
  return raw;
}

size_t Utf8ToShortBytes(std::string_view utf8, char* out, bool* exact) noexcept {
  // The same steps as ToShortString(FromUtf8(utf8)): decode, keep the first
  // 255 code units (a character outside the basic plane is two), map each
  // to its Windows-1252 byte or '?'.
  constexpr size_t kMax = ShortString::kCapacity;
  size_t o = 0;
  bool kept = true;
  size_t i = 0;
  while (i < utf8.size() && o < kMax) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out[o++] = static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t cp;
    const size_t len = DecodeUtf8Char(utf8.substr(i), cp);
    if (len == 0) {
      out[o++] = static_cast<char>(CharToAnsi(AnsiToChar(b)));
      ++i;
    } else if (cp >= 0x10000) {
      out[o++] = '?';  // a surrogate has no Windows-1252 byte
      if (o < kMax) out[o++] = '?';
      kept = false;
      i += len;
    } else {
      kept = kept && IsAnsiChar(static_cast<Char>(cp));
      out[o++] = static_cast<char>(CharToAnsi(static_cast<Char>(cp)));
      i += len;
    }
  }
  if (exact != nullptr) *exact = kept && i == utf8.size();
  return o;
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
