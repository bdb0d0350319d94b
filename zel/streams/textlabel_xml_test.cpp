// The label element of TCustomTextLabel (zel/zelbase/textlabel.h): the
// exact layout written, the reader's rules and its handling of bad files.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/platform/numconv.h"
#include "zel/platform/textfile.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/textlabel.h"

namespace zel {
namespace {

// Every setting of a label as one text, positions by their bits.
std::string Dump(const TCustomTextLabel& l) {
  const TFont& f = l.Font();
  return std::to_string(std::bit_cast<uint64_t>(l.PosX())) + " " +
         std::to_string(std::bit_cast<uint64_t>(l.PosY())) + " " + std::to_string(l.Layer()) +
         " " + std::to_string(l.XShadow()) + " " + std::to_string(l.YShadow()) + " " +
         std::to_string(l.ColorShadow()) + " " + std::to_string(l.Alignment()) + " " +
         std::to_string(l.VertAlign()) + " " + std::to_string(l.AttachDat()) + " " +
         std::to_string(l.ColorBkg()) + " " + std::to_string(l.ColorBrd()) + " " +
         std::to_string(l.TransPar()) + " [" + ToUtf8(f.Name()) + "] " +
         std::to_string(f.Height()) + " " + std::to_string(f.Color()) + " " +
         std::to_string(f.Style()) + " [" + ToUtf8(l.Caption()) + "] " + std::to_string(l.Mode()) +
         " " + std::to_string(l.Visible());
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t crlf; (crlf = bytes.find("\r\n", from)) != std::string::npos; from = crlf + 2) {
    out.push_back(bytes.substr(from, crlf - from));
  }
  if (from < bytes.size()) out.push_back(bytes.substr(from) + "<no line end>");
  return out;
}

class LabelFile : public ::testing::Test {
 protected:
  testutil::TempDir dir{"textlabel"};

  std::string Write(const TCustomTextLabel& l, bool header, const String& id, int n) {
    TextFile f(dir.Path("out.xml"));
    f.Rewrite();
    l.WriteToOpenXMLFile(f, header, id, n);
    f.Close();
    return dir.Bytes("out.xml");
  }

  bool Read(const std::string& bytes, const String& id, TCustomTextLabel& l) {
    dir.Put("in.xml", bytes);
    TextFile f(dir.Path("in.xml"));
    f.Reset();
    return l.ReadFromOpenXMLFile(f, id);
  }
};

// A label with every setting away from its initial value.
void Customise(TCustomTextLabel& l) {
  l.SetTxtLblPosX(-12.75);
  l.SetTxtLblPosY(0.1);
  l.SetTxtLblLayer(7);
  l.SetTxtLblShadowDx(3);
  l.SetTxtLblShadowDy(-4);
  l.SetTxtLblColorShadow(0x00112233);
  l.SetTxtLblColorBkg(0x00FFEEDD);
  l.SetTxtLblColorBrd(0x000000FF);
  l.SetTxtLblAlignment(taRightJustify);
  l.SetTxtLblVertAlignment(vaTop);
  l.SetTxtLblScreenPos(tlamXOnly);
  l.SetTxtLblTranspar(true);
  l.SetTxtLblVisible(false);
  l.SetTxtLblMode(tlUnderline);
  l.SetTxtLblCaption(u"Peak\nhöhe");
  l.Font().SetName(u"Liberation Serif");
  l.Font().SetSize(12);
  l.Font().SetColor(0x00ABCDEF);
  l.Font().SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsItalic));
}

TEST_F(LabelFile, WritesTheElementLineByLine) {
  TCustomTextLabel l;
  Customise(l);
  const std::vector<std::string> want = {
      "  <?xml version=\"1.0\"?>",
      "",
      "  <!-- TCustomTextLabel / ZEL Component Suite -->",
      "  <custtextlbl sig=\"ZELCSuite\" vers=\"1.0\" id=\"lbl1\">",
      "    <posxy x=      -12.75 y=         0.1 />",
      "    <caption>Peak\nh\xc3\xb6he</caption>",
      "    <colors brd=$0000FF bg=$FFEEDD shdw=$112233 />",
      "    <shadowofs dx=3 dy=-4 />",
      "    <layer val=7 />",
      "    <transparent val=1 />",
      "    <visible val=0 />",
      "    <alignment horiz=taRightJustify vert=vaTop />",
      "    <attachmode val=tlamXOnly />",
      "    <font name=\"Liberation Serif\" size=12 color=$ABCDEF style=\"fsBold fsItalic\" />",
      "    <style val=tlUnderline />",
      "  </custtextlbl>",
  };
  EXPECT_EQ(Lines(Write(l, true, u"lbl1", 2)), want);
}

TEST_F(LabelFile, WritesANewLabelWithoutHeader) {
  const TCustomTextLabel l;
  const std::vector<std::string> want = {
      "",
      " <!-- TCustomTextLabel / ZEL Component Suite -->",
      " <custtextlbl sig=\"ZELCSuite\" vers=\"1.0\" id=\"\">",
      "   <posxy x=         100 y=          10 />",
      "   <caption></caption>",
      "   <colors brd=$000000 bg=$C0C0C0 shdw=$808080 />",
      "   <shadowofs dx=0 dy=0 />",
      "   <layer val=1 />",
      "   <transparent val=0 />",
      "   <visible val=1 />",
      "   <alignment horiz=taCenter vert=vaBottom />",
      "   <attachmode val=tlamNone />",
      "   <font name=\"DejaVu Sans\" size=10 color=$000000 style=\"\" />",
      "   <style val=tlsimple />",
      " </custtextlbl>",
  };
  EXPECT_EQ(Lines(Write(l, false, u"", 0)), want);
}

TEST_F(LabelFile, IndentationIsLimitedToOneTo255Blanks) {
  const struct {
    int n;
    size_t blanks;
  } cases[] = {{0, 1}, {-7, 1}, {1, 1}, {255, 255}, {256, 255}, {100000, 255}};
  TCustomTextLabel l;
  for (const auto& c : cases) {
    const std::vector<std::string> lines = Lines(Write(l, true, u"x", c.n));
    ASSERT_EQ(lines.size(), 16u);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i == 1) continue;  // the empty line
      const size_t child = i >= 4 && i <= 14 ? 2 : 0;  // the element's own two blanks
      EXPECT_EQ(lines[i].find_first_not_of(' '), c.blanks + child) << c.n << ": " << lines[i];
    }
  }
}

TEST_F(LabelFile, OnlyTheMarkupCharactersAreWrittenAsReferences) {
  TCustomTextLabel l;
  l.SetTxtLblCaption(u"a<b> & \"c\" &lt;");
  l.Font().SetName(u"Odd \"Font\" & Co");
  const std::vector<std::string> lines = Lines(Write(l, false, u"q\"<", 1));
  EXPECT_EQ(lines[2], " <custtextlbl sig=\"ZELCSuite\" vers=\"1.0\" id=\"q&quot;&lt;\">");
  EXPECT_EQ(lines[4], "   <caption>a&lt;b&gt; &amp; \"c\" &amp;lt;</caption>");
  EXPECT_EQ(lines[12].substr(0, 51), "   <font name=\"Odd &quot;Font&quot; &amp; Co\" size=");
}

TEST_F(LabelFile, RoundTripRestoresEverySetting) {
  TCustomTextLabel l;
  Customise(l);
  TCustomTextLabel back;
  int changes = 0;
  back.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &back);
    ++changes;
  });
  ASSERT_TRUE(Read(Write(l, true, u"lbl1", 2), u"lbl1", back));
  EXPECT_EQ(Dump(back), Dump(l));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(back.OnChange());  // the reader keeps the label's own handler
}

TEST_F(LabelFile, CaptionsAndNamesWithMarkupCharactersSurvive) {
  const char16_t* texts[] = {
      u"a < b", u"x > y", u"R&D", u"</caption>", u"&lt; stays &lt;", u"&amp;&#65;",
      u"<custtextlbl>", u"line 1\nline 2 & <3>", u"\"quoted\" 'single'", u"",
      u"tab\there\r\n", u"lone \xd800 and \xdc00, pair \xd83d\xde00",
  };
  for (const char16_t* text : texts) {
    TCustomTextLabel l;
    l.SetTxtLblCaption(text);
    l.Font().SetName(text);
    TCustomTextLabel back;
    ASSERT_TRUE(Read(Write(l, false, text, 2), text, back)) << ToUtf8(text);
    EXPECT_EQ(back.Caption(), l.Caption());
    EXPECT_EQ(back.Font().Name(), text);
  }
}

TEST_F(LabelFile, PositionsReadBackToTheSameDouble) {
  const double values[] = {
      0.1, 1.0 / 3, -0.0, 2.0 / 3 * 1e-300, 5e-324, std::numeric_limits<double>::max(),
      -std::numeric_limits<double>::max(), 123456789012345678.0, 1e15, 9.999999999999999e14,
      1e-5, 0.1 + 0.2, std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
  };
  for (double v : values) {
    TCustomTextLabel l;
    l.SetTxtLblPosX(v);
    l.SetTxtLblPosY(-v);
    TCustomTextLabel back;
    ASSERT_TRUE(Read(Write(l, false, u"", 1), u"", back));
    EXPECT_EQ(std::bit_cast<uint64_t>(back.PosX()), std::bit_cast<uint64_t>(v)) << v;
    EXPECT_EQ(std::bit_cast<uint64_t>(back.PosY()), std::bit_cast<uint64_t>(-v)) << v;
  }
  TCustomTextLabel l;
  l.SetTxtLblPosX(std::nan(""));
  TCustomTextLabel back;
  ASSERT_TRUE(Read(Write(l, false, u"", 1), u"", back));
  EXPECT_TRUE(std::isnan(back.PosX()));
}

TEST_F(LabelFile, DataIDChoosesTheElementIgnoringCase) {
  std::string file;
  const char16_t* ids[] = {u"first", u"lbl1", u"Größe"};
  for (int i = 0; i < 3; ++i) {
    TCustomTextLabel l;
    l.SetTxtLblCaption(ids[i]);
    file += Write(l, i == 0, ids[i], 2);
  }
  const struct {
    const char16_t* id;
    const char16_t* caption;  // nullptr: not found
  } cases[] = {
      {u"", u"first"}, {u"LBL1", u"lbl1"}, {u"  lbl1 ", u"lbl1"}, {u"GRÖSSE", nullptr},
      {u"GRÖßE", u"Größe"}, {u"lbl", nullptr}, {u"lbl12", nullptr},
  };
  for (const auto& c : cases) {
    TCustomTextLabel l;
    l.SetTxtLblCaption(u"unchanged");
    const std::string before = Dump(l);
    int changes = 0;
    l.SetOnChange([&](TObject*) { ++changes; });
    const bool found = Read(file, c.id, l);
    EXPECT_EQ(found, c.caption != nullptr) << ToUtf8(c.id);
    if (c.caption != nullptr) {
      EXPECT_EQ(l.Caption(), c.caption);
      EXPECT_EQ(changes, 1);
    } else {
      EXPECT_EQ(Dump(l), before);
      EXPECT_EQ(changes, 0);
    }
  }
}

// Cut anywhere after the start tag and before the closing tag is complete,
// the file gives false and the label stays exactly as it was.
TEST_F(LabelFile, AFileEndingInsideTheElementChangesNothing) {
  TCustomTextLabel written;
  Customise(written);
  const std::string whole = Write(written, true, u"lbl1", 2);
  const size_t body = whole.find("<custtextlbl");
  const size_t end = whole.rfind('>');
  for (size_t cut = body; cut <= end; ++cut) {
    TCustomTextLabel l;
    l.SetTxtLblCaption(u"before");
    const std::string before = Dump(l);
    int changes = 0;
    l.SetOnChange([&](TObject*) { ++changes; });
    EXPECT_FALSE(Read(whole.substr(0, cut), u"lbl1", l)) << cut;
    EXPECT_EQ(Dump(l), before) << cut;
    EXPECT_EQ(changes, 0);
  }
  TCustomTextLabel l;
  EXPECT_TRUE(Read(whole.substr(0, end + 1), u"lbl1", l));
  EXPECT_EQ(Dump(l), Dump(written));
}

TEST_F(LabelFile, ReaderRules) {
  const struct {
    const char* what;
    std::string body;  // follows a start tag line
    std::string want;  // the changed settings, as Dump shows them
  } cases[] = {
      {"values stored without the setters' checks; 1 is the only true",
       "<layer val=99 /><transparent val=2 /><visible val= +1x />"
       "<shadowofs dx=-5 dy=abc />",
       "layer 99 shadow -5 0 transparent 0 visible 1"},
      {"unknown names keep the old value",
       "<alignment horiz=tacenter vert=vaTop /><attachmode val=both /><style val=tlBox />",
       "align 2 0 attach 0 mode 2"},
      {"colours: blanks, '$', hex digits to the first other character",
       "<colors brd=$ff bg=12zz shdw=\"  $0A0B0C\" />", "colors 255 18 658188"},
      {"tags and attributes in any letter case, unknown tags skipped",
       "<UNKNOWN a=1>text</unknown><PosXY X=1.5e3 Y=-.5 /><!-- note <layer val=3 /> -->",
       "pos 1500 -0.5 layer 1"},
      {"the caption keeps control characters and resolves references",
       "<caption>\ta&#10;&gt;\r\nb</caption>", "caption [\ta\n>\r\nb]"},
      {"nested unknown elements are stepped over",
       "<extra><inner>1</inner><layer val=4 /></extra><layer val=5/>", "layer 5"},
      {"font attributes present are taken, absent ones kept",
       "<font size=20 style=\"fsStrikeOut  bogus fsBold\" />", "font [DejaVu Sans] -27 0 9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomTextLabel l;
    ASSERT_TRUE(Read("<custtextlbl sig=\"ZELCSuite\" vers=\"1.0\" id=\"x\">\r\n" + c.body +
                         "\r\n</custtextlbl>\r\n<layer val=16 />",
                     u"", l));
    std::string got;
    if (c.want.starts_with("layer")) {
      got = "layer " + std::to_string(l.Layer());
      if (c.want.find("shadow") != std::string::npos) {
        got += " shadow " + std::to_string(l.XShadow()) + " " + std::to_string(l.YShadow()) +
               " transparent " + std::to_string(l.TransPar()) + " visible " +
               std::to_string(l.Visible());
      }
    } else if (c.want.starts_with("align")) {
      got = "align " + std::to_string(l.Alignment()) + " " + std::to_string(l.VertAlign()) +
            " attach " + std::to_string(l.AttachDat()) + " mode " + std::to_string(l.Mode());
    } else if (c.want.starts_with("colors")) {
      got = "colors " + std::to_string(l.ColorBrd()) + " " + std::to_string(l.ColorBkg()) + " " +
            std::to_string(l.ColorShadow());
    } else if (c.want.starts_with("pos")) {
      got = "pos " + ToUtf8(FloatToStr(l.PosX())) + " " + ToUtf8(FloatToStr(l.PosY())) +
            " layer " + std::to_string(l.Layer());
    } else if (c.want.starts_with("caption")) {
      got = "caption [" + ToUtf8(l.Caption()) + "]";
    } else {
      got = "font [" + ToUtf8(l.Font().Name()) + "] " + std::to_string(l.Font().Height()) + " " +
            std::to_string(l.Font().Color()) + " " + std::to_string(l.Font().Style());
    }
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(LabelFile, StartTagRules) {
  const struct {
    const char* file;
    const char16_t* id;
    int layer;  // 0: not found
  } cases[] = {
      // The signature is needed, in any case; the tag name in any case.
      {"<custtextlbl vers=\"1.0\" id=\"a\">\n<layer val=2 />\n</custtextlbl>", u"", 0},
      {"<CustTextLbl sig=\"zelcSUITE\" id=\"a\">\n<layer val=2 />\n</custtextlbl>", u"A", 2},
      // Without an id attribute only an empty DataID finds it.
      {"<custtextlbl sig=\"ZELCSuite\">\n<layer val=2 />\n</custtextlbl>", u"a", 0},
      {"<custtextlbl sig=\"ZELCSuite\">\n<layer val=2 />\n</custtextlbl>", u"", 2},
      // A whole element on one line, then another on the next lines.
      {"<custtextlbl sig=\"ZELCSuite\" id=\"a\"><layer val=3 /></custtextlbl>\n"
       "<custtextlbl sig=\"ZELCSuite\" id=\"b\">\n<layer val=4 />\n</custtextlbl>",
       u"", 3},
      {"<custtextlbl sig=\"ZELCSuite\" id=\"a\"><layer val=3 /></custtextlbl>\n"
       "<custtextlbl sig=\"ZELCSuite\" id=\"b\">\n<layer val=4 />\n</custtextlbl>",
       u"b", 4},
      // A start tag that goes on to the next line: the rest of it is skipped.
      {"<custtextlbl sig=\"ZELCSuite\"\n id=\"a\"><layer val=6 /></custtextlbl>", u"", 6},
      // Line ends of every kind before the element.
      {"x\ry\n\r\n<custtextlbl sig=\"ZELCSuite\">\r<layer val=7 /></custtextlbl>", u"", 7},
      {"", u"", 0},
  };
  for (const auto& c : cases) {
    TCustomTextLabel l;
    const bool found = Read(c.file, c.id, l);
    EXPECT_EQ(found, c.layer != 0) << c.file;
    EXPECT_EQ(l.Layer(), found ? c.layer : 1) << c.file;
  }
}

TEST_F(LabelFile, ReadingAFileNotOpenRaisesTheInputOutputError) {
  TextFile f(dir.Path("missing.xml"));
  TCustomTextLabel l;
  EXPECT_THROW(l.ReadFromOpenXMLFile(f, u""), EInOutError);
  EXPECT_THROW(l.WriteToOpenXMLFile(f, false, u"", 1), EInOutError);
}

}  // namespace
}  // namespace zel
