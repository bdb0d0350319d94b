#include "zel/streams/streamscan.h"

#include <gtest/gtest.h>

#include <string>

#include "zel/univconst/univconst.h"

namespace zel {
namespace {

// What is left of the stream after a scan.
std::string Rest(TStringStream& s) {
  return std::string(s.DataBytes().substr(static_cast<size_t>(s.Position())));
}

TEST(ScanStreamDecimal, Table) {
  const struct {
    const char* text;
    int32_t value;
    const char* rest;
  } cases[] = {
      {"  -42x7", -42, "7"},
      {"\r\n+17 8", 17, "8"},
      {"\t5", 0, "5"},  // a tab is not skipped: no digits
      {"123", 123, ""},
      {"-", 0, ""},
      {"", 0, ""},
      {"--3", 0, "3"},
      {"4294967297", 1, ""},     // 32-bit arithmetic wraps
      {"-2147483648", INT32_MIN, ""},
  };
  for (const auto& c : cases) {
    TStringStream s{std::string(c.text)};
    EXPECT_EQ(ScanStreamDecimal(s), c.value) << c.text;
    EXPECT_EQ(Rest(s), c.rest) << c.text;
  }
}

TEST(ScanStreamFPNum, Table) {
  const double kMax = static_cast<double>(uc_MaxDouble);
  const struct {
    const char* text;
    bool allow_exp;
    int mode;
    double value;
    const char* rest;
  } cases[] = {
      {"1.5e3 x", true, 1, 1500, "x"},
      {"1.5e3 x", false, 1, 1.5, "3 x"},       // the e ends the number and is consumed
      {"3,25;", true, 2, 3.25, ""},
      {"3,25;", true, 1, 3, "25;"},
      {"-1,5e2 ", true, 3, -150, ""},
      {"2.5", true, 0, 2, "5"},                // no separator at all
      {" \t\r\n+7;", true, 1, 7, ""},
      {"5.", true, 1, 5, ""},
      {".5", true, 1, 0.5, ""},
      {"-.5", true, 1, -0.5, ""},
      {".", true, 1, 0, ""},
      {"5.E2", true, 1, 500, ""},
      {"1E5000", true, 1, kMax, ""},           // exponent cut to 500, clamped
      {"-1E5000", true, 1, -kMax, ""},
      {"1E-5000", true, 1, 0, ""},
      {"1E4200", true, 1, kMax, ""},
      {"1E0308", true, 1, 1e308, ""},
      {"1e+2x", true, 1, 100, ""},
      {"- 5", true, 1, 0, "5"},                // white space after a sign
      {"1E", true, 1, 0, ""},
      {"1E+", true, 1, 0, ""},
      {"1Ex", true, 1, 0, ""},
      {"1.2.3", true, 1, 0, "3"},              // second separator: syntax error
      {"abc", true, 1, 0, "bc"},
      {"", true, 1, 0, ""},
      {"+-1", true, 1, 0, "1"},
      {".E3", true, 1, 0, ""},
  };
  for (const auto& c : cases) {
    TStringStream s{std::string(c.text)};
    EXPECT_EQ(ScanStreamFPNum(s, c.allow_exp, c.mode), c.value) << c.text << " mode " << c.mode;
    EXPECT_EQ(Rest(s), c.rest) << c.text << " mode " << c.mode;
  }
}

TEST(ScanStreamFPNum, HugeMantissasClampAndLongExponentsStayBounded) {
  TStringStream big(std::string(6000, '9') + " ");
  EXPECT_EQ(ScanStreamFPNum(big, true, 1), static_cast<double>(uc_MaxDouble));
  TStringStream tiny("0." + std::string(6000, '0') + "1 ");
  EXPECT_EQ(ScanStreamFPNum(tiny, true, 1), 0.0);
  TStringStream exp("2E" + std::string(40, '9') + " ");
  EXPECT_EQ(ScanStreamFPNum(exp, true, 1), static_cast<double>(uc_MaxDouble));
  TStringStream neg("-3E-" + std::string(40, '9') + " ");
  EXPECT_EQ(ScanStreamFPNum(neg, true, 1), 0.0);
}

}  // namespace
}  // namespace zel
