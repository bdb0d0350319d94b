#include "zel/stringl/numscan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "zel/platform/export.h"
#include "zel/platform/internal/hostlocale.h"
#include "zel/stringl/charclass.h"
#include "zel/univconst/univconst.h"

namespace ZEL_EXPORT zel {
namespace {

// Skips blanks while `pos` (1-based) is before the last character.
void SkipBlanks(StringView s, int& pos) {
  const int n = static_cast<int>(s.size());
  while (pos < n && s[static_cast<size_t>(pos - 1)] == u' ') ++pos;
}

Char UpperAscii(Char c) { return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c; }

}  // namespace

int32_t ScanDecInteger(StringView S, int& Pos) {
  if (S.empty()) return 0;
  if (Pos < 1) Pos = 1;
  SkipBlanks(S, Pos);
  const int n = static_cast<int>(S.size());
  bool negative = false;
  if (Pos <= n && (S[Pos - 1] == u'-' || S[Pos - 1] == u'+')) {
    negative = S[Pos - 1] == u'-';
    ++Pos;
  }
  uint32_t value = 0;
  while (Pos <= n && S[Pos - 1] >= u'0' && S[Pos - 1] <= u'9') {
    value = value * 10u + static_cast<uint32_t>(S[Pos - 1] - u'0');
    ++Pos;
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

uint32_t ScanHexInteger(StringView S, int& Pos) {
  if (S.empty()) return 0;
  if (Pos < 1) Pos = 1;
  SkipBlanks(S, Pos);
  const int n = static_cast<int>(S.size());
  uint32_t value = 0;
  while (Pos <= n) {
    const Char c = S[Pos - 1];
    if (c == u'$' && Pos == 1) {
      ++Pos;
      continue;
    }
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
    value = value * 16u + static_cast<uint32_t>(digit);
    ++Pos;
  }
  return value;
}

FloatScanResult ScanFloatDetailed(StringView S, bool AllowExp, int SepMode, int& Pos) {
  enum State { kFail = -1, kStart = 1, kSign, kInt, kSep, kFrac, kE, kExpSign, kExp, kDone };
  if (Pos < 1) Pos = 1;
  const int n = static_cast<int>(S.size());
  std::string text;
  int exponent = 0;  // value of the exponent digits appended so far
  int exponent_read = 0;  // value of all exponent digits read, saturated above 4200
  int state = kStart;
  while (state != kDone && state != kFail) {
    const Char c = Pos <= n ? UpperAscii(S[Pos - 1]) : u'Z';
    ++Pos;
    const bool sep = (c == u'.' && (SepMode == 1 || SepMode == 3)) ||
                     (c == u',' && (SepMode == 2 || SepMode == 3));
    const bool digit = c >= u'0' && c <= u'9';
    const bool sign = c == u'+' || c == u'-';
    const int after_number = AllowExp ? kE : kDone;  // the state an 'E' leads to
    int next;
    switch (state) {
      case kStart:
        next = sep ? kSep : c == u' ' ? kStart : sign ? kSign : digit ? kInt : kFail;
        break;
      case kSign:
        next = sep ? kSep : digit ? kInt : kFail;
        break;
      case kInt:
        next = sep ? kSep : digit ? kInt : c == u'E' ? after_number : kDone;
        break;
      case kSep:
      case kFrac:
        next = sep ? kFail : digit ? kFrac : c == u'E' ? after_number : kDone;
        break;
      case kE:
        next = sep || c == u' ' || c == u'E' ? kFail : sign ? kExpSign : digit ? kExp : kDone;
        break;
      case kExpSign:
        next = digit ? kExp : (sep || c == u' ' || sign || c == u'E') ? kFail : kDone;
        break;
      default:  // kExp
        next = digit ? kExp : kDone;
        break;
    }
    if (next >= kStart && next <= kExp && c != u' ') {
      if (next == kExp) {
        exponent_read = std::min(4201, exponent_read * 10 + (c - u'0'));
        // Exponent digits are appended while those collected so far amount
        // to at most 4200 (so the exponent ends below 42010); the rest are
        // consumed only.
        if (exponent <= 4200) {
          exponent = exponent * 10 + (c - u'0');
          text += static_cast<char>(c);
        }
      } else {
        text += sep ? '.' : static_cast<char>(c);
      }
    }
    state = next;
  }
  --Pos;
  double value = 0;
  if (state == kDone) {
    if (!text.empty() && text.back() == '.') text += '0';
    // The collected text is a strtod number apart from one form: an 'E'
    // with no digits after it, which reads as the number without exponent.
    const size_t e = text.find('E');
    if (e != std::string::npos && text.find_first_of("0123456789", e) == std::string::npos) {
      text.erase(e);
    }
    value = detail::CStrtod(text.c_str());
  }
  const double max = static_cast<double>(uc_MaxDouble);
  if (std::isnan(value)) value = max;
  if (value > max) value = max;
  if (value < -max) value = -max;
  return {value, state == kDone, exponent_read > 4200};
}

double ScanFloat(StringView S, bool AllowExp, int SepMode, int& Pos) {
  return ScanFloatDetailed(S, AllowExp, SepMode, Pos).value;
}

String HexDigits(uint32_t Value, int Digits) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  if (Digits < 1) Digits = 1;
  if (Digits > 8) Digits = 8;
  String result(static_cast<size_t>(Digits), u'0');
  for (int i = Digits - 1; i >= 0; --i) {
    result[static_cast<size_t>(i)] = kDigits[Value & 0xF];
    Value >>= 4;
  }
  return result;
}

}  // namespace zel
