#include "zel/zelbase/dtlabel.h"

#include <gtest/gtest.h>

#include <functional>

#include "zel/platform/exceptions.h"
#include "zel/zelbase/crosshair.h"

namespace zel {
namespace {

TEST(DTLabel, StartsWithTheDocumentedSettings) {
  const TDTLabel d;
  EXPECT_EQ(d.TimeFormat(), tfHHMMSS);
  EXPECT_EQ(d.DateSeparator(), u'.');
  EXPECT_EQ(d.TimeSeparator(), u':');
  EXPECT_EQ(d.YearLength(), ylYYYY);
  EXPECT_FALSE(d.MonthName());
  EXPECT_EQ(d.DateOrder(), doYYMMDD);
  EXPECT_EQ(d.DateForTime(), dtOnePerChart);
}

// Each setter applied twice with the same (new) value: the comparing setters
// fire once, the two unconditional ones every time.
TEST(DTLabel, ComparingSettersSkipEqualValuesOthersAlwaysFire) {
  struct Case {
    const char* what;
    std::function<void(TDTLabel&)> set;
    std::function<bool(const TDTLabel&)> stored;
    int events_for_two_calls;
  };
  const Case cases[] = {
      {"TimeFormat", [](auto& d) { d.SetTimeFormat(tfAMPM); },
       [](auto& d) { return d.TimeFormat() == tfAMPM; }, 2},
      {"DateOrder", [](auto& d) { d.SetDAteOrder(doDDMMYY); },
       [](auto& d) { return d.DateOrder() == doDDMMYY; }, 2},
      {"DateSeparator", [](auto& d) { d.SetDateSeparator(u'/'); },
       [](auto& d) { return d.DateSeparator() == u'/'; }, 1},
      {"TimeSeparator", [](auto& d) { d.SetTimeSeparator(u'h'); },
       [](auto& d) { return d.TimeSeparator() == u'h'; }, 1},
      {"YearLength", [](auto& d) { d.SetYearLength(ylYY); },
       [](auto& d) { return d.YearLength() == ylYY; }, 1},
      {"MonthName", [](auto& d) { d.SetMonthName(true); }, [](auto& d) { return d.MonthName(); }, 1},
      {"DateForTime", [](auto& d) { d.SetDateForTime(dtAllTicks); },
       [](auto& d) { return d.DateForTime() == dtAllTicks; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDTLabel d;
    int changes = 0;
    d.SetOnChange([&](TObject* sender) {
      EXPECT_EQ(sender, &d);
      ++changes;
    });
    c.set(d);
    c.set(d);
    EXPECT_TRUE(c.stored(d));
    EXPECT_EQ(changes, c.events_for_two_calls);
  }
}

TEST(DTLabel, CurrentValuesFollowTheSameRule) {
  TDTLabel d;
  int changes = 0;
  d.SetOnChange([&](TObject*) { ++changes; });
  d.SetDateSeparator(u'.');
  d.SetMonthName(false);
  EXPECT_EQ(changes, 0);
  d.SetTimeFormat(tfHHMMSS);
  EXPECT_EQ(changes, 1);
}

TEST(DTLabel, AssignCopiesSettingsAndHandlerWithoutEvent) {
  TDTLabel a, b;
  int a_changes = 0, b_changes = 0;
  a.SetOnChange([&](TObject*) { ++a_changes; });
  b.SetOnChange([&](TObject*) { ++b_changes; });
  b.SetTimeFormat(tfHHhMM);
  b.SetDateSeparator(u'-');
  b.SetTimeSeparator(u'.');
  b.SetYearLength(ylNone);
  b.SetMonthName(true);
  b.SetDAteOrder(doMMDDYY);
  b.SetDateForTime(dtNone);
  b_changes = 0;
  a.Assign(&b);
  EXPECT_EQ(a_changes + b_changes, 0);
  EXPECT_EQ(a.TimeFormat(), tfHHhMM);
  EXPECT_EQ(a.DateSeparator(), u'-');
  EXPECT_EQ(a.TimeSeparator(), u'.');
  EXPECT_EQ(a.YearLength(), ylNone);
  EXPECT_TRUE(a.MonthName());
  EXPECT_EQ(a.DateOrder(), doMMDDYY);
  EXPECT_EQ(a.DateForTime(), dtNone);
  a.SetTimeFormat(tfAMPM);  // now notifies b's handler
  EXPECT_EQ(b_changes, 1);
  EXPECT_EQ(a_changes, 0);

  TCrossHair other;
  EXPECT_THROW(a.Assign(&other), EConvertError);
  EXPECT_EQ(a.TimeFormat(), tfAMPM);
  EXPECT_THROW(other.Assign(&a), EConvertError);
}

}  // namespace
}  // namespace zel
