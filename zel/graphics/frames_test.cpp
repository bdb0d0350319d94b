#include "zel/graphics/frames.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/internal/pixelart.h"
#include "zel/graphics/internal/recordingcanvas.h"

namespace zel {
namespace {

using detail::Art;
using detail::RecordingCanvas;
using Rows = std::vector<std::string>;

constexpr TColor kC5 = 0x00FFFF;  // yellow, the simple frame's colour

// The frame (1, 1, 6, 5) on a blue 8 x 7 bitmap: W white (c1), S silver
// (c2), G gray (c3), K black (c4), Y yellow (c5).
Rows FrameArt(int style) {
  TBitmap bmp(8, 7);
  bmp.Canvas().Brush().SetColor(clBlue);
  bmp.Canvas().Pen().SetColor(clBlue);
  bmp.Canvas().Rectangle(0, 0, 8, 7);
  DrawFrame(bmp.Canvas(), static_cast<TFrameStyle>(style), 1, 1, 6, 5, clWhite, clSilver, clGray,
            clBlack, kC5);
  return Art(bmp, 0, 0, 8, 7,
             {{clWhite, 'W'}, {clSilver, 'S'}, {clGray, 'G'}, {clBlack, 'K'}, {kC5, 'Y'}});
}

TEST(DrawFrame, EveryStyleOnABitmap) {
  const struct {
    int style;
    Rows rows;
  } cases[] = {
      {fsNone, {"........", "........", "........", "........", "........", "........", "........"}},
      {fsSimple, {"........", ".YYYYYY.", ".Y....Y.", ".Y....Y.", ".Y....Y.", ".YYYYYY.", "........"}},
      // The classic raised edge: white outer top-left, black outer
      // bottom-right, silver inner top-left, gray inner bottom-right.
      {fsRaised, {"........", ".WWWWWW.", ".WSSSSK.", ".WS..GK.", ".WGGGGK.", ".KKKKKK.", "........"}},
      {fsLowered, {"........", ".GGGGGG.", ".GKKKKW.", ".GK..SW.", ".GSSSSW.", ".WWWWWW.", "........"}},
      {fsEmbossed, {"........", ".WWWWWW.", ".WGGGGG.", ".WG..WG.", ".WWWWWG.", ".GGGGGG.", "........"}},
      {fsEngraved, {"........", ".GGGGGG.", ".GWWWWW.", ".GW..GW.", ".GGGGGW.", ".WWWWWW.", "........"}},
      // Only the low seven bits count; beyond fsEngraved nothing is drawn.
      {0x80 | fsRaised, {"........", ".WWWWWW.", ".WSSSSK.", ".WS..GK.", ".WGGGGK.", ".KKKKKK.", "........"}},
      {6, {"........", "........", "........", "........", "........", "........", "........"}},
      {0x7F, {"........", "........", "........", "........", "........", "........", "........"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FrameArt(c.style), c.rows) << "style " << c.style;
  }
}

TEST(DrawFrame, LineOrderAndPenColours) {
  RecordingCanvas rec;
  DrawFrame(rec, fsLowered, 10, 20, 50, 40, 0x000001, 0x000002, 0x000003, 0x000004, 0x000005);
  const std::vector<std::string> want = {
      "MoveTo 10,40", "LineTo 10,20 pen 000003", "LineTo 51,20 pen 000003", "MoveTo 50,21",
      "LineTo 50,40 pen 000001", "LineTo 9,40 pen 000001",
      "MoveTo 11,39", "LineTo 11,21 pen 000004", "LineTo 50,21 pen 000004", "MoveTo 49,22",
      "LineTo 49,39 pen 000002", "LineTo 10,39 pen 000002"};
  EXPECT_EQ(rec.calls, want);
  EXPECT_EQ(rec.Pen().Color(), 0x000002u);  // left at the inner bottom-right colour

  RecordingCanvas simple;
  DrawFrame(simple, fsSimple, 1, 2, 3, 4, 1, 2, 3, 4, 0x000005);
  EXPECT_EQ(simple.calls, (std::vector<std::string>{"MoveTo 1,2", "LineTo 1,4 pen 000005",
                                                     "LineTo 3,4 pen 000005", "LineTo 3,2 pen 000005",
                                                     "LineTo 1,2 pen 000005"}));
}

// A frame whose edges are the ends of the int range: the lines one pixel
// beyond or inside them stop at the range's ends instead of wrapping.
TEST(DrawFrame, EdgesAtTheEndsOfTheIntRange) {
  RecordingCanvas rec;
  DrawFrame(rec, fsRaised, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, 2, 3, 4, 5);
  const std::string lo = std::to_string(INT_MIN), hi = std::to_string(INT_MAX);
  EXPECT_EQ(rec.calls[2], "LineTo " + hi + "," + lo + " pen 000001");  // R + 1
  EXPECT_EQ(rec.calls[5], "LineTo " + lo + "," + hi + " pen 000004");  // L - 1
  EXPECT_EQ(rec.calls[9], "MoveTo " + std::to_string(INT_MAX - 1) + "," + std::to_string(INT_MIN + 2));
  TBitmap bmp(4, 3);  // the visible corner of the frame: outer and inner top-left edges
  bmp.Canvas().Brush().SetColor(clBlue);
  bmp.Canvas().Pen().SetColor(clBlue);
  bmp.Canvas().Rectangle(0, 0, 4, 3);
  DrawFrame(bmp.Canvas(), fsRaised, 0, 0, INT_MAX, INT_MAX, clWhite, clSilver, clGray, clBlack, kC5);
  EXPECT_EQ(Art(bmp, 0, 0, 4, 3, {{clWhite, 'W'}, {clSilver, 'S'}}), (Rows{"WWWW", "WSSS", "WS.."}));
}

TEST(DrawRectangle, OutlineThroughBothCorners) {
  TBitmap bmp(5, 4);
  bmp.Canvas().Pen().SetColor(clRed);
  DrawRectangle(bmp.Canvas(), 3, 2, 0, 0);  // corners in either order
  EXPECT_EQ(Art(bmp, 0, 0, 5, 4, {{clRed, 'R'}}), (Rows{"RRRR.", "R..R.", "RRRR.", "....."}));
}

}  // namespace
}  // namespace zel
