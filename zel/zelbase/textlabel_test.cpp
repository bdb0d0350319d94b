#include "zel/zelbase/textlabel.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/zelbase/crosshair.h"

namespace zel {
namespace {

// A label whose change events are counted, with the sender checked.
struct Watched {
  TCustomTextLabel label;
  int changes = 0;
  Watched() {
    label.SetOnChange([this](TObject* sender) {
      EXPECT_EQ(sender, &label);
      ++changes;
    });
  }
};

TEST(TextLabel, StartsWithTheDocumentedSettings) {
  const TCustomTextLabel l;
  EXPECT_EQ(l.PosX(), 100.0);
  EXPECT_EQ(l.PosY(), 10.0);
  EXPECT_EQ(l.Layer(), 1);
  EXPECT_EQ(l.XShadow(), 0);
  EXPECT_EQ(l.YShadow(), 0);
  EXPECT_EQ(l.Alignment(), taCenter);
  EXPECT_EQ(l.VertAlign(), vaBottom);
  EXPECT_EQ(l.AttachDat(), tlamNone);
  EXPECT_EQ(l.ColorBkg(), 0xC0C0C0u);
  EXPECT_EQ(l.ColorBrd(), 0x000000u);
  EXPECT_EQ(l.ColorShadow(), 0x808080u);
  EXPECT_FALSE(l.TransPar());
  EXPECT_EQ(l.Mode(), tlsimple);
  EXPECT_TRUE(l.Visible());
  EXPECT_EQ(l.Caption(), u"");
  EXPECT_TRUE(l.Font() == TFont());
  EXPECT_FALSE(l.OnChange());
}

TEST(TextLabel, EverySetterStoresAndCallsChangedOnce) {
  struct Case {
    const char* what;
    std::function<void(TCustomTextLabel&)> set;
    std::function<bool(const TCustomTextLabel&)> stored;
  };
  TFont font;
  font.SetName(u"Liberation Serif");
  const Case cases[] = {
      {"PosX", [](auto& l) { l.SetTxtLblPosX(-2.5); }, [](auto& l) { return l.PosX() == -2.5; }},
      {"PosY", [](auto& l) { l.SetTxtLblPosY(1e300); }, [](auto& l) { return l.PosY() == 1e300; }},
      {"Layer", [](auto& l) { l.SetTxtLblLayer(16); }, [](auto& l) { return l.Layer() == 16; }},
      {"ShadowDx", [](auto& l) { l.SetTxtLblShadowDx(-3); }, [](auto& l) { return l.XShadow() == -3; }},
      {"ShadowDy", [](auto& l) { l.SetTxtLblShadowDy(4); }, [](auto& l) { return l.YShadow() == 4; }},
      {"ColorShadow", [](auto& l) { l.SetTxtLblColorShadow(0x123456); },
       [](auto& l) { return l.ColorShadow() == 0x123456u; }},
      {"ColorBkg", [](auto& l) { l.SetTxtLblColorBkg(0xC0C0C0); },  // the same value: still an event
       [](auto& l) { return l.ColorBkg() == 0xC0C0C0u; }},
      {"ColorBrd", [](auto& l) { l.SetTxtLblColorBrd(0xFF); }, [](auto& l) { return l.ColorBrd() == 0xFFu; }},
      {"Alignment", [](auto& l) { l.SetTxtLblAlignment(taRightJustify); },
       [](auto& l) { return l.Alignment() == taRightJustify; }},
      {"VertAlign", [](auto& l) { l.SetTxtLblVertAlignment(vaTop); },
       [](auto& l) { return l.VertAlign() == vaTop; }},
      {"AttachDat", [](auto& l) { l.SetTxtLblScreenPos(tlamYOnly); },
       [](auto& l) { return l.AttachDat() == tlamYOnly; }},
      {"TransPar", [](auto& l) { l.SetTxtLblTranspar(true); }, [](auto& l) { return l.TransPar(); }},
      {"Visible", [](auto& l) { l.SetTxtLblVisible(false); }, [](auto& l) { return !l.Visible(); }},
      {"Mode", [](auto& l) { l.SetTxtLblMode(tlShadow); }, [](auto& l) { return l.Mode() == tlShadow; }},
      {"Font", [&](auto& l) { l.SetTxtLblFont(font); },
       [&](auto& l) { return l.Font() == font && &l.Font() != &font; }},
      {"Caption", [](auto& l) { l.SetTxtLblCaption(u"x"); }, [](auto& l) { return l.Caption() == u"x"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Watched w;
    c.set(w.label);
    EXPECT_TRUE(c.stored(w.label));
    EXPECT_EQ(w.changes, 1);
  }
}

TEST(TextLabel, LayersOutsideOneToSixteenAreIgnoredWithoutEvent) {
  Watched w;
  w.label.SetTxtLblLayer(5);
  for (int bad : {0, 17, -1, 1000}) w.label.SetTxtLblLayer(bad);
  EXPECT_EQ(w.label.Layer(), 5);
  EXPECT_EQ(w.changes, 1);
  w.label.SetTxtLblLayer(1);
  EXPECT_EQ(w.label.Layer(), 1);
}

TEST(TextLabel, CaptionControlCharactersBecomeBlanksExceptLineFeed) {
  TCustomTextLabel l;
  l.SetTxtLblCaption(u"a\r\nb");
  EXPECT_EQ(l.Caption(), u"a \nb");
  l.SetTxtLblCaption(String(u"\t\x01x\x1f\n\x7f\u00e9<&>", 10));
  EXPECT_EQ(l.Caption(), String(u"  x \n\x7f\u00e9<&>", 10));
  l.SetTxtLblCaption(String(u"a\0b", 3));
  EXPECT_EQ(l.Caption(), u"a b");
}

TEST(TextLabel, SetFontCopiesIntoTheOwnedFont) {
  TCustomTextLabel l;
  TFont f;
  f.SetStyle(FontStyleBit(fsItalic));
  l.SetTxtLblFont(f);
  f.SetName(u"other");  // the label keeps its own copy
  EXPECT_EQ(l.Font().Name(), TFont().Name());
  EXPECT_TRUE(l.Font().HasStyle(fsItalic));
}

TEST(TextLabel, AssignCopiesEverySettingAndTheHandlerWithoutEvent) {
  Watched source;
  TCustomTextLabel& s = source.label;
  s.SetTxtLblPosX(1.25);
  s.SetTxtLblPosY(-7);
  s.SetTxtLblLayer(9);
  s.SetTxtLblShadowDx(2);
  s.SetTxtLblShadowDy(-2);
  s.SetTxtLblColorShadow(1);
  s.SetTxtLblColorBkg(2);
  s.SetTxtLblColorBrd(3);
  s.SetTxtLblAlignment(taLeftJustify);
  s.SetTxtLblVertAlignment(vaCenter);
  s.SetTxtLblScreenPos(tlamBoth);
  s.SetTxtLblTranspar(true);
  s.SetTxtLblVisible(false);
  s.SetTxtLblMode(tlBox);
  s.SetTxtLblCaption(u"copy me");
  s.Font().SetSize(14);
  s.Font().SetColor(0xABCDEF);
  std::vector<TObject*> senders;
  s.SetOnChange([&](TObject* sender) { senders.push_back(sender); });

  int target_changes = 0;
  TCustomTextLabel t;
  t.SetOnChange([&](TObject*) { ++target_changes; });
  t.Assign(&s);
  EXPECT_EQ(target_changes, 0);
  EXPECT_TRUE(senders.empty());
  EXPECT_EQ(t.PosX(), 1.25);
  EXPECT_EQ(t.PosY(), -7);
  EXPECT_EQ(t.Layer(), 9);
  EXPECT_EQ(t.XShadow(), 2);
  EXPECT_EQ(t.YShadow(), -2);
  EXPECT_EQ(t.ColorShadow(), 1u);
  EXPECT_EQ(t.ColorBkg(), 2u);
  EXPECT_EQ(t.ColorBrd(), 3u);
  EXPECT_EQ(t.Alignment(), taLeftJustify);
  EXPECT_EQ(t.VertAlign(), vaCenter);
  EXPECT_EQ(t.AttachDat(), tlamBoth);
  EXPECT_TRUE(t.TransPar());
  EXPECT_FALSE(t.Visible());
  EXPECT_EQ(t.Mode(), tlBox);
  EXPECT_EQ(t.Caption(), u"copy me");
  EXPECT_TRUE(t.Font() == s.Font());
  EXPECT_NE(&t.Font(), &s.Font());

  // The handler came along: a change of the copy calls the source's, with
  // the copy as sender.
  t.SetTxtLblPosX(0);
  EXPECT_EQ(senders, std::vector<TObject*>{&t});
  EXPECT_EQ(target_changes, 0);
}

TEST(TextLabel, AssignFromAnotherClassFailsAndChangesNothing) {
  TCustomTextLabel l;
  l.SetTxtLblCaption(u"kept");
  TCrossHair ch;
  EXPECT_THROW(l.Assign(&ch), EConvertError);
  EXPECT_THROW(l.Assign(nullptr), EConvertError);
  EXPECT_EQ(l.Caption(), u"kept");
  // A font does not take a label either (the label's AssignTo declines).
  TFont f;
  EXPECT_THROW(f.Assign(&l), EConvertError);
  EXPECT_TRUE(f == TFont());
}

// A label class of a chart module: the base Assign copies into it, and its
// AssignTo hands a plain label over.
class TChartLabel : public TCustomTextLabel {};

TEST(TextLabel, AssignWorksAcrossDerivedClasses) {
  TChartLabel derived;
  derived.SetTxtLblCaption(u"derived");
  TCustomTextLabel base;
  base.Assign(&derived);
  EXPECT_EQ(base.Caption(), u"derived");
  base.SetTxtLblCaption(u"base");
  derived.Assign(&base);
  EXPECT_EQ(derived.Caption(), u"base");
}

}  // namespace
}  // namespace zel
