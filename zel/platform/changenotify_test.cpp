#include "zel/platform/changenotify.h"

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"

namespace zel {
namespace {

// A small class written the way the library's classes are: Changed after
// each modification, Assign from its own class, the base for the rest.
class TSample : public WithOnChange<TComponent> {
 public:
  using WithOnChange::WithOnChange;
  int Value() const { return value_; }
  void SetValue(int v) {
    value_ = v;
    Changed();
  }
  void Assign(const TPersistent* Source) override {
    if (const auto* s = dynamic_cast<const TSample*>(Source)) {
      value_ = s->value_;
      return;
    }
    WithOnChange::Assign(Source);
  }
 private:
  int value_ = 0;
};

class TOther : public WithOnChange<TPersistent> {};

TEST(ChangeNotifyTest, HandlerGetsTheObjectAfterEachChange) {
  TSample s(nullptr);
  s.SetValue(1);  // no handler: nothing happens
  std::vector<std::pair<TObject*, int>> calls;
  s.SetOnChange([&](TObject* sender) { calls.push_back({sender, s.Value()}); });
  s.SetValue(5);
  s.SetValue(6);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (std::pair<TObject*, int>{&s, 5}));
  EXPECT_EQ(calls[1].second, 6);
}

TEST(ChangeNotifyTest, AssignCopiesWithoutNotifyingAndRefusesOtherClasses) {
  TSample a(nullptr), b(nullptr);
  b.SetValue(9);
  int notified = 0;
  a.SetOnChange([&](TObject*) { ++notified; });
  a.Assign(&b);
  EXPECT_EQ(a.Value(), 9);
  EXPECT_EQ(notified, 0);

  TOther other;
  try {
    a.Assign(&other);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a TOther to a TSample");
  }
  EXPECT_EQ(a.Value(), 9);
}

TEST(ChangeNotifyTest, OwnerFreesWhatItOwns) {
  auto* owner = new TComponent(nullptr);
  auto* owned = new TSample(owner);
  owned->SetName(u"Sample1");
  EXPECT_EQ(owned->Name(), u"Sample1");
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;  // frees `owned`; AddressSanitizer reports a leak otherwise
}

}  // namespace
}  // namespace zel
