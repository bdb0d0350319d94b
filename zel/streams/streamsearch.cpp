#include "zel/streams/streamsearch.h"

#include <algorithm>
#include <cstring>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/streams/internal/bytereader.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr int64_t kReadBlock = 256;

// The replacement for one match: `repl` with its modifier commands
// expanded.
String Expand(StringView repl, StringView brackets, const String& match, int count,
              TSRUnknownModifierEvent on_unknown) {
  if (brackets.empty()) return String(repl);
  const Char open = brackets[0];
  const Char close = brackets.size() > 1 ? brackets[1] : brackets[0];
  String out;
  size_t i = 0;
  while (i < repl.size()) {
    const size_t cmd_at = repl.find(open, i);
    const size_t end = cmd_at == StringView::npos ? StringView::npos : repl.find(close, cmd_at + 1);
    if (end == StringView::npos) {
      out += repl.substr(i);  // no (complete) command left
      break;
    }
    out += repl.substr(i, cmd_at - i);
    const StringView cmd = repl.substr(cmd_at + 1, end - cmd_at - 1);
    const String name = LowerCase(cmd);
    if (name.empty()) {
      out += open;
    } else if (name == u"match") {
      out += match;
    } else if (name == u"upper") {
      out += UpperCase(match);
    } else if (name == u"lower") {
      out += LowerCase(match);
    } else if (name == u"count") {
      out += IntToStr(static_cast<int32_t>(count));
    } else if (on_unknown != nullptr) {
      String sub = match;
      on_unknown(String(cmd), sub);
      out += sub;
    } else {
      out += repl.substr(cmd_at, end - cmd_at + 1);
    }
    i = end + 1;
  }
  return out;
}

std::string LowBytes(StringView s) {
  std::string out(s.size(), '\0');
  for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<char>(s[i]);
  return out;
}

std::string FoldBytes(std::string s) {
  for (char& c : s) c = static_cast<char>(AsciiLower(static_cast<uint8_t>(c)));
  return s;
}

}  // namespace

bool FindInStream(TStream& Stream, uint8_t Value) {
  detail::ByteReader reader(Stream);
  for (;;) {
    const auto ahead = reader.Peek();
    if (ahead.empty()) return false;
    const auto* hit = static_cast<const uint8_t*>(std::memchr(ahead.data(), Value, ahead.size()));
    if (hit != nullptr) {
      reader.Take(static_cast<size_t>(hit - ahead.data()) + 1);
      return true;
    }
    reader.Take(ahead.size());
  }
}

String ReadStreamUntil(TStream& Stream, StringView SearchText, int& ErrCode) {
  ErrCode = -1;
  const String needle = LowerCase(SearchText);
  const int64_t start = Stream.Position();
  String text, folded;
  uint8_t block[kReadBlock];
  size_t found = String::npos;
  int64_t got;
  do {
    got = Stream.Read(block, kReadBlock);
    const size_t old = text.size();
    for (int64_t i = 0; i < got; ++i) {
      text.push_back(block[i]);
      folded.push_back(AsciiLower(block[i]));
    }
    if (!needle.empty()) {
      // Only a match that ends in the new block is new.
      found = folded.find(needle, old >= needle.size() ? old - needle.size() + 1 : 0);
    }
  } while (found == String::npos && got == kReadBlock);
  if (found == String::npos) return text;
  ErrCode = 0;
  text.resize(found + needle.size());
  Stream.SetPosition(start + static_cast<int64_t>(text.size()));
  return text;
}

namespace {

// The number of bytes equal to `b`: 16 bytes per step where SSE2 is
// there (every x86-64), with byte counters summed before they overflow.
size_t CountByte(std::span<const uint8_t> bytes, uint8_t b) {
  const uint8_t* p = bytes.data();
  size_t n = bytes.size();
  size_t total = 0;
#if defined(__SSE2__)
  const __m128i want = _mm_set1_epi8(static_cast<char>(b));
  while (n >= 16) {
    const size_t rounds = std::min<size_t>(n / 16, 255);
    __m128i acc = _mm_setzero_si128();
    for (size_t r = 0; r < rounds; ++r, p += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(v, want));  // a match is -1
    }
    const __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
    total += static_cast<size_t>(_mm_cvtsi128_si64(sums)) +
             static_cast<size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    n -= rounds * 16;
  }
#endif
  for (size_t i = 0; i < n; ++i) total += p[i] == b;
  return total;
}

}  // namespace

int64_t CountLinesInStream(TStream& Stream) {
  detail::ByteReader reader(Stream);
  int64_t lines = 0;
  for (auto ahead = reader.Peek(); !ahead.empty(); ahead = reader.Peek()) {
    lines += static_cast<int64_t>(CountByte(ahead, '\n'));
    reader.Take(ahead.size());
  }
  return lines;
}

int SearchAndReplace(TMemoryStream& Source, TMemoryStream& Dest, StringView SearchText,
                     StringView ReplaceText, bool IgnoreCase, int StartPos, int MaxCount,
                     StringView Brackets, TSRUnknownModifierEvent OnUnknownModifier) {
  const std::string src(reinterpret_cast<const char*>(Source.Memory()),
                        static_cast<size_t>(Source.Size()));
  const std::string needle = IgnoreCase ? FoldBytes(LowBytes(SearchText)) : LowBytes(SearchText);
  const std::string haystack = IgnoreCase ? FoldBytes(src) : std::string();
  const std::string& look = IgnoreCase ? haystack : src;
  size_t at = std::min(static_cast<size_t>(std::max(StartPos, 0)), src.size());
  std::string out = src.substr(0, at);
  int count = 0;
  while (!needle.empty() && (MaxCount <= 0 || count < MaxCount)) {
    const size_t hit = look.find(needle, at);
    if (hit == std::string::npos) break;
    out.append(src, at, hit - at);
    ++count;
    String match;
    for (size_t i = 0; i < needle.size(); ++i) match.push_back(static_cast<uint8_t>(src[hit + i]));
    out += LowBytes(Expand(ReplaceText, Brackets, match, count, OnUnknownModifier));
    at = hit + needle.size();
  }
  out.append(src, at);
  Dest.Clear();
  Dest.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
  Dest.SetPosition(0);
  return count;
}

}  // namespace zel
