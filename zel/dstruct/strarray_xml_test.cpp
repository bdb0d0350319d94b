#include <gtest/gtest.h>

#include <string>

#include "zel/dstruct/strarray.h"
#include "zel/dstruct/featmatrix.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/textfile.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

// Every cell, attribute and the size, for comparing two tables.
std::string Dump(const TStringArray& t) {
  std::string out = std::to_string(t.NrOfColumns()) + "x" + std::to_string(t.NrOfRows()) + ";";
  for (int c = 1; c <= t.NrOfColumns(); ++c) out += std::to_string(t.GetColAttrib(c)) + ",";
  for (int r = 1; r <= t.NrOfRows(); ++r) {
    out += "\n" + std::to_string(t.GetRowAttrib(r)) + ":";
    for (int c = 0; c <= t.NrOfColumns(); ++c) out += "[" + std::string(t.GetBytes(c, r)) + "]";
  }
  return out;
}

TEST(StringArrayXML, FileLayout) {
  testutil::TempDir dir("strarray_xml");
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(2, 2));
  t.SetBytes(0, 1, "k");
  t.SetBytes(2, 2, "a<b & \"c\">");
  t.SetColAttrib(2, 5);
  t.SetRowAttrib(1, 9);
  t.SaveAsXMLFile(dir.Path("t.xml"), u"Prices");
  EXPECT_EQ(dir.Bytes("t.xml"),
            "<?xml version=\"1.0\"?>\r\n"
            "\r\n"
            "<!-- TStringArray / ZEL Component Suite -->\r\n"
            "<strarray sig=\"ZELCSuite\" vers=\"1.0\" id=\"Prices\">\r\n"
            "  <numcols val=2 />\r\n"
            "  <numrows val=2 />\r\n"
            "  <colattrib col=2 val=5 />\r\n"
            "  <rowattrib row=1 val=9 />\r\n"
            "  <cell col=0 row=1>k</cell>\r\n"
            "  <cell col=2 row=2>a&lt;b &amp; \"c\"&gt;</cell>\r\n"
            "</strarray>\r\n");
}

TEST(StringArrayXML, EveryCellTextSurvives) {
  testutil::TempDir dir("strarray_xml");
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(3, 40));
  // Every byte value, in cells of 8, with blanks at either end of some.
  for (int b = 0; b < 256; ++b) {
    const int cell = b / 8;
    std::string s(t.GetBytes(cell % 4, cell / 4 + 1));
    s.push_back(static_cast<char>(b));
    t.SetBytes(cell % 4, cell / 4 + 1, s);
  }
  const char* const texts[] = {"  lead", "trail  ", " ", "&amp;", "&#65;", "</cell>", "</strarray>",
                               "\"quoted\" 'single'", "a\r\nb\rc\nd\te", "<!-- x -->", "x>y<z"};
  int r = 10;
  for (const char* text : texts) t.SetBytes(1, ++r, text);
  t.SetBytes(2, 30, std::string(255, '\x80'));
  t.SetBytes(0, 40, "last");
  for (int c = 1; c <= 3; ++c) t.SetColAttrib(c, static_cast<uint8_t>(c * 80));
  t.SetRowAttrib(40, 255);
  t.SetRowAttrib(2, 1);
  t.Sort(1, 0, false);  // the logical order is what is saved
  const std::string before = Dump(t);
  t.SaveAsXMLFile(dir.Path("t.xml"), u"all");

  TStringArray u(nullptr);
  ASSERT_TRUE(u.LoadFromXMLFile(dir.Path("t.xml"), u"all"));
  EXPECT_EQ(Dump(u), before);
  EXPECT_EQ(u.GetSortOrder(1), 1);  // loaded in the physical order
}

TEST(StringArrayXML, DataIDSelectsTheElement) {
  testutil::TempDir dir("strarray_xml");
  TStringArray a(nullptr), b(nullptr);
  a.SetBytes(1, 1, "first");
  ASSERT_TRUE(b.Resize(2, 3));
  b.SetBytes(2, 3, "second");
  {
    TextFile f(dir.Path("two.xml"));
    f.Rewrite();
    a.WriteToOpenXMLFile(f, true, u" Tab\"le<1> ");  // stored as Table1
    b.WriteToOpenXMLFile(f, false, u"Table2");
    f.Close();
  }
  EXPECT_NE(dir.Bytes("two.xml").find("id=\"Table1\">"), std::string::npos);
  TStringArray t(nullptr);
  ASSERT_TRUE(t.LoadFromXMLFile(dir.Path("two.xml"), u"TABLE2"));
  EXPECT_EQ(Dump(t), Dump(b));
  ASSERT_TRUE(t.LoadFromXMLFile(dir.Path("two.xml"), u""));
  EXPECT_EQ(Dump(t), Dump(a));
  ASSERT_TRUE(t.LoadFromXMLFile(dir.Path("two.xml"), u" Tab\"le<1> "));
  EXPECT_EQ(Dump(t), Dump(a));

  // Reading on from an open file: both elements in turn, then none.
  TextFile f(dir.Path("two.xml"));
  f.Reset();
  EXPECT_TRUE(t.ReadFromOpenXMLFile(f, u""));
  EXPECT_EQ(Dump(t), Dump(a));
  EXPECT_TRUE(t.ReadFromOpenXMLFile(f, u""));
  EXPECT_EQ(Dump(t), Dump(b));
  EXPECT_FALSE(t.ReadFromOpenXMLFile(f, u""));
  EXPECT_EQ(Dump(t), Dump(b));
}

TEST(StringArrayXML, FailuresLeaveTheTableAlone) {
  testutil::TempDir dir("strarray_xml");
  TStringArray t(nullptr);
  ASSERT_TRUE(t.Resize(1, 2));
  t.SetBytes(1, 2, "keep");
  const std::string before = Dump(t);
  int changes = 0;
  t.SetOnChange([&](TObject*) { ++changes; });
  const std::string start = "<strarray sig=\"ZELCSuite\" id=\"x\">";
  const std::pair<const char*, std::string> cases[] = {
      {"no element", "<other>text</other>"},
      {"no signature", "<strarray id=\"x\"><numcols val=2 /></strarray>"},
      {"other id", "<strarray sig=\"ZELCSuite\" id=\"y\"><numcols val=2 /></strarray>"},
      {"no closing tag", start + "<numcols val=2 /><cell col=1 row=1>a</cell>"},
      {"cut inside a tag", start + "<numcols val=2 /><cell col=1 row=1>a</ce"},
      {"too many cells", start + "<numcols val=4096 /><numrows val=4096 /></strarray>"},
      {"empty file", ""},
  };
  for (const auto& [name, text] : cases) {
    dir.Put("bad.xml", text);
    EXPECT_FALSE(t.LoadFromXMLFile(dir.Path("bad.xml"), u"x")) << name;
    EXPECT_EQ(Dump(t), before) << name;
  }
  EXPECT_EQ(changes, 0);
  EXPECT_THROW((void)t.LoadFromXMLFile(dir.Path("missing.xml"), u""), EInOutError);
}

// Saving replaces a file only when it was written completely: under a
// file-size limit (as on a full disk) the old file stays and the failure
// is raised.
TEST(StringArrayXML, AFailedSaveLeavesTheOldFile) {
  testutil::TempDir dir("strarray_save");
  TStringArray t(nullptr);
  t.SetNrCols(3);
  t.SetNrRows(200);
  for (int r = 1; r <= 200; ++r) t.SetBytes(1, r, std::string_view("a value long enough to fill the file"));
  TFeatureMatrix m(nullptr);
  ASSERT_TRUE(m.Resize(1, 300));
  m.SetFeatType(1, 1, fkString);
  ASSERT_TRUE(m.Fill(1, u"a value long enough to fill the file"));
  dir.Put("t.xml", "old table");
  dir.Put("m.fmx", "old matrix");
  {
    testutil::FileSizeLimit limit(512);
    if (!limit.Active()) GTEST_SKIP() << limit.WhyNot();
    EXPECT_THROW(t.SaveAsXMLFile(dir.Path("t.xml"), u"t"), EInOutError);
    EXPECT_THROW(m.Save(dir.Path("m.fmx")), EInOutError);
  }
  EXPECT_EQ(dir.Bytes("t.xml"), "old table");
  EXPECT_EQ(dir.Bytes("m.fmx"), "old matrix");
  EXPECT_EQ(dir.EntryCount(), 2u);
  t.SaveAsXMLFile(dir.Path("t.xml"), u"t");
  EXPECT_NE(dir.Bytes("t.xml"), "old table");
}

TEST(StringArrayXML, ReadsHandWrittenText) {
  testutil::TempDir dir("strarray_xml");
  // One line, upper-case names, a size just under the cap, unknown elements
  // (with content that looks like ours), references, bad coordinates and
  // values, a cell before the size that covers it.
  dir.Put("hand.xml",
          "<?xml version=\"1.0\"?><!-- c --><STRARRAY id=\"T\" sig=\"zelcsuite\">"
          "<cell col=1 row=3>early</cell><numcols val=x /><NUMCOLS val= 2 />"
          "<numrows val=3/><numrows val=-4 /><extra><cell col=1 row=1>no</cell></extra>"
          "<cell col=1 row=1>&lt;&#x41;&#66;&quot;&apos;&bogus;&amp&#9999999;&#8364;</cell>"
          "<CELL COL=2 ROW=2>  blanks  </CELL><cell col=3 row=1>out</cell><cell row=2>no col</cell>"
          "<cell col=0 row=3>\xC3\xA9\xE2\x82\xAC\xE2\x98\x83</cell>"
          "<rowattrib row=2 val=256 /><rowattrib row=3 val=7 /><colattrib col=1 val=3 />"
          "</strarray><cell col=1 row=2>after</cell>");
  TStringArray t(nullptr);
  int changes = 0;
  t.SetOnChange([&](TObject*) { ++changes; });
  int percent = 0;
  t.SetOnPercentDone([&](TObject*, int32_t) { ++percent; });
  ASSERT_TRUE(t.LoadFromXMLFile(dir.Path("hand.xml"), u"t"));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Dump(t),
            "2x3;3,0,"
            // A reference beyond U+FFFF stays as written, like an unknown one.
            "\n0:[][<AB\"'&bogus;&amp&#9999999;\x80][]"
            "\n0:[][][  blanks  ]"
            "\n7:[\xE9\x80?][][]");
  t.Sort(1, 0, true);
  EXPECT_GT(percent, 0);  // the handlers stay

  // A million cells is no absurd size.
  dir.Put("big.xml", "<strarray sig=\"ZELCSuite\"><numcols val=999 /><numrows val=1000 /></strarray>");
  EXPECT_TRUE(t.LoadFromXMLFile(dir.Path("big.xml"), u""));
  EXPECT_EQ(t.NrOfRows(), 1000);
  EXPECT_EQ(t.NrOfColumns(), 999);
}

}  // namespace
}  // namespace zel
