// zel/graphics/internal/recordingcanvas.h — a canvas that draws nothing and
// records every call with the pen, brush or font state it is made in, for
// tests of call order and of the printer's variants (it can claim to be
// the printer's canvas).  Text is measured as 7 pixels per character and
// 11 pixels high.  Test support only.
#ifndef ZEL_GRAPHICS_INTERNAL_RECORDINGCANVAS_H_
#define ZEL_GRAPHICS_INTERNAL_RECORDINGCANVAS_H_

#include <cstdio>
#include <string>
#include <vector>

#include "zel/graphics/canvas.h"

namespace zel::detail {

class RecordingCanvas : public TCanvas {
 public:
  explicit RecordingCanvas(bool printer = false) : printer_(printer) {}

  std::vector<std::string> calls;

  bool IsPrinterCanvas() const override { return printer_; }
  void MoveTo(int x, int y) override {
    TCanvas::MoveTo(x, y);
    calls.push_back("MoveTo " + Pt(x, y));
  }
  void LineTo(int x, int y) override {
    calls.push_back("LineTo " + Pt(x, y) + " pen " + Hex(Pen().Color()));
    TCanvas::MoveTo(x, y);
  }
  void Rectangle(int x1, int y1, int x2, int y2) override {
    calls.push_back("Rectangle " + Pt(x1, y1) + " " + Pt(x2, y2) + Fills());
  }
  void Ellipse(int x1, int y1, int x2, int y2) override {
    calls.push_back("Ellipse " + Pt(x1, y1) + " " + Pt(x2, y2) + Fills());
  }
  void Polygon(std::span<const TPoint> points) override {
    std::string s = "Polygon";
    for (const TPoint& p : points) s += " " + Pt(p.X, p.Y);
    calls.push_back(s + Fills());
  }
  TColor Pixels(int, int) const override { return clNone; }
  void SetPixels(int x, int y, TColor color) override {
    calls.push_back("Pixel " + Pt(x, y) + " " + Hex(color));
  }
  int TextWidth(StringView text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(StringView) override { return 11; }
  void TextOut(int x, int y, StringView text) override {
    calls.push_back("TextOut " + Pt(x, y) + " \"" + ToUtf8(text) + "\" font " + Hex(Font().Color()) +
                    (Brush().Style() == bsClear ? " clear" : " solid"));
  }
  bool StretchDIBits(int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                     std::span<const uint8_t> header, std::span<const uint8_t> bits) override {
    calls.push_back("StretchDIBits " + Pt(x, y) + " " + Pt(w, h) + " from " + Pt(sx, sy) + " " +
                    Pt(sw, sh) + " header " + std::to_string(header.size()) + " bits " +
                    std::to_string(bits.size()));
    return true;
  }

 private:
  static std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  static std::string Hex(TColor c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
    return buf;
  }
  std::string Fills() const {
    return " pen " + Hex(Pen().Color()) + " brush " + Hex(Brush().Color()) +
           (Brush().Style() == bsClear ? " clear" : " solid");
  }
  bool printer_;
};

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_RECORDINGCANVAS_H_
