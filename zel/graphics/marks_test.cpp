#include "zel/graphics/marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "zel/graphics/internal/pixelart.h"
#include "zel/graphics/internal/recordingcanvas.h"

namespace zel {
namespace {

using detail::Art;
using detail::CountColor;
using detail::RecordingCanvas;
using Rows = std::vector<std::string>;

// A mark drawn in black at (10, 10) on a white 21 x 21 bitmap, read back
// from the window whose top-left corner is (10 + dx, 10 + dy).
Rows MarkArt(uint8_t type, int dx, int dy, int w, int h) {
  TBitmap bmp(21, 21);
  bmp.Canvas().Pen().SetColor(clBlack);
  DrawMarkOnCanvas(bmp.Canvas(), type, 10, 10);
  return Art(bmp, 10 + dx, 10 + dy, w, h, {{clBlack, 'X'}});
}

struct ArtCase {
  uint8_t type;
  int dx, dy;  // window's top-left relative to the centre
  Rows rows;
};

TEST(DrawMarkOnCanvas, ShapesOnABitmapCoverExactlyTheirPixels) {
  const ArtCase cases[] = {
      {0, -1, -1, {"...", ".X.", "..."}},
      {1, -2, -2, {".....", "..X..", ".XXX.", "..X..", "....."}},
      {3, -3, -3, {"...X...", "...X...", "...X...", "XXXXXXX", "...X...", "...X...", "...X..."}},
      {4, -2, -2, {".....", ".X.X.", "..X..", ".X.X.", "....."}},
      {6, -3, -3, {"X.....X", ".X...X.", "..X.X..", "...X...", "..X.X..", ".X...X.", "X.....X"}},
      {18, -3, -3, {"X.X.X.X", ".X.X.X.", "X.X.X.X", ".X.X.X.", "X.X.X.X", ".X.X.X.", "X.X.X.X"}},
      {7, -2, -2, {".....", ".XXX.", ".XXX.", ".XXX.", "....."}},
      {10, -2, -2, {".....", ".XXX.", ".X.X.", ".XXX.", "....."}},
      {13, -3, -3, {"...X...", "..X.X..", ".X...X.", "X..X..X", ".X...X.", "..X.X..", "...X..."}},
      {19, -3, -3, {"...X...", "..X.X..", ".X...X.", "X.....X", ".X...X.", "..X.X..", "...X..."}},
      {14, -2, -2, {"..X..", ".XXX.", "XXXXX", ".XXX.", "..X.."}},
      {16, -2, -2, {".XXX.", "X...X", "X...X", "X...X", ".XXX."}},
      {17, -3, -3, {"..XXX..", ".X...X.", "X.....X", "X.....X", "X.....X", ".X...X.", "..XXX.."}},
      {24, -3, -3, {"..XXX..", ".XXXXX.", "XXXXXXX", "XXXXXXX", "XXXXXXX", ".XXXXX.", "..XXX.."}},
      {27, -2, -2, {".XX.", "X..X", "X..X", ".XX."}},
      {28, -2, -2, {".XX.", "XXXX", "XXXX", ".XX."}},
      {29, -2, -1, {".....", "XXXXX", ".XXX.", "..X..", "....."}},
      {20, -3, -1, {".......", "...X...", "..X.X..", ".X...X.", "......."}},
      {35, -4, -4, {"....X....", "...X.X...", "...X.X...", "..X...X..", "..X...X..", ".X.....X.",
                    ".X.....X.", "XXXXXXXXX"}},
      {37, -3, -8, {".......", "...X...", "...X...", "...X...", "...X...", "...X...", "...X...",
                    "...X...", "XXXXXXX", "......."}},
      {38, -3, -3, {".......", "XXXXXXX", "...X...", "...X...", "...X...", "XXXXXXX", "......."}},
      {48, -3, -3, {"XXXXXXX", "X..X..X", "X..X..X", "XXXXXXX", "X..X..X", "X..X..X", "XXXXXXX"}},
      {50, -4, -4, {"....X....", ".X..X..X.", "..X.X.X..", "...XXX...", "XXXXXXXXX", "...XXX...",
                    "..X.X.X..", ".X..X..X.", "....X...."}},
      {51, -4, -4, {"....X....", "...XXX...", "....X....", ".X..X..X.", "XXXXXXXXX", ".X..X..X.",
                    "....X....", "...XXX...", "....X...."}},
  };
  for (const ArtCase& c : cases) {
    SCOPED_TRACE("mark " + std::to_string(c.type));
    EXPECT_EQ(MarkArt(c.type, c.dx, c.dy, static_cast<int>(c.rows[0].size()),
                      static_cast<int>(c.rows.size())),
              c.rows);
  }
}

TEST(DrawMarkOnCanvas, PixelCounts) {
  // Every shape draws something, and nothing outside the 11 x 11 reach of
  // its centre except the tall stem of type 37.
  const struct {
    uint8_t type;
    int pixels;
  } cases[] = {{0, 1}, {3, 13}, {7, 9}, {8, 25}, {9, 49}, {11, 16}, {12, 24}, {18, 25}, {24, 37}};
  for (const auto& c : cases) {
    TBitmap bmp(21, 21);
    DrawMarkOnCanvas(bmp.Canvas(), c.type, 10, 10);
    EXPECT_EQ(CountColor(bmp, clBlack), c.pixels) << "mark " << int{c.type};
  }
  for (int type = 0; type < 52; ++type) {
    TBitmap bmp(41, 41);
    DrawMarkOnCanvas(bmp.Canvas(), static_cast<uint8_t>(type), 20, 20);
    const int inside = CountColor(bmp, clBlack);
    EXPECT_GT(inside, 0) << "mark " << type;
    int near = 0;
    for (int y = 20 - (type == 37 ? 8 : 5); y <= 25; ++y) {
      for (int x = 15; x <= 25; ++x) near += bmp.Canvas().Pixels(x, y) == clBlack;
    }
    EXPECT_EQ(near, inside) << "mark " << type;
  }
}

TEST(DrawMarkOnCanvas, ClippedAtTheBitmapEdges) {
  TBitmap bmp(4, 4);
  DrawMarkOnCanvas(bmp.Canvas(), 24, 0, 0);  // the quarter at x, y >= 0
  EXPECT_EQ(Art(bmp, 0, 0, 4, 4, {{clBlack, 'X'}}), (Rows{"XXXX", "XXXX", "XXX.", "XX.."}));
  // Centres at the ends of the int range draw nothing and do not overflow.
  for (int type : {3, 24, 25, 50, 65}) {
    DrawMarkOnCanvas(bmp.Canvas(), static_cast<uint8_t>(type), INT_MAX, INT_MIN);
  }
  RecordingCanvas rec;
  DrawMarkOnCanvas(rec, 50, INT_MAX - 3, 0);
  EXPECT_TRUE(rec.calls.empty());
}

TEST(DrawMarkOnCanvas, PrinterVariantsDrawLines) {
  const struct {
    uint8_t type;
    std::vector<std::string> calls;
  } cases[] = {
      {1, {"MoveTo 98,50", "LineTo 102,50 pen 0000FF", "MoveTo 100,48", "LineTo 100,52 pen 0000FF"}},
      {3, {"MoveTo 96,50", "LineTo 104,50 pen 0000FF", "MoveTo 100,46", "LineTo 100,54 pen 0000FF"}},
      {5, {"MoveTo 97,47", "LineTo 103,53 pen 0000FF", "MoveTo 97,53", "LineTo 103,47 pen 0000FF"}},
      {25, {"MoveTo 97,47", "LineTo 103,53 pen 0000FF", "MoveTo 97,48", "LineTo 102,53 pen 0000FF",
            "MoveTo 98,47", "LineTo 103,52 pen 0000FF", "MoveTo 97,53", "LineTo 103,47 pen 0000FF",
            "MoveTo 97,52", "LineTo 102,47 pen 0000FF", "MoveTo 98,53", "LineTo 103,48 pen 0000FF"}},
  };
  for (const auto& c : cases) {
    RecordingCanvas printer(true);
    printer.Pen().SetColor(clRed);
    DrawMarkOnCanvas(printer, c.type, 100, 50);
    EXPECT_EQ(printer.calls, c.calls) << "mark " << int{c.type};
  }
  // Type 18: a zero-length line at each of the 25 offsets of equal parity,
  // row by row.
  RecordingCanvas printer(true);
  DrawMarkOnCanvas(printer, 18, 0, 0);
  ASSERT_EQ(printer.calls.size(), 50u);
  EXPECT_EQ(printer.calls[0], "MoveTo -3,-3");
  EXPECT_EQ(printer.calls[1], "LineTo -3,-3 pen 000000");
  EXPECT_EQ(printer.calls[6], "MoveTo 3,-3");
  EXPECT_EQ(printer.calls[8], "MoveTo -2,-2");
  EXPECT_EQ(printer.calls[49], "LineTo 3,3 pen 000000");
  // Type 25 on a screen uses (a, b) = (4, 3); type 3 sets 13 pixels.
  RecordingCanvas screen;
  DrawMarkOnCanvas(screen, 25, 100, 50);
  EXPECT_EQ(screen.calls[1], "LineTo 104,54 pen 000000");
  EXPECT_EQ(screen.calls[3], "LineTo 103,54 pen 000000");
  RecordingCanvas screen3;
  DrawMarkOnCanvas(screen3, 3, 0, 0);
  EXPECT_EQ(screen3.calls.size(), 13u);
  EXPECT_EQ(screen3.calls.front(), "Pixel 0,-3 000000");
}

TEST(DrawMarkOnCanvas, BrushRules) {
  // Filled shapes fill in the pen colour and restore the brush colour;
  // hollow ones draw on a clear brush and leave it solid.
  RecordingCanvas rec;
  rec.Pen().SetColor(clRed);
  rec.Brush().SetColor(clLime);
  rec.Brush().SetStyle(bsClear);
  DrawMarkOnCanvas(rec, 8, 10, 10);
  EXPECT_EQ(rec.calls.back(), "Rectangle 8,8 13,13 pen 0000FF brush 0000FF clear");
  EXPECT_EQ(rec.Brush().Color(), clLime);
  EXPECT_EQ(rec.Brush().Style(), bsClear);
  DrawMarkOnCanvas(rec, 16, 10, 10);
  EXPECT_EQ(rec.calls.back(), "Ellipse 8,8 13,13 pen 0000FF brush 00FF00 clear");
  EXPECT_EQ(rec.Brush().Style(), bsSolid);
  DrawMarkOnCanvas(rec, 41, 10, 10);
  EXPECT_EQ(rec.calls.back(), "Polygon 13,8 8,10 13,12 pen 0000FF brush 0000FF solid");
  EXPECT_EQ(rec.Brush().Color(), clLime);
  rec.Brush().SetStyle(bsClear);
  DrawMarkOnCanvas(rec, 50, 10, 10);
  EXPECT_EQ(rec.Brush().Style(), bsSolid);
}

TEST(DrawMarkOnCanvas, CharacterMarks) {
  const struct {
    uint8_t type;
    const char* text;
  } cases[] = {{65, "A"}, {205, "5"}, {200, "0"}, {209, "9"}, {52, "4"}, {210, "\xC3\x92"},
               {128, "\xE2\x82\xAC"}, {130, "\xE2\x80\x9A"}, {153, "\xE2\x84\xA2"},
               {159, "\xC5\xB8"}, {129, "\xC2\x81"}, {157, "\xC2\x9D"}};
  for (const auto& c : cases) {
    RecordingCanvas rec;
    rec.Pen().SetColor(clBlue);
    DrawMarkOnCanvas(rec, c.type, 20, 30);
    // 7 x 11 pixels: the top-left corner at (20 - 3, 30 - 5).
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0], std::string("TextOut 17,25 \"") + c.text + "\" font FF0000 clear");
    EXPECT_EQ(rec.Font().Color(), clBlue);
  }
  // On a bitmap the glyph lands around the centre in the pen colour.
  TBitmap bmp(40, 40);
  bmp.Canvas().Pen().SetColor(clRed);
  DrawMarkOnCanvas(bmp.Canvas(), 65, 20, 20);
  EXPECT_GT(CountColor(bmp, clRed), 10);
  EXPECT_EQ(CountColor(bmp, clRed) + CountColor(bmp, clWhite), 40 * 40);
  int left = 40, right = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (bmp.ScanLine(y)[x] == clRed) left = std::min(left, x), right = std::max(right, x);
    }
  }
  EXPECT_LE(std::abs((left + right) / 2 - 20), 1);
}

// Types 128 to 159 are the Windows-1252 characters: each draws its own glyph,
// not the box the font draws for a character it lacks, except the five codes
// the code page leaves undefined.
TEST(DrawMarkOnCanvas, Windows1252MarksDrawTheirGlyphs) {
  const auto drawn = [](auto draw) {
    TBitmap bmp(30, 30);
    bmp.Canvas().Font().SetSize(12);
    draw(bmp.Canvas());
    std::vector<TColor> pixels;
    for (int y = 0; y < 30; ++y) pixels.insert(pixels.end(), bmp.ScanLine(y), bmp.ScanLine(y) + 30);
    return pixels;
  };
  // U+0378 is unassigned: the font's missing-glyph box, centred as a mark.
  const auto missing = drawn([](TCanvas& c) {
    const String box(1, u'\u0378');
    c.Brush().SetStyle(bsClear);
    c.TextOut(15 - c.TextWidth(box) / 2, 15 - c.TextHeight(box) / 2, box);
  });
  for (int type = 128; type <= 159; ++type) {
    const auto mark = drawn([&](TCanvas& c) { DrawMarkOnCanvas(c, static_cast<uint8_t>(type), 15, 15); });
    const bool undefined = type == 129 || type == 141 || type == 143 || type == 144 || type == 157;
    EXPECT_EQ(mark == missing, undefined) << "mark type " << type;
    EXPECT_NE(std::count(mark.begin(), mark.end(), clBlack), 0) << "mark type " << type;
  }
}

TEST(CreateMarkAsBitmap, SizeFromTheClampedMargin) {
  const struct {
    int margin, size;
  } cases[] = {{-5, 7}, {0, 7}, {2, 11}, {300, 517}};
  for (const auto& c : cases) {
    const auto bmp = CreateMarkAsBitmap(0, clRed, clBlue, c.margin);
    ASSERT_EQ(bmp->Width(), c.size);
    ASSERT_EQ(bmp->Height(), c.size);
    EXPECT_EQ(CountColor(*bmp, clRed), 1);
    EXPECT_EQ(CountColor(*bmp, clBlue), c.size * c.size - 1);
    EXPECT_EQ(bmp->ScanLine(c.size / 2)[c.size / 2], clRed);
  }
  const auto nine = CreateMarkAsBitmap(9, clBlack, clWhite, -5);
  EXPECT_EQ(CountColor(*nine, clBlack), 49);
}

}  // namespace
}  // namespace zel
