#include "zel/graphics/marks.h"

#include <algorithm>
#include <climits>
#include <initializer_list>

#include "zel/graphics/internal/raster.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {
namespace {

// The 7 x 7 patterns of types 1-6 and 18, rows from the top; bit 0 is the
// rightmost pixel (x + 3), bit 6 the leftmost (x - 3).
constexpr uint8_t kPattern1[7] = {0x00, 0x00, 0x08, 0x1C, 0x08, 0x00, 0x00};
constexpr uint8_t kPattern2[7] = {0x00, 0x08, 0x08, 0x3E, 0x08, 0x08, 0x00};
constexpr uint8_t kPattern3[7] = {0x08, 0x08, 0x08, 0x7F, 0x08, 0x08, 0x08};
constexpr uint8_t kPattern4[7] = {0x00, 0x00, 0x14, 0x08, 0x14, 0x00, 0x00};
constexpr uint8_t kPattern5[7] = {0x00, 0x22, 0x14, 0x08, 0x14, 0x22, 0x00};
constexpr uint8_t kPattern6[7] = {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41};
constexpr uint8_t kPattern18[7] = {0x55, 0x2A, 0x55, 0x2A, 0x55, 0x2A, 0x55};

const uint8_t* PatternOf(uint8_t type) {
  switch (type) {
    case 1: return kPattern1;
    case 2: return kPattern2;
    case 3: return kPattern3;
    case 4: return kPattern4;
    case 5: return kPattern5;
    case 6: return kPattern6;
    case 18: return kPattern18;
    default: return nullptr;
  }
}

// The drawing vocabulary of the marks, relative to the centre (X, Y).
class MarkPainter {
 public:
  MarkPainter(TCanvas& c, int x, int y) : c_(c), X(x), Y(y) {}

  void Line(int x0, int y0, int x1, int y1) {
    c_.MoveTo(x0, y0);
    c_.LineTo(x1, y1);
  }
  void Chain(std::initializer_list<TPoint> points) {
    c_.MoveTo(points.begin()->X, points.begin()->Y);
    for (auto p = points.begin() + 1; p != points.end(); ++p) c_.LineTo(p->X, p->Y);
  }
  void Plus(int a, int b) {
    Line(X - a, Y, X + b, Y);
    Line(X, Y - a, X, Y + b);
  }
  void Cross(int a, int b) {
    Line(X - a, Y - a, X + b, Y + b);
    Line(X - a, Y + a, X + b, Y - b);
  }
  void Dot() { c_.SetPixels(X, Y, c_.Pen().Color()); }
  void Pattern(const uint8_t* rows) {
    const TColor color = c_.Pen().Color();
    for (int r = 1; r <= 7; ++r) {
      for (int j = 1; j <= 7; ++j) {
        if (rows[r - 1] & (1u << (j - 1))) c_.SetPixels(X + 4 - j, Y + r - 4, color);
      }
    }
  }

  // Shapes filled with the pen colour (in the current brush style), or
  // drawn on a clear brush that is then made solid.
  enum Kind { kFilled, kHollow };
  void Rect(Kind k, int x1, int y1, int x2, int y2) {
    Begin(k);
    c_.Rectangle(x1, y1, x2, y2);
    End(k);
  }
  void Ellipse(Kind k, int x1, int y1, int x2, int y2) {
    Begin(k);
    c_.Ellipse(x1, y1, x2, y2);
    End(k);
  }
  void Poly(Kind k, std::initializer_list<TPoint> points) {
    Begin(k);
    c_.Polygon(std::span<const TPoint>(points.begin(), points.size()));
    End(k);
  }
  // The diamond outline of types 13 and 19.
  void Diamond() { Chain({{X - 3, Y}, {X, Y + 3}, {X + 3, Y}, {X, Y - 3}, {X - 3, Y}}); }

  TCanvas& c_;
  const int X, Y;

 private:
  void Begin(Kind k) {
    if (k == kFilled) {
      c_.Brush().SetColor(c_.Pen().Color());
    } else {
      c_.Brush().SetStyle(bsClear);
    }
  }
  void End(Kind k) {
    if (k == kHollow) c_.Brush().SetStyle(bsSolid);
  }
};

void DrawShape(MarkPainter& m, uint8_t type, bool printer) {
  const MarkPainter::Kind F = MarkPainter::kFilled, H = MarkPainter::kHollow;
  const int X = m.X, Y = m.Y;
  if (const uint8_t* pattern = PatternOf(type)) {
    if (!printer) {
      m.Pattern(pattern);
    } else if (type <= 3) {
      m.Plus(type + 1, type + 1);
    } else if (type <= 6) {
      m.Cross(type - 2, type - 2);
    } else {
      // Type 18: a dot wherever the offsets have equal parity.
      for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
          if (((dx ^ dy) & 1) == 0) m.Line(X + dx, Y + dy, X + dx, Y + dy);
        }
      }
    }
    return;
  }
  switch (type) {
    case 0: m.Dot(); break;
    case 7: case 8: case 9: {
      const int a = type - 6;
      m.Rect(F, X - a, Y - a, X + a + 1, Y + a + 1);
      break;
    }
    case 10: case 11: case 12: {
      const int a = type - 9;
      m.Chain({{X - a, Y - a}, {X - a, Y + a}, {X + a, Y + a}, {X + a, Y - a}, {X - a, Y - a}});
      break;
    }
    case 13: m.Diamond(); m.Dot(); break;
    case 14: case 15: {
      const int a = type - 12;
      m.Poly(F, {{X - a, Y}, {X, Y + a}, {X + a, Y}, {X, Y - a}});
      break;
    }
    case 16: m.Ellipse(H, X - 2, Y - 2, X + 3, Y + 3); break;
    case 17: m.Ellipse(H, X - 3, Y - 3, X + 4, Y + 4); break;
    case 19: m.Diamond(); break;
    case 20: case 21: case 22: case 23: {
      const int a = (type & 1) ? 4 : 3, dy = type <= 21 ? a : -a;
      m.Line(X, Y, X - a, Y + dy);
      m.Line(X, Y, X + a, Y + dy);
      break;
    }
    case 24: m.Ellipse(F, X - 3, Y - 3, X + 4, Y + 4); break;
    case 25: {
      const int a = printer ? 3 : 4, b = printer ? 2 : 3;
      m.Line(X - 3, Y - 3, X + a, Y + a);
      m.Line(X - 3, Y - 2, X + b, Y + a);
      m.Line(X - 2, Y - 3, X + a, Y + b);
      m.Line(X - 3, Y + 3, X + a, Y - a);
      m.Line(X - 3, Y + 2, X + b, Y - a);
      m.Line(X - 2, Y + 3, X + a, Y - b);
      break;
    }
    case 26: m.Ellipse(F, X - 2, Y - 2, X + 3, Y + 3); break;
    case 27: m.Ellipse(H, X - 2, Y - 2, X + 2, Y + 2); break;
    case 28: m.Ellipse(F, X - 2, Y - 2, X + 2, Y + 2); break;
    case 29: case 30: case 31: case 32: {
      const int a = (type & 1) ? 2 : 3;
      m.Poly(type <= 30 ? F : H, {{X - a, Y}, {X, Y + a}, {X + a, Y}});
      break;
    }
    case 33: case 34: m.Poly(type == 33 ? H : F, {{X - 4, Y - 3}, {X, Y + 4}, {X + 4, Y - 3}}); break;
    case 35: case 36: m.Poly(type == 35 ? H : F, {{X - 4, Y + 3}, {X, Y - 4}, {X + 4, Y + 3}}); break;
    case 37:
      m.Line(X - 3, Y, X + 4, Y);
      m.Line(X, Y, X, Y - 8);
      break;
    case 38:
      m.Line(X - 3, Y - 2, X + 4, Y - 2);
      m.Line(X - 3, Y + 2, X + 4, Y + 2);
      m.Line(X, Y - 2, X, Y + 2);
      break;
    case 39:
      m.Ellipse(H, X - 3, Y - 3, X + 4, Y + 4);
      m.Plus(3, 4);
      break;
    case 40: case 41: case 42: case 43: {
      const int a = type <= 41 ? 3 : 4, b = a - 1;
      m.Poly((type & 1) ? F : H, {{X + a, Y - b}, {X - b, Y}, {X + a, Y + b}});
      break;
    }
    case 44: case 45: case 46: case 47: {
      const int a = type <= 45 ? 3 : 4, b = a - 1;
      m.Poly((type & 1) ? F : H, {{X - a, Y - b}, {X + b, Y}, {X - a, Y + b}});
      break;
    }
    case 48:
      m.Rect(H, X - 3, Y - 3, X + 4, Y + 4);
      m.Plus(3, 4);
      break;
    case 49:
      m.Rect(H, X - 2, Y - 2, X + 3, Y + 3);
      m.Plus(4, 5);
      break;
    case 50:
      m.c_.Brush().SetStyle(bsSolid);
      m.Plus(4, 5);
      m.Cross(3, 4);
      break;
    case 51:
      m.c_.Brush().SetStyle(bsSolid);
      m.Plus(4, 5);
      m.Line(X - 1, Y - 3, X + 2, Y - 3);
      m.Line(X - 1, Y + 3, X + 2, Y + 3);
      m.Line(X - 3, Y - 1, X - 3, Y + 2);
      m.Line(X + 3, Y - 1, X + 3, Y + 2);
      break;
    default: break;
  }
}

}  // namespace

void DrawMarkOnCanvas(TCanvas& canvas, uint8_t mark_type, int x, int y) {
  constexpr int kReach = 16;  // no mark reaches further from its centre
  if (x < INT_MIN + kReach || x > INT_MAX - kReach || y < INT_MIN + kReach || y > INT_MAX - kReach) {
    return;
  }
  if (mark_type >= 52) {
    // The code is read as every 8-bit character of the library is, in
    // Windows-1252: 128 is the euro sign, 153 the trade mark sign; the five
    // codes that page leaves undefined stay the controls they were.
    const Char code = mark_type >= 200 && mark_type <= 209 ? static_cast<Char>(mark_type - 152)
                                                           : AnsiToChar(mark_type);
    const String text(1, code);
    canvas.Font().SetColor(canvas.Pen().Color());
    canvas.Brush().SetStyle(bsClear);
    // 64 bits: a character wider than the distance to INT_MIN starts there.
    const int64_t w = canvas.TextWidth(text), h = canvas.TextHeight(text);
    canvas.TextOut(detail::ClampToInt(x - w / 2), detail::ClampToInt(y - h / 2), text);
    return;
  }
  const TColor saved = canvas.Brush().Color();
  MarkPainter painter(canvas, x, y);
  DrawShape(painter, mark_type, canvas.IsPrinterCanvas());
  canvas.Brush().SetColor(saved);
}

std::unique_ptr<TBitmap> CreateMarkAsBitmap(uint8_t mark_type, TColor mark_color, TColor background,
                                            int margin) {
  margin = std::clamp(margin, 0, 255);
  const int size = 2 * margin + 7;
  auto bitmap = std::make_unique<TBitmap>(size, size);
  TCanvas& c = bitmap->Canvas();
  c.Pen().SetColor(background);
  c.Brush().SetColor(background);
  c.Brush().SetStyle(bsSolid);
  c.Rectangle(0, 0, size, size);
  c.Pen().SetColor(mark_color);
  DrawMarkOnCanvas(c, mark_type, margin + 3, margin + 3);
  return bitmap;
}

}  // namespace zel
