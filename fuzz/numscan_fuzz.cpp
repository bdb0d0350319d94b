// Fuzzes the number scanners ScanFloat, ScanDecInteger and ScanHexInteger
// from every start position and separator mode, and the escape resolver
// ProcessHexChars, checking what must hold for any input.
//
// Input layout: byte 0 picks the start position (low nibble) and whether
// exponents are allowed (bit 4); the rest, read as UTF-8 (invalid bytes as
// Windows-1252), is the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zel/stringl/hexescape.h"
#include "zel/stringl/numscan.h"
#include "zel/univconst/univconst.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;
using zel::StringView;

bool IsDigit(zel::Char c) { return c >= u'0' && c <= u'9'; }

// A scanner leaves Pos at or after where it started (1 for a start below
// 1), and past the end of the text only when it started there.
void CheckPos(StringView s, int start, int pos) {
  const int from = std::max(start, 1);
  Check(pos >= from && pos <= std::max(static_cast<int>(s.size()) + 1, from));
}

void FuzzDec(StringView s, int start) {
  int pos = start;
  const int32_t v = zel::ScanDecInteger(s, pos);
  if (s.empty()) {
    Check(v == 0 && pos == start);
    return;
  }
  CheckPos(s, start, pos);
  const int from = std::max(start, 1);
  // The digits just before Pos, if few enough to fit, are the value.
  int first = pos;
  while (first > from && IsDigit(s[static_cast<size_t>(first - 2)])) --first;
  const int digits = pos - first;
  if (digits == 0) {
    Check(v == 0);
  } else if (digits <= 9) {
    int64_t want = 0;
    for (int i = first; i < pos; ++i) want = want * 10 + (s[static_cast<size_t>(i - 1)] - u'0');
    if (first > from && s[static_cast<size_t>(first - 2)] == u'-') want = -want;
    Check(v == want);
  }
}

void FuzzHex(StringView s, int start) {
  int pos = start;
  const uint32_t v = zel::ScanHexInteger(s, pos);
  if (s.empty()) {
    Check(v == 0 && pos == start);
    return;
  }
  CheckPos(s, start, pos);
  // HexDigits writes what ScanHexInteger reads back.
  const String written = zel::HexDigits(v, 8);
  int p = 1;
  Check(zel::ScanHexInteger(written, p) == v && p == 9);
}

void FuzzFloat(StringView s, int start, bool allow_exp) {
  const double max = static_cast<double>(zel::uc_MaxDouble);
  for (int mode = 1; mode <= 3; ++mode) {
    int pos = start;
    const double v = zel::ScanFloat(s, allow_exp, mode, pos);
    Check(v == v && v >= -max && v <= max);
    CheckPos(s, start, pos);
  }
}

void FuzzEscapes(StringView s) {
  const String out = zel::ProcessHexChars(s);
  Check(out.size() <= s.size());
  if (s.find(u'\\') == StringView::npos) Check(out == s);
  // Doubling every backslash protects the text: it comes back unchanged.
  String protected_text;
  for (zel::Char c : s) {
    protected_text += c;
    if (c == u'\\') protected_text += c;
  }
  Check(zel::ProcessHexChars(protected_text) == s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const int start = (data[0] & 0x0F) - 1;  // -1 .. 14
  const bool allow_exp = (data[0] & 0x10) == 0;
  const String text = zel::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1),
                                                     size - 1));
  FuzzDec(text, start);
  FuzzHex(text, start);
  FuzzFloat(text, start, allow_exp);
  FuzzEscapes(text);
  return 0;
}
