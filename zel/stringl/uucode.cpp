#include "zel/stringl/uucode.h"

#include <algorithm>
#include <string>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr size_t kBytesPerLine = 45;

// The UU character of a 6-bit group; 0 is '`'.
Char Encode6(unsigned v) { return v == 0 ? u'`' : static_cast<Char>(v + 32); }

// The 6-bit group of a UU character, or -1 when `c` is none.  A blank
// reads as 0, like '`'.
int Decode6(Char c) { return (c >= 32 && c <= 96) ? (c - 32) & 63 : -1; }

bool StartsWith(StringView s, StringView prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

String UUEncodeStr(StringView S) {
  const std::string bytes = ToUtf8(S);
  String out;
  // 61 characters and the LF for every full line of 45 bytes.
  out.reserve((bytes.size() / kBytesPerLine + 1) * 62);
  for (size_t line = 0; line < bytes.size(); line += kBytesPerLine) {
    const size_t n = std::min(kBytesPerLine, bytes.size() - line);
    out += Encode6(static_cast<unsigned>(n));
    for (size_t i = 0; i < n; i += 3) {
      unsigned b[3] = {0, 0, 0};
      for (size_t k = 0; k < 3 && i + k < n; ++k) {
        b[k] = static_cast<unsigned char>(bytes[line + i + k]);
      }
      out += Encode6(b[0] >> 2);
      out += Encode6(((b[0] & 3) << 4) | (b[1] >> 4));
      out += Encode6(((b[1] & 15) << 2) | (b[2] >> 6));
      out += Encode6(b[2] & 63);
    }
    out += u'\n';
  }
  return out;
}

String UUDecodeStr(StringView S) {
  std::string bytes;
  bytes.reserve(S.size() / 4 * 3);
  size_t pos = 0;
  while (pos < S.size()) {
    size_t eol = S.find_first_of(u"\r\n", pos);
    if (eol == StringView::npos) eol = S.size();
    const StringView line = S.substr(pos, eol - pos);
    pos = eol + 1;
    if (line.empty()) continue;
    if (StartsWith(line, u"begin")) continue;
    if (StartsWith(line, u"end")) break;
    const int n = Decode6(line[0]);
    if (n < 0 || static_cast<size_t>(n) > kBytesPerLine) return String();
    if (n == 0) break;  // the zero-length line ends the data
    // Characters missing at the end of the line read as zero groups.
    auto group = [&](size_t i) -> int {
      return i < line.size() ? Decode6(line[i]) : 0;
    };
    int written = 0;
    for (size_t i = 1; written < n; i += 4) {
      const int g0 = group(i), g1 = group(i + 1), g2 = group(i + 2), g3 = group(i + 3);
      if (g0 < 0 || g1 < 0 || g2 < 0 || g3 < 0) return String();
      const unsigned char b[3] = {static_cast<unsigned char>((g0 << 2) | (g1 >> 4)),
                                  static_cast<unsigned char>(((g1 & 15) << 4) | (g2 >> 2)),
                                  static_cast<unsigned char>(((g2 & 3) << 6) | g3)};
      for (int k = 0; k < 3 && written < n; ++k, ++written) bytes += static_cast<char>(b[k]);
    }
  }
  return FromUtf8(bytes);
}

}  // namespace zel
