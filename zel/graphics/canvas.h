// zel/graphics/canvas.h — `TCanvas`, the drawing surface, with its `TPen`,
// `TBrush` and `TFont`.
//
// A canvas draws lines, rectangles, ellipses, polygons, single pixels and
// text in its current pen, brush and font.  It is an interface: a bitmap's
// canvas (zel/graphics/bitmap.h) rasterises into the bitmap's pixels, the
// printer's canvas (zel/graphics/printer.h) writes PDF pages, and a test may
// put in a canvas that records the calls.
//
//   zel::TBitmap bmp(40, 30);
//   zel::TCanvas& c = bmp.Canvas();
//   c.Pen().SetColor(0x0000FF);            // red: TColor is 0x00BBGGRR
//   c.MoveTo(0, 0);
//   c.LineTo(10, 0);                        // pixels x = 0..9 (not the end)
//   c.Brush().SetColor(0x00FF00);
//   c.Rectangle(2, 2, 6, 5);                // covers x 2..5, y 2..4
//   c.TextOut(1, 10, u"Hi");                // top-left of the text at (1, 10)
//
// Pixel conventions of the rasterising canvases: a line covers its start
// point and not its end point; a rectangle or ellipse given by x1, y1, x2, y2
// covers x1..x2-1 and y1..y2-1, its outline in the pen (as wide as the pen),
// its inside in the brush (nothing with a clear brush); a polygon is filled
// with the brush and outlined by the closed run of lines through its points.
// Everything is clipped to the surface; nothing is anti-aliased.  Pens wider
// than 1024 pixels rasterise 1024 wide.
//
// Dashed pen styles apply to pens one pixel wide (wider pens draw solid), on
// every canvas alike: a line's dashes run from its start point, a
// rectangle's outline clockwise from its top-left corner, an ellipse's
// clockwise from its rightmost point.  Underline and strike-out sit at the
// same pixels on every canvas.
#ifndef ZEL_GRAPHICS_CANVAS_H_
#define ZEL_GRAPHICS_CANVAS_H_

#include <cstdint>
#include <span>

#include "zel/platform/changenotify.h"
#include "zel/platform/component.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/font.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"

namespace ZEL_EXPORT zel {

// A few colours by name (0x00BBGGRR).  `clNone` is no colour at all: what a
// canvas without readable pixels reports for `Pixels`.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clNone = 0x1FFFFFFF;

// How a brush fills: with its colour (bsSolid), or not at all (bsClear:
// shapes get only their outline, text no background).
enum TBrushStyle : uint8_t { bsSolid, bsClear };

// Colour, style and width of lines and outlines.  Setters that change a
// value call OnChange (zel/zelbase/changenotify.h).
class TPen : public WithOnChange<TPersistent> {
 public:
  // The colour (clBlack at first).
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor color);
  // Solid, dashed or clear (psSolid at first; see the top of this file for
  // dashes).
  TPenStyle Style() const noexcept { return style_; }
  void SetStyle(TPenStyle style);
  // Width in pixels; values below 1 are taken as 1.
  int Width() const noexcept { return width_; }
  void SetWidth(int width);

  // Copies colour, style and width from another TPen, then calls OnChange
  // once; the change handler stays this pen's own (a canvas's pen keeps
  // notifying its canvas).
  void Assign(const TPersistent* Source) override;

 private:
  TColor color_ = clBlack;
  TPenStyle style_ = psSolid;
  int width_ = 1;
};

// Colour and style of fills.  Setters that change a value call OnChange.
class TBrush : public WithOnChange<TPersistent> {
 public:
  // The fill colour (clWhite at first).
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor color);
  // Whether the brush fills (bsSolid at first).
  TBrushStyle Style() const noexcept { return style_; }
  void SetStyle(TBrushStyle style);

  // Copies colour and style from another TBrush, then calls OnChange once;
  // the change handler stays this brush's own.
  void Assign(const TPersistent* Source) override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// A drawing operation on a canvas that cannot take it (the printer's canvas
// outside a document, a printer asked to start a second one).
class EPrinter : public Exception {
 public:
  using Exception::Exception;
};

class TCanvas : public TPersistent {
 public:
  TPen& Pen() noexcept { return pen_; }
  const TPen& Pen() const noexcept { return pen_; }
  TBrush& Brush() noexcept { return brush_; }
  const TBrush& Brush() const noexcept { return brush_; }
  // The font of `TextOut`, `TextWidth` and `TextHeight`.
  TFont& Font() noexcept { return font_; }
  const TFont& Font() const noexcept { return font_; }

  // Where the next `LineTo` starts.
  TPoint PenPos() const noexcept { return pen_pos_; }
  virtual void MoveTo(int x, int y);
  // A line in the pen from PenPos to (x, y), which becomes the new PenPos.
  virtual void LineTo(int x, int y) = 0;

  // A rectangle, the ellipse inside that rectangle, or the closed polygon
  // through `points` (even-odd fill; fewer than two points draw nothing):
  // outlined in the pen, filled with the brush (see the top of this file).
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void Polygon(std::span<const TPoint> points) = 0;

  // One pixel: its colour, or clNone where the canvas cannot read it
  // (outside a bitmap, on a printed page).
  virtual TColor Pixels(int x, int y) const = 0;
  virtual void SetPixels(int x, int y, TColor color) = 0;

  // Text in the canvas font: width and height in pixels (the height is the
  // font's ascent plus descent), and output with the text's top-left corner
  // at (x, y) in the font colour, on the brush colour when the brush is
  // solid.  The font comes from fontconfig's best match for the font's
  // name and style and is rendered by FreeType; a character that font lacks
  // comes from the first of fontconfig's fallback fonts that has it (so
  // "Łódź メモ 🙂" shows in DejaVu Sans), colour emoji in their colours.
  // Measurements and drawing use the same glyphs on every canvas.  A font
  // name that no installed font has (and that is no generic name such as
  // "sans-serif") raises EZELError ("Font "NAME" is not installed"), as
  // FontIsTrueType does, instead of drawing in some other font.
  virtual int TextWidth(StringView text);
  virtual int TextHeight(StringView text);
  virtual void TextOut(int x, int y, StringView text) = 0;

  // Copies a device-independent bitmap (a 40-byte header of width, height,
  // planes and bits per pixel; rows of 24-bit blue-green-red pixels from the
  // bottom up, each padded to four bytes; see GetDIB in zel/graphics/bitmap.h)
  // into the rectangle (x, y, x + w, y + h), stretching the source
  // rectangle (sx, sy, sw, sh) of the image (top-down coordinates).  Returns
  // false when the header or the data do not describe an image.
  virtual bool StretchDIBits(int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                             std::span<const uint8_t> header, std::span<const uint8_t> bits) = 0;

  // True for the printer's canvas.
  virtual bool IsPrinterCanvas() const { return false; }

 protected:
  // Sets PenPos without calling the virtual `MoveTo`: for `LineTo`
  // implementations, which move the pen as part of drawing.
  void SetPenPos(TPoint p) noexcept { pen_pos_ = p; }

 private:
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TPoint pen_pos_;
};

}  // namespace zel

#endif  // ZEL_GRAPHICS_CANVAS_H_
