#include "zel/graphics/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/internal/pixelart.h"
#include "zel/graphics/internal/raster.h"

namespace zel {
namespace {

using detail::Art;
using detail::CountColor;
using Rows = std::vector<std::string>;

Rows Picture(TBitmap& bmp) { return Art(bmp, 0, 0, bmp.Width(), bmp.Height(), {{clBlack, 'X'}, {clRed, 'r'}}); }

TEST(BitmapCanvas, LinesCoverTheStartNotTheEnd) {
  const struct {
    int x0, y0, x1, y1;
    Rows rows;
  } cases[] = {
      {0, 0, 4, 0, {"XXXX..", "......", "......", "......"}},
      {4, 0, 0, 0, {".XXXX.", "......", "......", "......"}},
      {0, 0, 0, 3, {"X.....", "X.....", "X.....", "......"}},
      {0, 0, 3, 3, {"X.....", ".X....", "..X...", "......"}},
      {0, 0, 5, 2, {"XX....", "..XX..", "....X.", "......"}},  // halves round away from the start
      {5, 2, 0, 0, {".X....", "..XX..", "....XX", "......"}},
      {2, 2, 2, 2, {"......", "......", "......", "......"}},  // start == end: nothing
      {-100, 1, 100, 1, {"......", "XXXXXX", "......", "......"}},
      {INT_MIN, 3, INT_MAX, 3, {"......", "......", "......", "XXXXXX"}},
  };
  for (const auto& c : cases) {
    TBitmap bmp(6, 4);
    bmp.Canvas().MoveTo(c.x0, c.y0);
    bmp.Canvas().LineTo(c.x1, c.y1);
    EXPECT_EQ(Picture(bmp), c.rows) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    EXPECT_EQ(bmp.Canvas().PenPos(), (TPoint{c.x1, c.y1}));
  }
}

TEST(BitmapCanvas, PenStylesAndWidths) {
  TBitmap bmp(30, 5);
  TCanvas& c = bmp.Canvas();
  c.Pen().SetStyle(psDot);
  c.MoveTo(0, 0);
  c.LineTo(12, 0);
  c.Pen().SetStyle(psClear);
  c.MoveTo(0, 1);
  c.LineTo(12, 1);
  EXPECT_EQ(c.PenPos(), (TPoint{12, 1}));
  c.Pen().SetStyle(psSolid);
  c.Pen().SetWidth(3);
  c.MoveTo(1, 3);
  c.LineTo(4, 3);
  EXPECT_EQ(Art(bmp, 0, 0, 13, 5, {{clBlack, 'X'}}),
            (Rows{"XXX...XXX....", ".............", "XXXXX........", "XXXXX........", "XXXXX........"}));
  c.Pen().SetWidth(0);
  EXPECT_EQ(c.Pen().Width(), 1);
}

TEST(BitmapCanvas, RectanglesAndEllipsesCoverX1ToX2Minus1) {
  const struct {
    bool ellipse;
    TBrushStyle brush;
    int pen_width;
    int x1, y1, x2, y2;
    Rows rows;
  } cases[] = {
      {false, bsSolid, 1, 1, 1, 5, 4, {"......", ".XXXX.", ".XrrX.", ".XXXX.", "......"}},
      {false, bsClear, 1, 1, 1, 5, 4, {"......", ".XXXX.", ".X..X.", ".XXXX.", "......"}},
      {false, bsSolid, 1, 5, 4, 1, 1, {"......", ".XXXX.", ".XrrX.", ".XXXX.", "......"}},
      {false, bsSolid, 2, 0, 0, 6, 5, {"XXXXXX", "XXXXXX", "XXrrXX", "XXXXXX", "XXXXXX"}},
      {false, bsSolid, 1, 2, 2, 2, 4, {"......", "......", "......", "......", "......"}},
      {true, bsSolid, 1, 0, 0, 6, 5, {".XXXX.", "XrrrrX", "XrrrrX", "XrrrrX", ".XXXX."}},
      {true, bsClear, 1, 0, 0, 5, 5, {".XXX.", "X...X", "X...X", "X...X", ".XXX."}},
      {true, bsSolid, 1, 0, 0, 1, 5, {"X.....", "X.....", "X.....", "X.....", "X....."}},
      {true, bsSolid, 1, -3, -3, 4, 4, {"rrrX..", "rrrX..", "rrX...", "XX....", "......"}},
  };
  for (const auto& c : cases) {
    TBitmap bmp(6, 5);
    TCanvas& cv = bmp.Canvas();
    cv.Brush().SetColor(clRed);
    cv.Brush().SetStyle(c.brush);
    cv.Pen().SetWidth(c.pen_width);
    if (c.ellipse) {
      cv.Ellipse(c.x1, c.y1, c.x2, c.y2);
    } else {
      cv.Rectangle(c.x1, c.y1, c.x2, c.y2);
    }
    EXPECT_EQ(Art(bmp, 0, 0, static_cast<int>(c.rows[0].size()), 5, {{clBlack, 'X'}, {clRed, 'r'}}), c.rows)
        << (c.ellipse ? "ellipse " : "rectangle ") << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2;
  }
  // A clear pen leaves the whole shape to the brush.
  TBitmap bmp(4, 3);
  bmp.Canvas().Pen().SetStyle(psClear);
  bmp.Canvas().Brush().SetColor(clRed);
  bmp.Canvas().Rectangle(0, 0, 3, 3);
  EXPECT_EQ(CountColor(bmp, clRed), 9);
}

TEST(BitmapCanvas, PolygonsFillInsideAndOutlineEveryEdge) {
  TBitmap bmp(9, 7);
  TCanvas& c = bmp.Canvas();
  c.Brush().SetColor(clRed);
  const TPoint square[] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
  c.Polygon(square);
  EXPECT_EQ(Picture(bmp), (Rows{".........", ".XXXXXX..", ".XrrrrX..", ".XrrrrX..", ".XrrrrX..",
                                ".XXXXXX..", "........."}));
  TBitmap star(7, 7);
  star.Canvas().Brush().SetColor(clRed);
  star.Canvas().Pen().SetStyle(psClear);
  // A self-crossing path: the even-odd rule leaves the middle unfilled.
  const TPoint bow[] = {{0, 0}, {6, 6}, {6, 0}, {0, 6}};
  star.Canvas().Polygon(bow);
  EXPECT_EQ(Art(star, 0, 0, 7, 7, {{clRed, 'r'}}),
            (Rows{"r.....r", "rr...rr", "rrr.rrr", "rrrrrrr", "rrr.rrr", "rr...rr", "......."}));
}

TEST(BitmapCanvas, PixelsAndClipping) {
  TBitmap bmp(3, 2);
  TCanvas& c = bmp.Canvas();
  c.SetPixels(1, 1, clRed);
  c.SetPixels(3, 0, clRed);
  c.SetPixels(-1, 0, clRed);
  EXPECT_EQ(c.Pixels(1, 1), clRed);
  EXPECT_EQ(c.Pixels(0, 0), clWhite);
  EXPECT_EQ(c.Pixels(3, 0), clNone);
  EXPECT_EQ(c.Pixels(0, -1), clNone);
  EXPECT_EQ(CountColor(bmp, clRed), 1);
  c.Brush().SetStyle(bsClear);
  c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // the bitmap lies inside a huge ring
  c.Rectangle(-1000000000, -5, 1000000000, 5);
  EXPECT_EQ(CountColor(bmp, clBlack), 0);
  // Pens far wider than the bitmap cover it and finish (they are drawn at
  // most 1024 pixels wide).
  c.Pen().SetWidth(1000000000);
  c.Ellipse(-100, -100, 100, 100);
  EXPECT_EQ(CountColor(bmp, clBlack), 6);
  c.Pen().SetWidth(1);
  bmp.SetSize(4, 3);  // keeps the pixels that fit, new ones white
  EXPECT_EQ(c.Pixels(1, 1), clBlack);
  EXPECT_EQ(c.Pixels(3, 2), clWhite);
}

TEST(BitmapCanvas, TextInTheFontColourOnTheBrush) {
  TBitmap bmp(60, 30);
  TCanvas& c = bmp.Canvas();
  c.Font().SetName(u"DejaVu Sans");
  c.Font().SetSize(10);
  const int w = c.TextWidth(u"Hi"), h = c.TextHeight(u"Hi");
  ASSERT_GT(w, 0);
  EXPECT_EQ(c.TextWidth(u"HiHi"), 2 * w);
  EXPECT_GE(h, 13);  // ascent and descent of a 13-pixel em
  EXPECT_LE(h, 18);
  c.Font().SetColor(clRed);
  c.Brush().SetColor(clLime);
  c.TextOut(5, 6, u"Hi");
  EXPECT_EQ(c.PenPos(), (TPoint{5 + w, 6}));
  // Every pixel of the text box is ink or background; nothing outside it.
  int ink = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const TColor p = c.Pixels(x, y);
      const bool inside = x >= 5 && x < 5 + w && y >= 6 && y < 6 + h;
      if (!inside) {
        EXPECT_EQ(p, clWhite) << x << "," << y;
      } else {
        EXPECT_TRUE(p == clRed || p == clLime) << x << "," << y;
        ink += p == clRed;
      }
    }
  }
  EXPECT_GT(ink, 15);
  // Bold has more ink; a clear brush leaves the background.
  TBitmap bold(60, 30);
  bold.Canvas().Font().SetStyle(FontStyleBit(fsBold));
  bold.Canvas().Brush().SetStyle(bsClear);
  bold.Canvas().TextOut(5, 6, u"Hi");
  EXPECT_GT(CountColor(bold, clBlack), ink);
  EXPECT_EQ(CountColor(bold, clBlack) + CountColor(bold, clWhite), 60 * 30);
}

// The pixels a wide pen has always covered: a width x width square (centred,
// the extra pixel of an even width to the right and below) on every pixel of
// the one-pixel line, drawn one square at a time.
void StampedLine(TBitmap& bmp, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int width) {
  const int64_t dx = x1 - x0, dy = y1 - y0, n = std::max(std::abs(dx), std::abs(dy));
  const int64_t lo = (width - 1) / 2, hi = width - 1 - lo;
  const bool xmajor = std::abs(dx) >= std::abs(dy);
  const int64_t amajor = n, aminor = xmajor ? std::abs(dy) : std::abs(dx);
  const int64_t sc = (xmajor ? dy : dx) < 0 ? -1 : 1, sm = (xmajor ? dx : dy) < 0 ? -1 : 1;
  const detail::Surface s{bmp.ScanLine(0), bmp.Width(), bmp.Height()};
  for (int64_t i = 0; i < n; ++i) {
    const int64_t m = (xmajor ? x0 : y0) + sm * i;
    const int64_t c = (xmajor ? y0 : x0) + sc * ((2 * i * aminor + amajor) / (2 * amajor));
    const int64_t x = xmajor ? m : c, y = xmajor ? c : m;
    detail::FillRect(s, x - lo, y - lo, x + hi + 1, y + hi + 1, clBlack);
  }
}

// Wide pens are drawn edge by edge now; the pixels are the stamped ones for
// every width, direction and slope, with ends inside and outside the bitmap.
TEST(BitmapCanvas, WidePensCoverTheStampedPixels) {
  const struct {
    int x0, y0, x1, y1;
  } lines[] = {{5, 30, 70, 30},  {70, 30, 5, 30},   {30, 5, 30, 70},  {30, 70, 30, 5},   {5, 5, 70, 70},
               {70, 5, 5, 70},   {3, 10, 75, 39},   {75, 39, 3, 10},  {10, 3, 39, 75},   {39, 75, 10, 3},
               {-40, 20, 120, 47}, {20, -40, 47, 120}, {-30, -30, 30, 31}, {60, 60, 200, 61}, {40, 40, 41, 41}};
  for (int width : {2, 3, 4, 7, 16, 33}) {
    for (const auto& l : lines) {
      TBitmap drawn(80, 80), stamped(80, 80);
      drawn.Canvas().Pen().SetWidth(width);
      drawn.Canvas().MoveTo(l.x0, l.y0);
      drawn.Canvas().LineTo(l.x1, l.y1);
      StampedLine(stamped, l.x0, l.y0, l.x1, l.y1, width);
      bool same = true;
      for (int y = 0; y < 80; ++y) same = same && std::equal(drawn.ScanLine(y), drawn.ScanLine(y) + 80, stamped.ScanLine(y));
      EXPECT_TRUE(same) << "width " << width << ": " << l.x0 << "," << l.y0 << " to " << l.x1 << "," << l.y1;
    }
  }
}

// Pens and brushes notify their handler after each change that changes a
// value, once after Assign, and keep their own handler when assigned.
TEST(PenAndBrush, ChangesNotifyAndAssignCopiesTheValues) {
  TPen pen, other_pen;
  TBrush brush, other_brush;
  std::vector<const TObject*> pen_calls, brush_calls, other_calls;
  pen.SetOnChange([&](TObject* sender) { pen_calls.push_back(sender); });
  brush.SetOnChange([&](TObject* sender) { brush_calls.push_back(sender); });
  other_pen.SetOnChange([&](TObject* sender) { other_calls.push_back(sender); });
  pen.SetColor(clRed);
  pen.SetColor(clRed);  // unchanged: no call
  pen.SetStyle(psDot);
  pen.SetWidth(0);      // taken as 1, the width it has: no call
  pen.SetWidth(4);
  EXPECT_EQ(pen_calls, (std::vector<const TObject*>{&pen, &pen, &pen}));
  brush.SetColor(clBlue);
  brush.SetStyle(bsClear);
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush_calls, (std::vector<const TObject*>{&brush, &brush}));

  other_calls.clear();
  other_pen.Assign(&pen);
  EXPECT_EQ(other_pen.Color(), clRed);
  EXPECT_EQ(other_pen.Style(), psDot);
  EXPECT_EQ(other_pen.Width(), 4);
  EXPECT_EQ(other_calls, (std::vector<const TObject*>{&other_pen}));
  other_pen.SetWidth(2);  // still its own handler, not the source's
  EXPECT_EQ(other_calls.size(), 2u);
  EXPECT_EQ(pen_calls.size(), 3u);
  other_brush.Assign(&brush);
  EXPECT_EQ(other_brush.Color(), clBlue);
  EXPECT_EQ(other_brush.Style(), bsClear);
  EXPECT_FALSE(other_brush.OnChange());
  EXPECT_THROW(pen.Assign(&brush), EConvertError);
  EXPECT_EQ(pen.Color(), clRed);
}

// A text wider than the int range: measurements and the pen position stop at
// INT_MAX instead of wrapping, and only the visible glyphs cost anything.
TEST(BitmapCanvas, TextsWiderThanTheIntRange) {
  TBitmap bmp(64, 64);
  TCanvas& c = bmp.Canvas();
  c.Font().SetHeight(-60000);  // a 60000-pixel em
  const String long_text(100000, u'\u2588');  // full blocks, tens of thousands of pixels each
  const int one = c.TextWidth(u"\u2588");
  ASSERT_GT(one, 30000);
  EXPECT_EQ(c.TextWidth(long_text), INT_MAX);
  c.Brush().SetStyle(bsClear);
  c.TextOut(-10, -20000, long_text);
  EXPECT_EQ(c.PenPos(), (TPoint{INT_MAX, -20000}));
  EXPECT_EQ(CountColor(bmp, clBlack), 64 * 64);  // the bitmap shows the inside of the first block
  c.TextOut(INT_MAX - 5, 0, u"WW");
  EXPECT_EQ(c.PenPos(), (TPoint{INT_MAX, 0}));
  // The most negative height is the largest font, not an overflow.
  c.Font().SetHeight(INT_MIN);
  EXPECT_GE(c.TextWidth(u"\u2588"), one);
}

}  // namespace
}  // namespace zel
