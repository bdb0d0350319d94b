#include "zel/graphics/internal/raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zel::detail {
namespace {

__extension__ typedef __int128 Int128;

// Whether position `i` of a dashed line is drawn.
bool DashOn(std::span<const int> pattern, int period, int64_t i) {
  int64_t pos = i % period;
  for (size_t k = 0; k < pattern.size(); ++k) {
    if (pos < pattern[k]) return k % 2 == 0;
    pos -= pattern[k];
  }
  return false;
}

int Period(std::span<const int> pattern) {
  int period = 0;
  for (int d : pattern) period += d;
  return period;
}

}  // namespace

std::span<const int> DashPattern(const LinePen& pen) {
  static constexpr int kDash[] = {18, 6};
  static constexpr int kDot[] = {3, 3};
  static constexpr int kDashDot[] = {9, 6, 3, 6};
  static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
  if (pen.Width() != 1) return {};
  switch (pen.style) {
    case psDash: return kDash;
    case psDot: return kDot;
    case psDashDot: return kDashDot;
    case psDashDotDot: return kDashDotDot;
    default: return {};
  }
}

bool DashOnAt(std::span<const int> pattern, double distance) {
  const int period = Period(pattern);
  if (period == 0) return true;
  double pos = std::fmod(distance, period);
  if (pos < 0) pos += period;
  for (size_t k = 0; k < pattern.size(); ++k) {
    if (pos < pattern[k]) return k % 2 == 0;
    pos -= pattern[k];
  }
  return false;
}

void PutPixel(const Surface& s, int64_t x, int64_t y, uint32_t color) {
  if (static_cast<uint64_t>(x) < static_cast<uint64_t>(s.width) &&
      static_cast<uint64_t>(y) < static_cast<uint64_t>(s.height)) {
    s.pixels[y * s.width + x] = color;
  }
}

void FillRect(const Surface& s, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t color) {
  x1 = std::max<int64_t>(x1, 0);
  y1 = std::max<int64_t>(y1, 0);
  x2 = std::min<int64_t>(x2, s.width);
  y2 = std::min<int64_t>(y2, s.height);
  if (x1 >= x2 || y1 >= y2) return;
  for (int64_t y = y1; y < y2; ++y) {
    uint32_t* row = s.pixels + y * s.width;
    std::fill(row + x1, row + x2, color);
  }
}

void DrawLine(const Surface& s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const LinePen& pen) {
  if (!pen.Visible()) return;
  const int64_t dx = x1 - x0, dy = y1 - y0;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int64_t n = std::max(adx, ady);
  if (n == 0) return;  // start == end: the start is the end, so nothing

  const int width = pen.Width();
  const int64_t lo = (width - 1) / 2, hi = width - 1 - lo;  // stamp extent
  const std::span<const int> dashes = DashPattern(pen);
  const int period = Period(dashes);

  // Walk the major axis; the minor coordinate of step i is
  // c0 + sc * floor((2 i aminor + amajor) / (2 amajor)).
  const bool xmajor = adx >= ady;
  const int64_t m0 = xmajor ? x0 : y0, c0 = xmajor ? y0 : x0;
  const int64_t sm = (xmajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t sc = (xmajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t amajor = n, aminor = xmajor ? ady : adx;
  const int64_t extent = xmajor ? s.width : s.height;

  // Steps whose stamp can touch the surface along the major axis.
  const int64_t mlo = -hi, mhi = extent - 1 + lo;
  int64_t ilo, ihi;
  if (sm > 0) {
    ilo = mlo - m0;
    ihi = mhi - m0;
  } else {
    ilo = m0 - mhi;
    ihi = m0 - mlo;
  }
  ilo = std::max<int64_t>(ilo, 0);
  ihi = std::min<int64_t>(ihi, n - 1);
  if (ilo > ihi) return;

  const int64_t den = 2 * amajor;
  const Int128 num = static_cast<Int128>(2) * ilo * aminor + amajor;
  int64_t q = static_cast<int64_t>(num / den);
  int64_t r = static_cast<int64_t>(num % den);
  if (width == 1) {
    for (int64_t i = ilo; i <= ihi; ++i) {
      if (period == 0 || DashOn(dashes, period, i)) {
        const int64_t m = m0 + sm * i, c = c0 + sc * q;
        PutPixel(s, xmajor ? m : c, xmajor ? c : m, pen.color);
      }
      r += 2 * aminor;
      if (r >= den) {
        r -= den;
        ++q;
      }
    }
    return;
  }

  // A wide pen covers the union of width x width squares centred on the
  // line's pixels.  The steps whose squares reach a row are consecutive, so
  // each row of the union is one span, from the first of those squares to
  // the last: one fill per row, O(length + rows * width) in all.
  const auto minor_at = [&](int64_t i) {  // the minor coordinate of step i
    return c0 + sc * static_cast<int64_t>((static_cast<Int128>(2) * i * aminor + amajor) / den);
  };
  const auto span = [&](int64_t y, int64_t xa, int64_t xb) {
    FillRect(s, std::min(xa, xb) - lo, y, std::max(xa, xb) + hi + 1, y + 1, pen.color);
  };
  if (xmajor) {
    // Runs of consecutive steps on one row c of the line.
    struct RunOfSteps {
      int64_t c, first, last;
    };
    std::vector<RunOfSteps> runs;
    for (int64_t i = ilo; i <= ihi; ++i) {
      const int64_t c = c0 + sc * q;
      if (runs.empty() || runs.back().c != c) {
        runs.push_back(RunOfSteps{c, i, i});
      } else {
        runs.back().last = i;
      }
      r += 2 * aminor;
      if (r >= den) {
        r -= den;
        ++q;
      }
    }
    if (sc < 0) std::reverse(runs.begin(), runs.end());
    // Row y gets the runs whose row c has y in c - lo .. c + hi.
    const int64_t ytop = std::max<int64_t>(runs.front().c - lo, 0);
    const int64_t ybottom = std::min<int64_t>(runs.back().c + hi, s.height - 1);
    size_t a = 0, b = 0;
    for (int64_t y = ytop; y <= ybottom; ++y) {
      while (b < runs.size() && runs[b].c <= y + lo) ++b;
      while (a < b && runs[a].c < y - hi) ++a;
      if (a == b) continue;
      const int64_t first = std::min(runs[a].first, runs[b - 1].first);
      const int64_t last = std::max(runs[a].last, runs[b - 1].last);
      span(y, m0 + sm * first, m0 + sm * last);
    }
  } else {
    // Row y gets the steps whose row m has y in m - lo .. m + hi.
    const int64_t mlo_row = std::min(m0 + sm * ilo, m0 + sm * ihi), mhi_row = std::max(m0 + sm * ilo, m0 + sm * ihi);
    const int64_t ytop = std::max<int64_t>(mlo_row - lo, 0);
    const int64_t ybottom = std::min<int64_t>(mhi_row + hi, s.height - 1);
    for (int64_t y = ytop; y <= ybottom; ++y) {
      int64_t first = sm > 0 ? y - hi - m0 : m0 - y - lo;
      int64_t last = sm > 0 ? y + lo - m0 : m0 - y + hi;
      first = std::max(first, ilo);
      last = std::min(last, ihi);
      if (first > last) continue;
      span(y, minor_at(first), minor_at(last));
    }
  }
}

void ShapeRasterizer::Rectangle(const Surface& s, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                                const LinePen& pen, const Fill& fill) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  if (!pen.Visible()) {
    if (fill.solid) FillRect(s, x1, y1, x2, y2, fill.color);
    return;
  }
  if (const std::span<const int> dashes = DashPattern(pen); !dashes.empty()) {
    if (fill.solid) FillRect(s, x1 + 1, y1 + 1, x2 - 1, y2 - 1, fill.color);
    // The outline clockwise from the top-left pixel; each side is the run
    // of pixels from its first corner to its last, at its distance along it.
    const int period = Period(dashes);
    const int64_t w = x2 - 1 - x1, h = y2 - 1 - y1;
    const auto side = [&](int64_t x, int64_t y, int64_t sx, int64_t sy, int64_t len, int64_t start) {
      // Only the steps k in 0..len that can land on the surface.
      int64_t klo = 0, khi = len;
      const auto limit = [&](int64_t p, int64_t step, int64_t extent) {
        if (step == 0) {
          if (p < 0 || p >= extent) khi = -1;
        } else if (step > 0) {
          klo = std::max(klo, -p), khi = std::min(khi, extent - 1 - p);
        } else {
          klo = std::max(klo, p - (extent - 1)), khi = std::min(khi, p);
        }
      };
      limit(x, sx, s.width);
      limit(y, sy, s.height);
      for (int64_t k = klo; k <= khi; ++k) {
        if (DashOn(dashes, period, start + k)) PutPixel(s, x + sx * k, y + sy * k, pen.color);
      }
    };
    side(x1, y1, 1, 0, w, 0);
    side(x2 - 1, y1, 0, 1, h, w);
    side(x2 - 1, y2 - 1, -1, 0, w, w + h);
    side(x1, y2 - 1, 0, -1, h, 2 * w + h);
    return;
  }
  const int64_t w = pen.Width();
  const int64_t ty = std::min(y1 + w, y2), by = std::max(y2 - w, ty);
  const int64_t lx = std::min(x1 + w, x2), rx = std::max(x2 - w, lx);
  FillRect(s, x1, y1, x2, ty, pen.color);
  FillRect(s, x1, by, x2, y2, pen.color);
  FillRect(s, x1, ty, lx, by, pen.color);
  FillRect(s, rx, ty, x2, by, pen.color);
  if (fill.solid) FillRect(s, lx, ty, rx, by, fill.color);
}

// Which pixels of an ellipse's outline a dashed pen draws: the length along
// the ellipse through the outline's pixel centres (semi-axes half the box
// less half a pixel, as the printer strokes it), clockwise from its
// rightmost point, looked up in a table of the length at even angle steps.
class ShapeRasterizer::EllipseDash {
 public:
  EllipseDash(std::span<const int> pattern, double cx, double cy, double a, double b)
      : pattern_(pattern), cx_(cx), cy_(cy), a_(std::max(a, 1e-9)), b_(std::max(b, 1e-9)) {
    const double perimeter =
        std::numbers::pi * (3 * (a_ + b_) - std::sqrt((3 * a_ + b_) * (a_ + 3 * b_)));
    const size_t steps = static_cast<size_t>(std::clamp(perimeter * 4, 64.0, 65536.0));
    length_.resize(steps + 1);
    double prev_x = a_, prev_y = 0;
    for (size_t j = 1; j <= steps; ++j) {
      const double t = 2 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(steps);
      const double x = a_ * std::cos(t), y = b_ * std::sin(t);
      length_[j] = length_[j - 1] + std::hypot(x - prev_x, y - prev_y);
      prev_x = x, prev_y = y;
    }
  }

  bool On(int64_t px, int64_t py) const {
    double t = std::atan2((static_cast<double>(py) + 0.5 - cy_) / b_, (static_cast<double>(px) + 0.5 - cx_) / a_);
    if (t < 0) t += 2 * std::numbers::pi;
    const double at = t / (2 * std::numbers::pi) * static_cast<double>(length_.size() - 1);
    const size_t j = std::min(static_cast<size_t>(at), length_.size() - 2);
    const double frac = at - static_cast<double>(j);
    return DashOnAt(pattern_, length_[j] + frac * (length_[j + 1] - length_[j]));
  }

 private:
  std::span<const int> pattern_;
  double cx_, cy_, a_, b_;
  std::vector<double> length_;
};

void ShapeRasterizer::Ellipse(const Surface& s, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                              const LinePen& pen, const Fill& fill) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  // Rows that can matter: the visible ones and, for the erosion, the pen
  // width above and below them.
  const int64_t w = pen.Visible() ? pen.Width() : 0;
  const int64_t top = std::max(y1, -w), bottom = std::min(y2, s.height + w);
  if (top >= bottom) return;
  const double rx = static_cast<double>(x2 - x1) / 2, ry = static_cast<double>(y2 - y1) / 2;
  const double cx = static_cast<double>(x1) + rx, cy = static_cast<double>(y1) + ry;
  rows_.resize(static_cast<size_t>(bottom - top));
  for (int64_t y = top; y < bottom; ++y) {
    // Pixel centres inside the ellipse; the small slack keeps centres that
    // lie exactly on it inside despite rounding.
    const double t = (static_cast<double>(y) + 0.5 - cy) / ry;
    const double q = 1 - t * t;
    RowSpan& span = rows_[static_cast<size_t>(y - top)];
    if (q < 0) {
      span = RowSpan{};
      continue;
    }
    const double half = rx * std::sqrt(q) + 1e-9;
    span.left = static_cast<int64_t>(std::ceil(cx - half - 0.5));
    span.right = static_cast<int64_t>(std::floor(cx + half - 0.5));
  }
  if (const std::span<const int> dashes = DashPattern(pen); !dashes.empty()) {
    const EllipseDash dash(dashes, cx, cy, rx - 0.5, ry - 0.5);
    PaintConvex(s, top, pen, fill, &dash);
    return;
  }
  PaintConvex(s, top, pen, fill);
}

void ShapeRasterizer::PaintConvex(const Surface& s, int64_t top, const LinePen& pen, const Fill& fill,
                                  const EllipseDash* dash) {
  // The outline pixels left..right of row y, in the pen or, dashed, where
  // the dash is on.
  const auto outline = [&](int64_t left, int64_t right, int64_t y) {
    if (dash == nullptr) {
      FillRect(s, left, y, right + 1, y + 1, pen.color);
      return;
    }
    for (int64_t x = std::max<int64_t>(left, 0); x <= std::min<int64_t>(right, s.width - 1); ++x) {
      if (dash->On(x, y)) PutPixel(s, x, y, pen.color);
    }
  };
  const size_t n = rows_.size();
  const int w = pen.Visible() ? pen.Width() : 0;
  inner_ = rows_;
  bool any = true;
  for (int step = 0; step < w && any; ++step) {
    scratch_.resize(n);
    any = false;
    for (size_t i = 0; i < n; ++i) {
      const RowSpan& c = inner_[i];
      if (c.Empty() || i == 0 || i + 1 == n || inner_[i - 1].Empty() || inner_[i + 1].Empty()) {
        scratch_[i] = RowSpan{};
        continue;
      }
      scratch_[i].left = std::max({c.left + 1, inner_[i - 1].left, inner_[i + 1].left});
      scratch_[i].right = std::min({c.right - 1, inner_[i - 1].right, inner_[i + 1].right});
      any = any || !scratch_[i].Empty();
    }
    inner_.swap(scratch_);
  }
  for (size_t i = 0; i < n; ++i) {
    const int64_t y = top + static_cast<int64_t>(i);
    if (y < 0 || y >= s.height) continue;
    const RowSpan& outer = rows_[i];
    if (outer.Empty()) continue;
    const RowSpan& in = inner_[i];
    if (in.Empty()) {
      if (w > 0) {
        outline(outer.left, outer.right, y);
      } else if (fill.solid) {
        FillRect(s, outer.left, y, outer.right + 1, y + 1, fill.color);
      }
      continue;
    }
    if (w > 0) {
      outline(outer.left, in.left - 1, y);
      outline(in.right + 1, outer.right, y);
    }
    if (fill.solid) FillRect(s, in.left, y, in.right + 1, y + 1, fill.color);
  }
}

void ShapeRasterizer::Polygon(const Surface& s, std::span<const TPoint> points, const LinePen& pen,
                              const Fill& fill) {
  if (points.size() < 2) return;
  if (fill.solid) {
    int64_t miny = points[0].Y, maxy = points[0].Y;
    for (const TPoint& p : points) {
      miny = std::min<int64_t>(miny, p.Y);
      maxy = std::max<int64_t>(maxy, p.Y);
    }
    miny = std::max<int64_t>(miny, 0);
    maxy = std::min<int64_t>(maxy, s.height - 1);
    for (int64_t y = miny; y <= maxy; ++y) {
      crossings_.clear();
      for (size_t k = 0; k < points.size(); ++k) {
        const TPoint& a = points[k];
        const TPoint& b = points[(k + 1) % points.size()];
        if (a.Y == b.Y) continue;
        const int64_t ylo = std::min(a.Y, b.Y), yhi = std::max(a.Y, b.Y);
        if (y < ylo || y >= yhi) continue;
        crossings_.push_back(static_cast<double>(a.X) + static_cast<double>(y - a.Y) *
                                                           static_cast<double>(int64_t{b.X} - a.X) /
                                                           static_cast<double>(int64_t{b.Y} - a.Y));
      }
      std::sort(crossings_.begin(), crossings_.end());
      for (size_t k = 0; k + 1 < crossings_.size(); k += 2) {
        const auto left = static_cast<int64_t>(std::ceil(crossings_[k] - 1e-9));
        const auto right = static_cast<int64_t>(std::floor(crossings_[k + 1] + 1e-9));
        if (left <= right) FillRect(s, left, y, right + 1, y + 1, fill.color);
      }
    }
  }
  for (size_t k = 0; k < points.size(); ++k) {
    const TPoint& a = points[k];
    const TPoint& b = points[(k + 1) % points.size()];
    DrawLine(s, a.X, a.Y, b.X, b.Y, pen);
  }
}

}  // namespace zel::detail
