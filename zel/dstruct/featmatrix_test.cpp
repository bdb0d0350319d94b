#include "zel/dstruct/featmatrix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

// Runs `f` and returns the message of the EZELDStructError it raises.
template <class F>
String DStructMessage(F&& f) {
  try {
    f();
  } catch (const EZELDStructError& e) {
    return e.Message();
  }
  return u"(no exception)";
}

class FeatMatrixTest : public ::testing::Test {
 protected:
  FeatMatrixTest() {
    m.SetName(u"FM");
    m.SetOnChange([this](TObject*) { ++changes; });
    EXPECT_TRUE(m.Resize(4, 3));
    m.SetFeatType(1, 1, fkInteger);
    m.SetFeatType(2, 2, fkDouble);
    m.SetFeatType(3, 3, fkString);
    m.SetFeatType(4, 4, fkTriState);
    changes = 0;
  }
  TFeatureMatrix m{nullptr};
  int changes = 0;
};

TEST_F(FeatMatrixTest, StringValuesByKind) {
  struct Case {
    int fix;
    const Char* value;
    bool ok;
  } cases[] = {
      {1, u"-12", true},  {1, u"+7", true},     {1, u"5", true},      {1, u"1.5", false},
      {1, u" 3", false},  {1, u"+", false},     {1, u"", false},      {1, u"12a", false},
      {2, u"2.5", true},  {2, u"12abc", true},  {2, u"12,5", true},   {2, u"-.5e3", true},
      {2, u"1e4200", true}, {2, u"1e4201", false}, {2, u"1e5000", false}, {2, u"", false},
      {2, u"abc", false}, {2, u"1e 5", false},  {4, u"TRUE", true},   {4, u"", true},
      {4, u"False", true}, {4, u"maybe", false}, {3, u"anything", true},
  };
  for (const auto& c : cases) {
    const String msg = DStructMessage([&] { m.SetFeatValStr(c.fix, 1, c.value); });
    if (c.ok) {
      EXPECT_EQ(msg, u"(no exception)") << ToUtf8(c.value);
      EXPECT_EQ(m.GetFeatValStr(c.fix, 1), c.value);
    } else {
      EXPECT_NE(msg, u"(no exception)") << ToUtf8(c.value);
    }
  }
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValStr(1, 1, u"1.5"); }),
            u"Component \"FM\": feature value \"1.5\" is not a valid integer number");
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValStr(2, 1, u"x"); }),
            u"Component \"FM\": feature value \"x\" is not a valid floating point number");
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValStr(4, 1, u"maybe"); }),
            u"Component \"FM\": feature value \"maybe\" is not a valid tri-state value");
  m.SetFeatType(3, 3, fkUndefined);
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValStr(3, 1, u"x"); }),
            u"Component \"FM\": feature 3 is undefined");
  EXPECT_EQ(DStructMessage([&] { m.GetFeatValStr(3, 1); }), u"Component \"FM\": feature 3 is undefined");
  // Out of range: neutral, no error, no notification.
  changes = 0;
  m.SetFeatValStr(5, 1, u"x");
  m.SetFeatValStr(1, 0, u"x");
  EXPECT_EQ(m.GetFeatValStr(0, 1), u"");
  EXPECT_EQ(changes, 0);
}

TEST_F(FeatMatrixTest, TypedAccessors) {
  m.SetFeatValint(1, 1, 5000000000);
  EXPECT_EQ(m.GetFeatValInt(1, 1), 5000000000);
  m.SetFeatValint(2, 1, 42);  // a double feature takes integers too
  EXPECT_EQ(m.GetFeatValStr(2, 1), u"42");
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValint(4, 1, 1); }),
            u"Component \"FM\": feature is not of numeric or string type");
  m.SetFeatValStr(2, 2, u"2.5");
  EXPECT_EQ(m.GetFeatValDouble(2, 2), 2.5);
  m.SetFeatValStr(3, 1, u"1e5000");
  EXPECT_EQ(DStructMessage([&] { m.GetFeatValDouble(3, 1); }),
            u"Component \"FM\": feature is not a floating point number");
  EXPECT_EQ(DStructMessage([&] { m.GetFeatValInt(3, 1); }), u"Component \"FM\": feature is not an integer");
  m.SetFeatValStr(2, 3, u"12abc");  // passes the test, fails the conversion
  EXPECT_THROW(m.GetFeatValDouble(2, 3), EConvertError);
  m.SetFeatValDouble(3, 2, 0.1);
  EXPECT_EQ(m.GetFeatValStr(3, 2), u"0.1");
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValDouble(1, 1, 1.0); }),
            u"Component \"FM\": feature is not a floating point or string type");
  m.SetFeatValStr(4, 1, u"TRUE");
  EXPECT_EQ(m.GetFeatValTriState(4, 1), tsTrue);
  EXPECT_EQ(m.GetFeatValTriState(4, 2), tsUndefined);
  m.SetFeatValTriState(4, 3, tsFalse);
  EXPECT_EQ(m.GetFeatValStr(4, 3), u"false");
  m.SetFeatValTriState(3, 3, tsUndefined);
  EXPECT_EQ(m.GetFeatValStr(3, 3), u"");
  m.SetFeatValStr(3, 3, u"maybe");
  EXPECT_EQ(DStructMessage([&] { m.GetFeatValTriState(3, 3); }),
            u"Component \"FM\": feature is not a tri-state value");
  EXPECT_EQ(DStructMessage([&] { m.SetFeatValTriState(2, 1, tsTrue); }),
            u"Component \"FM\": feature is not a tri-state or string type");
  EXPECT_EQ(m.GetFeatValInt(9, 9), 0);
  EXPECT_EQ(m.GetFeatValDouble(9, 9), 0);
  EXPECT_EQ(m.GetFeatValTriState(9, 9), tsUndefined);
}

TEST_F(FeatMatrixTest, FillNeedsTheExactKind) {
  EXPECT_TRUE(m.Fill(1, 7));
  EXPECT_EQ(m.GetFeatValStr(1, 3), u"7");
  EXPECT_EQ(DStructMessage([&] { m.Fill(2, int64_t{7}); }), u"Component \"FM\": feature 2 is not an integer number");
  EXPECT_TRUE(m.Fill(2, 1.5));
  EXPECT_EQ(m.GetFeatValStr(2, 2), u"1.5");
  EXPECT_EQ(DStructMessage([&] { m.Fill(3, 1.5); }), u"Component \"FM\": feature 3 is not floating point number");
  EXPECT_TRUE(m.Fill(4, tsTrue));
  EXPECT_EQ(m.GetFeatValStr(4, 1), u"true");
  EXPECT_EQ(DStructMessage([&] { m.Fill(3, tsTrue); }), u"Component \"FM\": feature 3 is not a tri-state value");
  EXPECT_TRUE(m.Fill(3, u"n/a"));
  EXPECT_EQ(m.GetFeatValStr(3, 3), u"n/a");
  EXPECT_EQ(DStructMessage([&] { m.Fill(1, u"x"); }),
            u"Component \"FM\": feature value \"x\" is not a valid integer number");
  EXPECT_FALSE(m.Fill(0, u"x"));
  EXPECT_FALSE(m.Fill(5, int64_t{1}));
  EXPECT_EQ(changes, 4);
}

TEST_F(FeatMatrixTest, StructureEditing) {
  m.Fill(3, u"s");
  m.SetFeatValStr(3, 2, u"two");
  m.InsertObject(2);
  EXPECT_EQ(m.NObjects(), 4);
  EXPECT_EQ(m.GetFeatValStr(1, 2), u"0");  // defaults: "0" for numbers
  EXPECT_EQ(m.GetFeatValStr(2, 2), u"0");
  EXPECT_EQ(m.GetFeatValStr(3, 2), u"");
  EXPECT_EQ(m.GetFeatValStr(3, 3), u"two");
  m.RemoveObject(2);
  EXPECT_EQ(m.GetFeatValStr(3, 2), u"two");
  m.InsertObject(9);
  EXPECT_EQ(m.NObjects(), 3);

  m.GetFeatProps(3)->SetFeatName(u"third");
  TFeatMatProps* at1 = m.GetFeatProps(1).get();
  m.InsertFeature(m.NFeatures() + 1);
  EXPECT_EQ(m.NFeatures(), 5);
  EXPECT_EQ(m.GetFeatProps(5)->FeatName(), u"undefined");
  m.InsertFeature(1);
  EXPECT_EQ(m.GetFeatProps(4)->FeatName(), u"third");
  EXPECT_EQ(m.GetFeatProps(4)->FeatKind(), fkString);
  EXPECT_EQ(m.GetFeatValStr(4, 2), u"two");
  EXPECT_EQ(m.GetFeatProps(1)->FeatKind(), fkUndefined);
  EXPECT_EQ(m.GetFeatProps(1).get(), at1);  // objects keep their places; contents move
  EXPECT_EQ(at1->FeatName(), u"undefined");
  m.RemoveFeature(1);
  EXPECT_EQ(at1->FeatKind(), fkInteger);
  EXPECT_EQ(m.FindFeatName(u"THIRD"), 3);
  EXPECT_EQ(m.FindFeatName(u"none"), -1);

  m.CopyObject(2, 1);
  EXPECT_EQ(m.GetFeatValStr(3, 1), u"two");
  m.ClearObject(1);
  EXPECT_EQ(m.GetFeatValStr(3, 1), u"");
  EXPECT_EQ(m.GetFeatValStr(1, 1), u"0");
  m.Fill(3, u"x");
  m.ClearFeature(3);
  EXPECT_EQ(m.GetFeatValStr(3, 2), u"");
  changes = 0;
  m.ResetToDefault();
  EXPECT_EQ(changes, 3);  // once per object
  m.SetNFeats(2);
  EXPECT_EQ(m.NFeatures(), 2);
  EXPECT_EQ(m.GetFeatValStr(1, 3), u"0");
  m.Clear();
  EXPECT_EQ(m.NFeatures(), 0);
  EXPECT_EQ(m.NObjects(), 0);
}

TEST_F(FeatMatrixTest, PropertiesOwnership) {
  auto fresh = m.GetFeatProps(0);  // out of range: a defaults object the handle owns
  EXPECT_TRUE(fresh.Owned());
  EXPECT_EQ(fresh->FeatName(), u"undefined");
  auto own = m.GetFeatProps(1);
  EXPECT_FALSE(own.Owned());
  EXPECT_EQ(own->FeatKind(), fkInteger);

  auto p = std::make_unique<TFeatMatProps>();
  p->SetFeatName(u"given");
  p->SetFeatKind(fkString);
  TFeatMatProps* raw = p.get();
  m.SetFeatProps(1, std::move(p));
  EXPECT_EQ(m.GetFeatProps(1).get(), raw);
  // Passing the same object back keeps it (no double ownership).
  m.SetFeatProps(1, std::unique_ptr<TFeatMatProps>(raw));
  EXPECT_EQ(m.GetFeatProps(1)->FeatName(), u"given");
  m.SetFeatProps(7, std::make_unique<TFeatMatProps>());  // freed, not stored

  m.RenumberFeatures(0, 0, 100, 10);
  EXPECT_EQ(m.GetFeatProps(3)->FeatNum(), 120);
  EXPECT_EQ(m.FindFeatNum(110), 2);
  EXPECT_EQ(m.FindFeatNum(5), -1);
  m.RenumberFeatures(9, 3, 1, 1);  // clamped to 3..4
  EXPECT_EQ(m.GetFeatProps(4)->FeatNum(), 2);
  EXPECT_EQ(m.GetFeatProps(2)->FeatNum(), 110);
  m.SetFeatType(4, -2, fkString);  // clamped to 1..4
  EXPECT_EQ(m.GetFeatProps(2)->FeatKind(), fkString);
  EXPECT_EQ(changes, 2);  // the two SetFeatProps calls in range
}

TEST_F(FeatMatrixTest, GenerateFeatNames) {
  EXPECT_EQ(m.GenerateFeatNames(u"F<%D-3%>_<%I%>", 1, 3, 10, 5), 0);
  EXPECT_EQ(m.GetFeatProps(1)->FeatName(), u"F010_1");
  EXPECT_EQ(m.GetFeatProps(2)->FeatName(), u"F015_2");
  EXPECT_EQ(m.GetFeatProps(3)->FeatName(), u"F020_3");
  EXPECT_EQ(m.GetFeatProps(4)->FeatName(), u"undefined");
  EXPECT_EQ(m.GenerateFeatNames(u"x<%Q%>", 1, 3, 0, 1), -2);
  EXPECT_EQ(m.GetFeatProps(1)->FeatName(), u"F010_1");
  EXPECT_EQ(m.GenerateFeatNames(u"x", 1, m.NFeatures() + 1, 0, 1), -1);
  struct Case {
    const Char* tmpl;
    int first;
    const Char* name;
  } cases[] = {
      {u"<%D4%>", 7, u"   7"},         {u"<%d2%>", 12345, u"45"},    {u"<%D-2%>", -7, u"-07"},
      {u"<%D-2%>", 1234, u"34"},       {u"<%H4%>", 255, u"00FF"},    {u"<%H%>", 255, u"F"},
      {u"<%H12%>", -1, u"FFFFFFFF"},   {u"a<%D%>b<%I3%>", -5, u"a-5b  4"},
      {u"<%Tyyyy%>", 0, nullptr},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(m.GenerateFeatNames(c.tmpl, 4, 4, c.first, 1), 0) << ToUtf8(c.tmpl);
    if (c.name != nullptr) {
      EXPECT_EQ(m.GetFeatProps(4)->FeatName(), c.name) << ToUtf8(c.tmpl);
    } else {
      EXPECT_EQ(m.GetFeatProps(4)->FeatName().size(), 4u);
    }
  }
  for (const Char* bad : {u"<%D", u"%><%D%>", u"<%%>", u"<%D%><%Z%>"}) {
    EXPECT_EQ(m.GenerateFeatNames(bad, 4, 4, 0, 1), -2) << ToUtf8(bad);
  }
  // The text a tag expands to is not searched again, so a time pattern that
  // writes "<%" cannot make the expansion run forever.
  EXPECT_EQ(m.GenerateFeatNames(u"<%T<%%>", 4, 4, 0, 1), 0);
  // A reversed range counts numbers from its lower end.
  EXPECT_EQ(m.GenerateFeatNames(u"n<%D%>", 2, 1, 5, 1), 0);
  EXPECT_EQ(m.GetFeatProps(1)->FeatName(), u"n5");
  EXPECT_EQ(m.GetFeatProps(2)->FeatName(), u"n6");
}

TEST_F(FeatMatrixTest, AssignCopiesEverything) {
  m.GetFeatProps(2)->SetComment(u"c");
  m.SetFeatValStr(3, 2, u"v");
  TFeatureMatrix b(nullptr);
  b.Assign(&m);
  EXPECT_EQ(b.NFeatures(), 4);
  EXPECT_EQ(b.NObjects(), 3);
  EXPECT_EQ(b.GetFeatProps(2)->Comment(), u"c");
  EXPECT_NE(b.GetFeatProps(2).get(), m.GetFeatProps(2).get());
  EXPECT_EQ(b.GetFeatValStr(3, 2), u"v");
  changes = 0;
  b.SetFeatValStr(3, 1, u"w");  // the handler came along
  EXPECT_EQ(changes, 1);
}

// --- the text file

TEST_F(FeatMatrixTest, SaveAndLoadRoundTrip) {
  testutil::TempDir dir("featmat");
  auto p = m.GetFeatProps(1);
  p->SetFeatName(u"count");
  p->SetFeatNum(17);
  p->SetComment(u"how many");
  p->SetSorted(true);
  m.GetFeatProps(3)->SetFeatName(u"");
  m.GetFeatProps(3)->SetPresetValues(u"a;b");
  m.SetFeatValStr(1, 1, u"-3");
  m.SetFeatValStr(3, 3, u"  padded text  ");
  m.SetFeatValStr(4, 2, u"TRUE");
  m.Save(dir.Path("m.fmx"));
  EXPECT_EQ(dir.Bytes("m.fmx"),
            "#featdef 4 1\r\n"
            "1 fplFeatNum 17\r\n1 fplFeatName count\r\n1 fplFeatKind fkInteger\r\n"
            "1 fplComment how many\r\n1 fplPresets \r\n1 fplSorted TRUE\r\n"
            "2 fplFeatNum 0\r\n2 fplFeatName undefined\r\n2 fplFeatKind fkDouble\r\n"
            "2 fplComment \r\n2 fplPresets \r\n2 fplSorted FALSE\r\n"
            "3 fplFeatNum 0\r\n3 fplFeatName \r\n3 fplFeatKind fkString\r\n"
            "3 fplComment \r\n3 fplPresets a;b\r\n3 fplSorted FALSE\r\n"
            "4 fplFeatNum 0\r\n4 fplFeatName undefined\r\n4 fplFeatKind fkTriState\r\n"
            "4 fplComment \r\n4 fplPresets \r\n4 fplSorted FALSE\r\n"
            "#featvals 4 3\r\n"
            "1 1 -3\r\n4 2 TRUE\r\n3 3   padded text  \r\n"
            "#featend\r\n");
  TFeatureMatrix b(nullptr);
  int b_changes = 0;
  b.SetOnChange([&](TObject*) { ++b_changes; });
  ASSERT_EQ(b.Load(dir.Path("m.fmx")), 0);
  EXPECT_GE(b_changes, 1);
  ASSERT_EQ(b.NFeatures(), 4);
  ASSERT_EQ(b.NObjects(), 3);
  EXPECT_EQ(b.GetFeatProps(1)->FeatName(), u"count");
  EXPECT_EQ(b.GetFeatProps(1)->FeatNum(), 17);
  EXPECT_EQ(b.GetFeatProps(1)->Comment(), u"how many");
  EXPECT_TRUE(b.GetFeatProps(1)->Sorted());
  EXPECT_EQ(b.GetFeatProps(3)->FeatName(), u"undefined");  // empty names come back so
  EXPECT_EQ(b.GetFeatProps(3)->PresetValues(), u"a;b");
  for (int f = 1; f <= 4; ++f) EXPECT_EQ(b.GetFeatProps(f)->FeatKind(), m.GetFeatProps(f)->FeatKind());
  EXPECT_EQ(b.GetFeatValStr(1, 1), u"-3");
  EXPECT_EQ(b.GetFeatValStr(1, 2), u"");
  EXPECT_EQ(b.GetFeatValStr(3, 3), u"padded text");  // blanks are lost
  EXPECT_EQ(b.GetFeatValStr(4, 2), u"TRUE");
}

TEST_F(FeatMatrixTest, LineBreaksAreRefusedBeforeWriting) {
  testutil::TempDir dir("featmat");
  m.SetFeatValStr(3, 2, u"two\nlines");
  EXPECT_EQ(DStructMessage([&] { m.Save(dir.Path("x.fmx")); }),
            u"Component \"FM\": feature 3, object 2: a value with a line break cannot be saved");
  EXPECT_FALSE(std::filesystem::exists(dir.Dir() + "/x.fmx"));
  m.SetFeatValStr(3, 2, u"ok");
  m.GetFeatProps(2)->SetComment(u"a\rb");
  EXPECT_EQ(DStructMessage([&] { m.Save(dir.Path("x.fmx")); }),
            u"Component \"FM\": feature 2: a comment with a line break cannot be saved");
}

TEST(FeatMatrixLoad, ResultCodesAndConsistency) {
  testutil::TempDir dir("featmat");
  TFeatureMatrix m(nullptr);
  EXPECT_EQ(m.Load(dir.Path("missing.fmx")), -1);
  dir.Put("plain.txt", "no headers here\r\n# comment\r\n");
  EXPECT_EQ(m.Load(dir.Path("plain.txt")), -2);
  EXPECT_EQ(m.NFeatures(), 0);
  {
    TextFile f(dir.Path("plain.txt"));
    f.Reset();
    EXPECT_EQ(m.LoadFromOpenFile(f), -1);
  }
  struct Case {
    const char* name;
    const char* text;
    int result;
    int feats, objs;
  } cases[] = {
      // Values for more features than defined: defaults for the rest.
      {"more", "#featdef 1 1\n1 fplFeatKind fkString\n1 fplFeatName a\n1 x\n1 x\n1 x\n1 x\n"
               "#featvals 3 2\n3 2 v\n1 1 w\n#featend\n", 0, 3, 2},
      // Fewer: the extra definitions go.
      {"fewer", "#featdef 2 1\n" "1 fplFeatName a\n1 x\n1 x\n1 x\n1 x\n1 x\n"
                "2 fplFeatName b\n2 x\n2 x\n2 x\n2 x\n2 x\n#featvals 1 1\n1 1 z\n", 0, 1, 1},
      {"valsonly", "#FEATVALS 2 2\n2 2  v \n9 1 out of range\n", 0, 2, 2},
      {"defonly", "#featdef 2 1\n1 a\n1 b\n1 c\n1 d\n1 e\n1 f\n2 a\n2 b\n2 c\n2 d\n2 e\n2 f\n", 0, 2, 0},
      {"version", "#featdef 2 2\n1 fplFeatName a\n", 0, 0, 0},
      {"truncated", "#featdef 2000000000 1\n1 fplFeatName a\n", -2, 0, 0},
      {"badnum", "#featdef 1 1\n1 fplFeatNum x\n1 a\n1 b\n1 c\n1 d\n1 e\n", -2, 0, 0},
      {"badfeatnr", "#featdef 1 1\nz fplFeatName a\n1 a\n1 b\n1 c\n1 d\n1 e\n", -2, 0, 0},
      {"negative", "#featvals -1 3\n", -2, 0, 0},
      {"onenumber", "#featvals 3\n", -2, 0, 0},
      // 31 bytes asking for 2.5 billion cells: refused, nothing allocated.
      {"huge", "#featvals 50000 50000\n1 1 x\n", -2, 0, 0},
      {"limit", "#featvals 2048 2049\n", -2, 0, 0},
      // No cells, but 40 million features or objects: refused as well.
      {"manyfeatures", "#featvals 40000086 0\n", -2, 0, 0},
      {"manyobjects", "#featvals 0 40000086\n", -2, 0, 0},
      // Four million features alone would take about 700 MB of properties.
      {"featurelimit", "#featvals 524289 0\n", -2, 0, 0},
  };
  for (const auto& c : cases) {
    dir.Put(c.name, c.text);
    TextFile f(dir.Path(c.name));
    f.Reset();
    EXPECT_EQ(m.LoadFromOpenFile(f), c.result) << c.name;
    EXPECT_EQ(m.NFeatures(), c.feats) << c.name;
    EXPECT_EQ(m.NObjects(), c.objs) << c.name;
    for (int i = 1; i <= m.NFeatures(); ++i) ASSERT_NE(m.GetFeatProps(i).get(), nullptr);
  }
  dir.Put("more", cases[0].text);
  ASSERT_EQ(m.Load(dir.Path("more")), 0);
  EXPECT_EQ(m.GetFeatProps(1)->FeatName(), u"a");
  EXPECT_EQ(m.GetFeatProps(3)->FeatName(), u"undefined");
  EXPECT_THROW(m.GetFeatValStr(3, 2), EZELDStructError);  // feature 3 has no kind yet
  m.SetFeatType(3, 3, fkString);
  EXPECT_EQ(m.GetFeatValStr(3, 2), u"v");
  dir.Put("v", cases[2].text);
  ASSERT_EQ(m.Load(dir.Path("v")), 0);
  m.SetFeatType(0, 0, fkString);
  EXPECT_EQ(m.GetFeatValStr(2, 2), u"v");
  dir.Put("bad", cases[6].text);
  EXPECT_EQ(m.Load(dir.Path("bad")), -3);
}

}  // namespace
}  // namespace zel
