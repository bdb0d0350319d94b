#include "zel/streams/streamscan.h"

#include <algorithm>
#include <string>

#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/streams/internal/bytereader.h"
#include "zel/univconst/univconst.h"

namespace ZEL_EXPORT zel {
namespace {

enum FPState { kStart, kSign, kInteger, kFracStart, kFraction, kExpStart, kExpSign, kExponent,
               kEnd, kError };
enum FPClass { cSep, cSign, cSpace, cDigit, cExp, cOther };

// The transitions of the floating-point scanner.  `kExpStart` (reached only
// by "E") means "exponent-start if the exponent is allowed, else end".
constexpr FPState kNext[8][6] = {
    //           sep        sign      space   digit      E          other
    /* start */ {kFracStart, kSign,   kStart, kInteger,  kError,    kError},
    /* sign  */ {kFracStart, kError,  kError, kInteger,  kError,    kError},
    /* int   */ {kFracStart, kEnd,    kEnd,   kInteger,  kExpStart, kEnd},
    /* fracs */ {kError,     kEnd,    kEnd,   kFraction, kExpStart, kEnd},
    /* frac  */ {kError,     kEnd,    kEnd,   kFraction, kExpStart, kEnd},
    /* exps  */ {kError,     kExpSign, kError, kExponent, kError,   kError},
    /* expsg */ {kError,     kError,  kError, kExponent, kError,    kError},
    /* exp   */ {kEnd,       kEnd,    kEnd,   kExponent, kEnd,      kEnd},
};

constexpr int kMaxExponent = 4200;

FPClass Classify(uint8_t c, int dec_mode) {
  if (c == '.') return (dec_mode == 1 || dec_mode == 3) ? cSep : cOther;
  if (c == ',') return (dec_mode == 2 || dec_mode == 3) ? cSep : cOther;
  if (c == '+' || c == '-') return cSign;
  if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return cSpace;
  if (c >= '0' && c <= '9') return cDigit;
  if (c == 'E') return cExp;
  return cOther;
}

// Converts the collected number text; text the conversion refuses is out of
// the extended range (then infinite) or has no digit at all (then 0).
long double Convert(const std::string& text) {
  long double value = 0;
  if (TryStrToExtended(FromUtf8(text), value)) return value;
  if (text.find_first_of("123456789") < text.find('E')) {
    return text[0] == '-' ? -uc_MaxDouble : uc_MaxDouble;
  }
  return 0;
}

}  // namespace

int32_t ScanStreamDecimal(TStream& Stream) {
  detail::ByteReader reader(Stream);
  uint8_t c;
  if (!reader.Next(c)) return 0;
  while (c == ' ' || c == '\r' || c == '\n') {
    if (!reader.Next(c)) return 0;
  }
  const bool negative = c == '-';
  if (c == '-' || c == '+') {
    if (!reader.Next(c)) return 0;
  }
  uint32_t value = 0;  // wraps like the 32-bit arithmetic it stands for
  while (c >= '0' && c <= '9') {
    value = value * 10u + static_cast<uint32_t>(c - '0');
    if (!reader.Next(c)) break;
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

double ScanStreamFPNum(TStream& Stream, bool AllowExp, int DecPChar) {
  detail::ByteReader reader(Stream);
  std::string text;
  int exponent = 0;
  FPState state = kStart;
  while (state != kEnd && state != kError) {
    uint8_t c;
    if (!reader.Next(c)) c = 'Z';  // the end of the stream ends a number
    if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
    const FPClass cls = Classify(c, DecPChar);
    FPState next = kNext[state][cls];
    if (next == kExpStart && !AllowExp) next = kEnd;
    if (next == kEnd || next == kError) {
      state = next;
      break;
    }
    if (next == kExponent) {
      exponent = std::min(exponent * 10 + (c - '0'), kMaxExponent + 1);
      if (exponent <= kMaxExponent) text += static_cast<char>(c);
    } else if (c > 32) {
      text += c == ',' ? '.' : static_cast<char>(c);
    }
    state = next;
  }
  if (state == kError) return 0;
  if (!text.empty() && text.back() == '.') text += '0';
  const long double value = std::clamp(Convert(text), -uc_MaxDouble, uc_MaxDouble);
  return static_cast<double>(value);
}

}  // namespace zel
