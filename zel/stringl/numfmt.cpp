#include "zel/stringl/numfmt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zel/platform/numconv.h"
#include "zel/stringl/strip.h"

namespace zel {
namespace {

constexpr int kCap = 10000;

int Clamp(int v) { return std::clamp(v, -kCap, kCap); }

// The exact decimal exponent of a finite, non-zero x: the k with
// 10^k <= |x| < 10^(k+1).  log10 in double precision rounds values a few
// ulps away from a power of ten onto it (0.1, which lies just above 1/10,
// gives exactly -1), so near a whole logarithm the exponent is read from
// the exact decimal expansion, which glibc's printf gives; 40 digits lie
// far beyond the closest any double comes to a power of ten.
int DecimalExponent(double x) {
  const double l = std::log10(std::fabs(x));
  const double whole = std::nearbyint(l);
  if (std::fabs(l - whole) > 1e-6) return static_cast<int>(std::floor(l));
  char text[80];
  std::snprintf(text, sizeof text, "%.40e", std::fabs(x));
  const char* e = std::strchr(text, 'e');
  return e != nullptr ? std::atoi(e + 1) : static_cast<int>(std::floor(l));
}

// Fills the leading blanks of `s` with '0'; a '-' right after them moves to
// the front, its place taken by a '0'.
void ZeroPad(String& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') s[i++] = u'0';
  if (i < s.size() && s[i] == u'-') {
    s[i] = u'0';
    s[0] = u'-';
  }
}

// Scientific text with a two-digit exponent in exactly `w` characters (8 at
// least), or a field of '*' when the exponent needs three digits or more.
String Scientific2(long double x, int w) {
  String s = FloatToText(x, w + 2, -1);
  const size_t e = s.find(u'E');
  // The four exponent digits follow 'E' and its sign.
  const bool small = s[e + 2] == u'0' && s[e + 3] == u'0';
  s.erase(e + 2, 2);
  if (!small) std::fill(s.begin(), s.end(), u'*');
  return s;
}

}  // namespace

String strff(long double x, int Width, int Decimals) {
  Width = Clamp(Width);
  Decimals = Clamp(Decimals);
  const int w = std::abs(Width);
  if (!std::isfinite(x)) return FloatToText(x, w, 0);
  String s = Decimals == -2 ? Scientific2(x, w) : FloatToText(x, w, Decimals);
  if (Width < 0) ZeroPad(s);
  return s;
}

String strffForcePlus(long double x, int Width, int Decimals) {
  String s = strff(x, Width, Decimals);
  if (x < 0 || std::isnan(x) || s.empty()) return s;  // NaN has no sign to show
  size_t i = 0;
  while (i + 1 < s.size() && s[i] == u' ') ++i;
  if (i > 0) {
    s[i - 1] = u'+';
  } else if (s[0] == u'0' && s.size() > 1 && s[1] != u'.') {
    s[0] = u'+';
  } else {
    s.insert(s.begin(), u'+');
  }
  return s;
}

String FormatData(double x, int Width, int Decimals) {
  // Largest and smallest magnitudes written fixed-point, by Decimals.
  static constexpr long double kUpper[] = {999999999.0L, 9999999.9L,  999999.99L,
                                           99999.999L,   9999.9999L,  999.99999L,
                                           99.999999L,   9.9999999L,  0.99999999L};
  static constexpr long double kLower[] = {1.0L,    0.1L,    0.01L,    0.001L,    0.0001L,
                                           0.00001L, 0.000001L, 0.0000001L, 0.00000001L};
  Width = Clamp(Width);
  if (Decimals >= 0 && Decimals <= 8) {
    const long double a = std::fabs(static_cast<long double>(x));
    if (a <= kUpper[Decimals] && (a >= kLower[Decimals] || x == 0)) {
      return FloatToText(x, Width, Decimals);
    }
  }
  return strff(x, Width + 6, -2);
}

String SigDigStr(double x, int Width, int NSig) {
  Width = Clamp(Width);
  NSig = Clamp(NSig);
  if (x == 0) return FloatToText(0.0L, Width, NSig - 1);
  const int m = std::max(Width, NSig + 6);
  if (!std::isfinite(x)) return strff(x, m, -2);
  // Digits before the point; 0 or negative below 1 (at most 309, at least -323).
  const int e = DecimalExponent(x) + 1;
  if (e > NSig) return e >= Width ? strff(x, m, -2) : FloatToText(x, Width, 0);
  return e < NSig - Width + 3 ? strff(x, m, -2) : FloatToText(x, Width, NSig - e);
}

String SigDigStr(double x, int Width, int NSig, bool Trim) {
  String s = SigDigStr(x, Width, NSig);
  return Trim ? StripLTBlanks(s) : s;
}

String AutoFormatData(double x, int NSig) {
  NSig = std::clamp(NSig, 2, 16);
  if (x == 0) return StripLTBlanks(strff(x, 1, NSig - 1));
  if (!std::isfinite(x)) return StripLTBlanks(strff(x, NSig + 6, -2));
  // log10|x| >= NSig - 1 exactly when the decimal exponent is NSig - 1 or
  // more; log10|x| <= -1 exactly when it is -2 or less (|x| = 1/10 is no
  // double).  The whole part of the logarithm, truncated towards zero, is the
  // exponent for |x| >= 1 and 0 below.
  const int exponent = DecimalExponent(x);
  if (exponent >= NSig - 1 || exponent <= -2) return StripLTBlanks(strff(x, NSig + 6, -2));
  return StripLTBlanks(strff(x, 1, NSig - std::max(exponent, 0) - 1));
}

String AutoFormatData(double x, int NSig, bool CommaSep) {
  String s = AutoFormatData(x, NSig);
  if (CommaSep) std::replace(s.begin(), s.end(), u'.', u',');
  return s;
}

}  // namespace zel
