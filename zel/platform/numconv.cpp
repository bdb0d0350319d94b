#include "zel/platform/numconv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/internal/hostlocale.h"

namespace ZEL_EXPORT zel {
namespace {

String PadLeft(std::string_view ascii, int width) {
  const size_t pad = width > static_cast<int>(ascii.size()) ? width - ascii.size() : 0;
  String out(pad + ascii.size(), u' ');
  std::copy(ascii.begin(), ascii.end(), out.begin() + static_cast<std::ptrdiff_t>(pad));
  return out;
}

bool IsBlank(Char c) { return c == u' ' || c == u'\t'; }

StringView TrimBlanks(StringView s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Parses integer text into a signed value of `bits` (32 or 64) bits.
bool ParseInteger(StringView text, int bits, int64_t& value) {
  StringView s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == u'-' || s.front() == u'+')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  const uint64_t unsigned_max = bits == 64 ? ~uint64_t{0} : 0xFFFFFFFFu;
  uint64_t magnitude = 0;
  bool hex = false;
  if (!s.empty() && s.front() == u'$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  const unsigned base = hex ? 16 : 10;
  for (Char c : s) {
    const int digit = hex ? HexValue(c) : (c >= u'0' && c <= u'9' ? c - u'0' : -1);
    if (digit < 0) return false;
    if (magnitude > (unsigned_max - static_cast<unsigned>(digit)) / base) return false;
    magnitude = magnitude * base + static_cast<unsigned>(digit);
  }
  if (hex) {
    // Two's-complement reading of the full unsigned width.
    uint64_t u = negative ? (~magnitude + 1) & unsigned_max : magnitude;
    if (bits == 32) {
      value = static_cast<int32_t>(static_cast<uint32_t>(u));
    } else {
      value = static_cast<int64_t>(u);
    }
    return true;
  }
  const uint64_t signed_max = unsigned_max >> 1;
  if (magnitude > signed_max + (negative ? 1 : 0)) return false;
  value = negative ? static_cast<int64_t>(~magnitude + 1) : static_cast<int64_t>(magnitude);
  return true;
}

[[noreturn]] void IntegerError(StringView s) {
  throw EConvertError(u"'" + String(s) + u"' is not a valid integer value");
}

[[noreturn]] void FloatError(StringView s) {
  throw EConvertError(u"'" + String(s) + u"' is not a valid floating point value");
}

bool EqualsAsciiNoCase(StringView s, std::string_view lower) {
  if (s.size() != lower.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    Char c = s[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<Char>(c + 32);
    if (c != static_cast<Char>(lower[i])) return false;
  }
  return true;
}

// Checks the float syntax and copies the text into ASCII for strtold.
// `special` is set for INF/NAN, whose value is then already in `value`.
bool FloatSyntax(StringView text, std::string& ascii, bool& special, long double& value) {
  StringView s = TrimBlanks(text);
  special = false;
  bool negative = false;
  size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  const StringView word = s.substr(i);
  if (EqualsAsciiNoCase(word, "inf") || EqualsAsciiNoCase(word, "infinity")) {
    special = true;
    value = negative ? -std::numeric_limits<long double>::infinity()
                     : std::numeric_limits<long double>::infinity();
    return true;
  }
  if (EqualsAsciiNoCase(word, "nan")) {
    special = true;
    value = std::numeric_limits<long double>::quiet_NaN();
    return true;
  }
  auto digits = [&]() {
    const size_t start = i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i;
    return i - start;
  };
  size_t mantissa_digits = digits();
  if (i < s.size() && s[i] == u'.') {
    ++i;
    mantissa_digits += digits();
  }
  if (mantissa_digits == 0) return false;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    if (digits() == 0) return false;
  }
  if (i != s.size()) return false;
  ascii.assign(s.begin(), s.end());  // all ASCII by now
  return true;
}

bool ParseFloat(StringView text, long double& value, bool to_double) {
  std::string ascii;
  bool special = false;
  if (!FloatSyntax(text, ascii, special, value)) return false;
  if (special) return true;
  if (to_double) {
    const double d = detail::CStrtod(ascii.c_str());
    if (std::isinf(d)) return false;
    value = d;
  } else {
    const long double x = detail::CStrtold(ascii.c_str());
    if (std::isinf(x)) return false;
    value = x;
  }
  return true;
}

// Formats the shortest round-trip digits of `value` (float or double).
template <typename F>
String ShortestText(F value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  if (value == 0) return u"0";
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  const std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
  // sci: [-]d[.ddd]e(+|-)xx
  const size_t e_at = sci.find('e');
  std::string mantissa(sci.substr(0, e_at));
  const int exponent = std::atoi(std::string(sci.substr(e_at + 1)).c_str());
  std::string sign;
  if (mantissa[0] == '-') {
    sign = "-";
    mantissa.erase(0, 1);
  }
  std::string digits;
  for (char c : mantissa) {
    if (c != '.') digits += c;
  }
  std::string out;
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      if (digits.size() < static_cast<size_t>(exponent) + 1) {
        digits.append(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
      }
      out = digits.substr(0, static_cast<size_t>(exponent) + 1);
      if (digits.size() > static_cast<size_t>(exponent) + 1) {
        out += '.';
        out += digits.substr(static_cast<size_t>(exponent) + 1);
      }
    } else {
      out = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
  } else {
    out = digits.substr(0, 1);
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return S(sign + out);
}

}  // namespace

String IntToStr(int32_t Value) { return S(std::to_string(Value)); }
String IntToStr(int64_t Value) { return S(std::to_string(Value)); }
String IntToStr(uint32_t Value) { return S(std::to_string(Value)); }
String IntToStr(uint64_t Value) { return S(std::to_string(Value)); }

bool TryStrToInt(StringView S, int32_t& Value) {
  int64_t v;
  if (!ParseInteger(S, 32, v)) return false;
  Value = static_cast<int32_t>(v);
  return true;
}

bool TryStrToInt64(StringView S, int64_t& Value) { return ParseInteger(S, 64, Value); }

int32_t StrToInt(StringView S) {
  int32_t v;
  if (!TryStrToInt(S, v)) IntegerError(S);
  return v;
}

int64_t StrToInt64(StringView S) {
  int64_t v;
  if (!TryStrToInt64(S, v)) IntegerError(S);
  return v;
}

int32_t StrToIntDef(StringView S, int32_t Default) {
  int32_t v;
  return TryStrToInt(S, v) ? v : Default;
}

int64_t StrToInt64Def(StringView S, int64_t Default) {
  int64_t v;
  return TryStrToInt64(S, v) ? v : Default;
}

bool TryStrToFloat(StringView S, double& Value) {
  long double v;
  if (!ParseFloat(S, v, true)) return false;
  Value = static_cast<double>(v);
  return true;
}

bool TryStrToExtended(StringView S, long double& Value) { return ParseFloat(S, Value, false); }

double StrToFloat(StringView S) {
  double v;
  if (!TryStrToFloat(S, v)) FloatError(S);
  return v;
}

double StrToFloatDef(StringView S, double Default) {
  double v;
  return TryStrToFloat(S, v) ? v : Default;
}

String FloatToStr(double Value) { return ShortestText(Value); }
String SingleToStr(float Value) { return ShortestText(Value); }

namespace {

// Exact formatting of a value that is a double, without the locale switch
// and the two printf passes: std::to_chars rounds the exact binary value
// correctly (ties to even), as printf does.  False when the text does not
// fit the buffer.
bool DoubleToChars(double d, int precision, bool scientific, char* buf, size_t size,
                   std::string_view& text) {
  const auto r = std::to_chars(buf, buf + size, d,
                               scientific ? std::chars_format::scientific
                                          : std::chars_format::fixed,
                               precision);
  if (r.ec != std::errc()) return false;
  text = std::string_view(buf, static_cast<size_t>(r.ptr - buf));
  return true;
}

}  // namespace

String FloatToText(long double x, int width, int precision) {
  constexpr int kCap = 10000;
  width = std::clamp(width, 0, kCap);
  precision = std::clamp(precision, -1, kCap);
  if (std::isnan(x)) return PadLeft("NAN", width);
  if (std::isinf(x)) return PadLeft(x < 0 ? "-INF" : "INF", width);
  if (x == 0) x = 0.0L;  // no negative zero
  const double d = static_cast<double>(x);
  const bool is_double = static_cast<long double>(d) == x;
  char buf[160];
  std::string_view fast;
  std::string slow;
  if (precision >= 0) {
    if (is_double && DoubleToChars(d, precision, false, buf, sizeof buf, fast)) {
      return PadLeft(fast, width);
    }
    slow = detail::CFormatLongDouble("%.*Lf", precision, x);
    return PadLeft(slow, width);
  }

  // Scientific: sign position, d.ddd, 'E', sign, four exponent digits.
  const int field = std::max(width, 10);
  const int further = std::min(field - 9, 18);
  std::string_view text;  // [-]d.ddde(+|-)x..
  if (is_double && DoubleToChars(d, further, true, buf, sizeof buf, fast)) {
    text = fast;
  } else {
    slow = detail::CFormatLongDouble("%.*Le", further, x);
    text = slow;
  }
  std::string out;
  out.reserve(32);
  out += x < 0 ? '-' : ' ';
  const size_t e_at = text.find('e');
  out.append(text.substr(x < 0 ? 1 : 0, e_at - (x < 0 ? 1 : 0)));
  out += 'E';
  out += text[e_at + 1];
  const std::string_view exponent = text.substr(e_at + 2);
  if (exponent.size() < 4) out.append(4 - exponent.size(), '0');
  out.append(exponent);
  return PadLeft(out, field);
}

}  // namespace zel
