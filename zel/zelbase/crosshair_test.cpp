#include "zel/zelbase/crosshair.h"

#include <gtest/gtest.h>

#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/platform/font.h"

namespace zel {
namespace {

struct Watched {
  TCrossHair ch;
  int changes = 0;
  Watched() {
    ch.SetOnChange([this](TObject* sender) {
      EXPECT_EQ(sender, &ch);
      ++changes;
    });
  }
};

TEST(CrossHair, StartsAllZero) {
  const TCrossHair ch;
  EXPECT_EQ(ch.PosX(), 0.0);
  EXPECT_EQ(ch.PosY(), 0.0);
  EXPECT_EQ(ch.Color(), 0u);
  EXPECT_EQ(ch.Mode(), chOff);
  EXPECT_EQ(ch.LineType(), psSolid);
  EXPECT_EQ(ch.LineWid(), 0);
  EXPECT_EQ(ch.Layer(), 0);
}

TEST(CrossHair, SettersStoreAndAlwaysCallChanged) {
  Watched w;
  w.ch.SetCrossHPosX(1.5);
  w.ch.SetCrossHPosX(1.5);
  w.ch.SetCrossHPosY(-2);
  w.ch.SetCrossHColor(0xFF00FF);
  w.ch.SetCrossHMode(chCrossBox);
  w.ch.SetCrossHLineType(psDashDot);
  w.ch.SetCrossHLineWid(3);
  EXPECT_EQ(w.changes, 7);
  EXPECT_EQ(w.ch.PosX(), 1.5);
  EXPECT_EQ(w.ch.PosY(), -2.0);
  EXPECT_EQ(w.ch.Color(), 0xFF00FFu);
  EXPECT_EQ(w.ch.Mode(), chCrossBox);
  EXPECT_EQ(w.ch.LineType(), psDashDot);
  EXPECT_EQ(w.ch.LineWid(), 3);
}

TEST(CrossHair, LayerIsClampedToOneOrTwo) {
  const struct {
    int set, want;
  } cases[] = {{0, 1}, {-5, 1}, {1, 1}, {2, 2}, {7, 2}, {INT32_MAX, 2}, {INT32_MIN, 1}};
  for (const auto& c : cases) {
    Watched w;
    w.ch.SetCrossHLayer(c.set);
    EXPECT_EQ(w.ch.Layer(), c.want) << c.set;
    EXPECT_EQ(w.changes, 1);
  }
}

TEST(CrossHair, SetPosFiresOnlyWhenThePositionMoves) {
  Watched w;
  w.ch.SetPos(0, 0);  // the current position
  EXPECT_EQ(w.changes, 0);
  w.ch.SetPos(0, 4);  // one coordinate changed
  EXPECT_EQ(w.changes, 1);
  w.ch.SetPos(3, 5);  // both: still one event
  EXPECT_EQ(w.changes, 2);
  EXPECT_EQ(w.ch.PosX(), 3.0);
  EXPECT_EQ(w.ch.PosY(), 5.0);
  w.ch.SetPos(3, 5);
  EXPECT_EQ(w.changes, 2);
}

TEST(CrossHair, AssignCopiesSettingsAndHandlerWithoutEvent) {
  TCrossHair source;
  source.SetPos(1, 2);
  source.SetCrossHColor(0x10);
  source.SetCrossHMode(chBox);
  source.SetCrossHLineType(psDot);
  source.SetCrossHLineWid(2);
  source.SetCrossHLayer(2);
  std::vector<TObject*> senders;
  source.SetOnChange([&](TObject* sender) { senders.push_back(sender); });
  TCrossHair t;
  t.Assign(&source);
  EXPECT_TRUE(senders.empty());
  EXPECT_EQ(t.PosX(), 1.0);
  EXPECT_EQ(t.PosY(), 2.0);
  EXPECT_EQ(t.Color(), 0x10u);
  EXPECT_EQ(t.Mode(), chBox);
  EXPECT_EQ(t.LineType(), psDot);
  EXPECT_EQ(t.LineWid(), 2);
  EXPECT_EQ(t.Layer(), 2);
  t.SetCrossHLineWid(5);  // the copied handler hears it, with the copy as sender
  EXPECT_EQ(senders, std::vector<TObject*>{&t});

  TFont font;
  EXPECT_THROW(t.Assign(&font), EConvertError);
  EXPECT_EQ(t.LineWid(), 5);
}

}  // namespace
}  // namespace zel
