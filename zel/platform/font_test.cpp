#include "zel/platform/font.h"

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"

namespace zel {
namespace {

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
  struct Case { int a, b, c, want; };
  for (const Case& t : {Case{10, 96, 72, 13}, Case{-16, 72, 96, -12}, Case{3, 1, 2, 2},
                        Case{-3, 1, 2, -2}, Case{1, 1, 3, 0}, Case{5, 5, 0, 0},
                        Case{-10, 96, 72, -13}, Case{1610612736, 96, 72, 2147483647},
                        Case{-2147483647 - 1, 1, 1, -2147483647}}) {
    EXPECT_EQ(MulDiv(t.a, t.b, t.c), t.want) << t.a << '*' << t.b << '/' << t.c;
  }
}

TEST(FontTest, SizeIsKeptAsPixelHeight) {
  TFont font;
  EXPECT_EQ(font.Name(), u"DejaVu Sans");
  EXPECT_EQ(font.Size(), 10);
  EXPECT_EQ(font.Height(), -13);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetPixelsPerInch(300);  // the pixel height stays, the points change
  EXPECT_EQ(font.Height(), -16);
  EXPECT_EQ(font.Size(), 4);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -50);
  font.SetPixelsPerInch(0);  // ignored
  EXPECT_EQ(font.PixelsPerInch(), 300);
  font.SetSize(1610612736);  // beyond the pixel range: clamped, never overflowing
  EXPECT_EQ(font.Height(), -2147483647);
}

TEST(FontTest, ChangesAndAssignNotify) {
  TFont a, b;
  int changes = 0;
  a.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, static_cast<TObject*>(&a));
    ++changes;
  });
  a.SetColor(0x0000FF);
  a.SetColor(0x0000FF);  // same value: no event
  a.SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsStrikeOut));
  a.SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsStrikeOut));  // same value: no event
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(a.HasStyle(fsStrikeOut));
  EXPECT_FALSE(a.HasStyle(fsItalic));

  b.SetName(u"DejaVu Serif");
  b.SetSize(20);
  a.Assign(&b);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(static_cast<bool>(a.OnChange()));  // the handler is not copied over
}

TEST(FontTest, AssignFromAnotherClassFails) {
  TFont font;
  TPersistent other;
  EXPECT_THROW(font.Assign(&other), EConvertError);
}

}  // namespace
}  // namespace zel
