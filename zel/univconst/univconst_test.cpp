#include "zel/univconst/univconst.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "zel/testutil/python.h"

namespace zel {
namespace {

TEST(LnFactorialTest, KnownEntries) {
  const struct {
    int n;
    double want;
  } cases[] = {
      {0, 0.0},
      {1, 0.0},
      {2, 0.693147180559945},
      // ln 6 = 1.791759469228055000..., so half up gives ...806.
      {3, 1.79175946922806},
      {10, 15.1044125730755},
      {100, 363.739375555563},
      {1000, 5912.12817848816},
  };
  EXPECT_EQ(uc_LnFactorial.size(), 1001u);
  for (const auto& c : cases) {
    EXPECT_EQ(uc_LnFactorial[static_cast<size_t>(c.n)], c.want) << "n = " << c.n;
  }
}

TEST(LnFactorialTest, AgreesWithLgammaAndHoldsFifteenDigits) {
  for (int n = 0; n <= 1000; ++n) {
    const double got = uc_LnFactorial[static_cast<size_t>(n)];
    const double ref = std::lgamma(n + 1.0);
    EXPECT_NEAR(got, ref, 1e-13 * std::max(1.0, std::fabs(ref))) << "n = " << n;
    // Each entry is the double nearest a 15-digit decimal, so printing it
    // with 15 digits and reading that back gives the entry again.
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", got);
    EXPECT_EQ(std::strtod(text, nullptr), got) << "n = " << n << ", " << text;
  }
}

TEST(UnivConstTest, ExactValues) {
  EXPECT_EQ(uc_MaxInt64, std::numeric_limits<int64_t>::max());
  if (LDBL_MANT_DIG == 64) {
    EXPECT_EQ(uc_MinExtended, std::numeric_limits<long double>::denorm_min());
    EXPECT_EQ(uc_MinExtended, std::ldexp(1.0L, -16445));
  }
  // The round limits stay inside the formats they describe.
  EXPECT_LT(uc_MaxDouble, static_cast<long double>(DBL_MAX));
  EXPECT_EQ(static_cast<double>(uc_MaxDouble), 1.7e308);
  EXPECT_EQ(static_cast<float>(uc_MaxSingle), 3.4e38f);
  EXPECT_LT(uc_MaxExtended, std::numeric_limits<long double>::max());
}

// The constants against their mathematical values computed by Python's
// decimal module at 60 digits: each stored value must lie within one unit
// in the last place of the true value.  The child gets each constant as an
// exact integer mantissa and binary exponent, and the size of its last place.
constexpr const char kCheckScript[] = R"PY(
import sys
from decimal import Decimal as D, getcontext
getcontext().prec = 60

def pi():
    # Series from the decimal module's documentation.
    getcontext().prec += 2
    three = D(3)
    lasts, t, s, n, na, d, da = 0, three, 3, 1, 0, 0, 24
    while s != lasts:
        lasts = s
        n, na = n + na, na + 8
        d, da = d + da, da + 32
        t = (t * n) / d
        s += t
    getcontext().prec -= 2
    return +s

PI = pi()
LN10 = D(10).ln()
truth = {
    "uc_e": D(1).exp(), "uc_etom1": 1 / D(1).exp(),
    "uc_lg2": D(2).ln() / LN10, "uc_lg5": D(5).ln() / LN10,
    "uc_lge": 1 / LN10, "uc_lgPi": PI.ln() / LN10,
    "uc_ln10": LN10, "uc_ln2": D(2).ln(), "uc_lnPi": PI.ln(),
    "uc_PiH": PI / 2, "uc_PiSqr": PI * PI, "uc_Pitom1": 1 / PI,
    "uc_sqrt2": D(2).sqrt(), "uc_sqrt2pi": (2 * PI).sqrt(),
    "uc_sqrt2pitom1": 1 / (2 * PI).sqrt(), "uc_GoldenR": (1 + D(5).sqrt()) / 2,
    "uc_MinReal": D("2.9e-39"), "uc_MaxReal": D("1.7e38"),
    "uc_MinSingle": D("1.5e-45"), "uc_MaxSingle": D("3.4e38"),
    "uc_MinDouble": D("5.0e-324"), "uc_MaxDouble": D("1.7e308"),
    "uc_MinExtended": D("3.6e-4951"), "uc_MaxExtended": D("1.1e4932"),
    "uc_lnMinDouble": D("5.0e-324").ln(), "uc_lnMaxDouble": D("1.7e308").ln(),
    "uc_lnMinExtended": D("3.6e-4951").ln(), "uc_lnMaxExtended": D("1.1e4932").ln(),
    "uc_lnMaxInt64": D(2**63 - 1).ln(),
    "uc_lnMinReal": D("2.9e-39").ln(), "uc_lnMaxReal": D("1.7e38").ln(),
    "uc_lnMinSingle": D("1.5e-45").ln(), "uc_lnMaxSingle": D("3.4e38").ln(),
}

def exact(m, e):
    return D(int(m)) * D(2) ** int(e)

bad, seen = 0, set()
for line in open(sys.argv[1]):
    name, m, e, um, ue = line.split()
    seen.add(name)
    value, ulp = exact(m, e), exact(um, ue)
    if abs(value - truth[name]) > ulp:
        print(f"{name}: stored {value:.25e}, true {truth[name]:.25e}")
        bad += 1
for name in sorted(set(truth) - seen):
    print(f"{name}: not checked")
    bad += 1
sys.exit(1 if bad else 0)
)PY";

// `x` as "m e" with x = m * 2^e exactly (m an integer).
[[maybe_unused]] std::string Exact(long double x) {
  int e = 0;
  const long double frac = std::frexp(x, &e);
  const long double m = std::ldexp(frac, LDBL_MANT_DIG);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0Lf %d", m, e - LDBL_MANT_DIG);
  return buf;
}

TEST(UnivConstTest, WithinOneUlpOfTheMathematicalValue) {
#if defined(_WIN32)
  ZEL_SKIP_WITHOUT_PYTHON();
#else
  const struct {
    const char* name;
    long double value;
  } constants[] = {
      {"uc_e", uc_e},
      {"uc_etom1", uc_etom1},
      {"uc_lg2", uc_lg2},
      {"uc_lg5", uc_lg5},
      {"uc_lge", uc_lge},
      {"uc_lgPi", uc_lgPi},
      {"uc_ln10", uc_ln10},
      {"uc_ln2", uc_ln2},
      {"uc_lnPi", uc_lnPi},
      {"uc_PiH", uc_PiH},
      {"uc_PiSqr", uc_PiSqr},
      {"uc_Pitom1", uc_Pitom1},
      {"uc_sqrt2", uc_sqrt2},
      {"uc_sqrt2pi", uc_sqrt2pi},
      {"uc_sqrt2pitom1", uc_sqrt2pitom1},
      {"uc_GoldenR", uc_GoldenR},
      {"uc_MinReal", uc_MinReal},
      {"uc_MaxReal", uc_MaxReal},
      {"uc_MinSingle", uc_MinSingle},
      {"uc_MaxSingle", uc_MaxSingle},
      {"uc_MinDouble", uc_MinDouble},
      {"uc_MaxDouble", uc_MaxDouble},
      {"uc_MinExtended", uc_MinExtended},
      {"uc_MaxExtended", uc_MaxExtended},
      {"uc_lnMinDouble", uc_lnMinDouble},
      {"uc_lnMaxDouble", uc_lnMaxDouble},
      {"uc_lnMinExtended", uc_lnMinExtended},
      {"uc_lnMaxExtended", uc_lnMaxExtended},
      {"uc_lnMaxInt64", uc_lnMaxInt64},
      {"uc_lnMinReal", uc_lnMinReal},
      {"uc_lnMaxReal", uc_lnMaxReal},
      {"uc_lnMinSingle", uc_lnMinSingle},
      {"uc_lnMaxSingle", uc_lnMaxSingle},
  };
  const auto dir = std::filesystem::temp_directory_path();
  const std::string stem = "zel_univconst_" + std::to_string(getpid());
  const auto data = dir / (stem + ".txt");
  const auto script = dir / (stem + ".py");
  {
    std::ofstream(script) << kCheckScript;
    std::ofstream out(data);
    for (const auto& c : constants) {
      const long double mag = std::fabs(c.value);
      const long double ulp =
          std::nextafter(mag, std::numeric_limits<long double>::infinity()) - mag;
      out << c.name << ' ' << Exact(c.value) << ' ' << Exact(ulp) << '\n';
    }
  }
  const std::string command =
      "python3 '" + script.string() + "' '" + data.string() + "' 2>&1";
  std::string report;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buf[512];
  while (std::fgets(buf, sizeof buf, pipe)) report += buf;
  const int status = pclose(pipe);
  std::filesystem::remove(data);
  std::filesystem::remove(script);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) GTEST_SKIP() << "python3 not found";
  EXPECT_EQ(status, 0) << report;
#endif
}

}  // namespace
}  // namespace zel
