#include "zel/graphics/internal/raster.h"

#include <algorithm>
#include <cmath>

namespace zel::detail {
namespace {

__extension__ typedef __int128 Int128;

// On/off run lengths of the dashed styles, in pixels from the line's start.
std::span<const int> DashPattern(TPenStyle style) {
  static constexpr int kDash[] = {18, 6};
  static constexpr int kDot[] = {3, 3};
  static constexpr int kDashDot[] = {9, 6, 3, 6};
  static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case psDash: return kDash;
    case psDot: return kDot;
    case psDashDot: return kDashDot;
    case psDashDotDot: return kDashDotDot;
    default: return {};
  }
}

// Whether position `i` of a dashed line is drawn.
bool DashOn(std::span<const int> pattern, int period, int64_t i) {
  int64_t pos = i % period;
  for (size_t k = 0; k < pattern.size(); ++k) {
    if (pos < pattern[k]) return k % 2 == 0;
    pos -= pattern[k];
  }
  return false;
}

}  // namespace

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
  const std::span<const int> dashes = width == 1 ? DashPattern(pen.style) : std::span<const int>{};
  int period = 0;
  for (int d : dashes) period += d;

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
  // line's pixels.  Each square differs from the one before by its leading
  // column along the major axis and, where the minor coordinate stepped, its
  // leading row: painting the first square and then those edges covers the
  // same pixels in O(width) per step instead of O(width^2).
  const auto fill = [&](int64_t mlo, int64_t mhi, int64_t clo, int64_t chi) {  // inclusive
    if (xmajor) {
      FillRect(s, mlo, clo, mhi + 1, chi + 1, pen.color);
    } else {
      FillRect(s, clo, mlo, chi + 1, mhi + 1, pen.color);
    }
  };
  int64_t prev_c = 0;
  for (int64_t i = ilo; i <= ihi; ++i) {
    const int64_t m = m0 + sm * i, c = c0 + sc * q;
    if (i == ilo) {
      fill(m - lo, m + hi, c - lo, c + hi);
    } else {
      const int64_t lead_m = sm > 0 ? m + hi : m - lo;
      fill(lead_m, lead_m, c - lo, c + hi);
      if (c != prev_c) {
        const int64_t lead_c = sc > 0 ? c + hi : c - lo;
        fill(m - lo, m + hi, lead_c, lead_c);
      }
    }
    prev_c = c;
    r += 2 * aminor;
    if (r >= den) {
      r -= den;
      ++q;
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
  const int64_t w = pen.Width();
  const int64_t ty = std::min(y1 + w, y2), by = std::max(y2 - w, ty);
  const int64_t lx = std::min(x1 + w, x2), rx = std::max(x2 - w, lx);
  FillRect(s, x1, y1, x2, ty, pen.color);
  FillRect(s, x1, by, x2, y2, pen.color);
  FillRect(s, x1, ty, lx, by, pen.color);
  FillRect(s, rx, ty, x2, by, pen.color);
  if (fill.solid) FillRect(s, lx, ty, rx, by, fill.color);
}

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
  PaintConvex(s, top, pen, fill);
}

void ShapeRasterizer::PaintConvex(const Surface& s, int64_t top, const LinePen& pen, const Fill& fill) {
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
        FillRect(s, outer.left, y, outer.right + 1, y + 1, pen.color);
      } else if (fill.solid) {
        FillRect(s, outer.left, y, outer.right + 1, y + 1, fill.color);
      }
      continue;
    }
    if (w > 0) {
      FillRect(s, outer.left, y, in.left, y + 1, pen.color);
      FillRect(s, in.right + 1, y, outer.right + 1, y + 1, pen.color);
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
