#include "zel/graphics/printer.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include "zel/graphics/internal/dib.h"
#include "zel/graphics/internal/fontengine.h"
#include "zel/graphics/internal/raster.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"

namespace ZEL_EXPORT zel {
namespace {

// A4 in points and in inches.
constexpr double kA4WidthPt = 595.2756, kA4HeightPt = 841.8898;
constexpr double kA4WidthIn = 210 / 25.4, kA4HeightIn = 297 / 25.4;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;
struct FontFaceDeleter {
  void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};
using FontFacePtr = std::unique_ptr<cairo_font_face_t, FontFaceDeleter>;
struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};

// Where cairo writes the PDF: the safe save's descriptor, never a file
// opened by name.  A failed write is kept to be reported by EndDoc (cairo
// cannot carry an exception through its C frames).
struct PdfSink {
  std::unique_ptr<FileReplacement> out;
  bool failed = false;
  String error;  // the save's message, naming the file
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
  auto* sink = static_cast<PdfSink*>(closure);
  if (sink->failed) return CAIRO_STATUS_WRITE_ERROR;
  try {
    sink->out->Write(data, length);
  } catch (const EInOutError& e) {
    sink->failed = true;
    sink->error = e.Message();
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

void SetColor(cairo_t* cr, TColor c) {
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

}  // namespace

class TPrinter::PrinterCanvas final : public TCanvas {
 public:
  bool IsPrinterCanvas() const override { return true; }

  void Open(SurfacePtr surface, ContextPtr cr, std::unique_ptr<PdfSink> sink) {
    surface_ = std::move(surface);
    cr_ = std::move(cr);
    sink_ = std::move(sink);
  }
  bool IsOpen() const { return cr_ != nullptr; }
  cairo_t* Context() const { return cr_.get(); }
  // Finishes the PDF; returns cairo's status.  The last page is shown
  // first: cairo drops a page that is still open and empty when the surface
  // finishes, so a document ending in blank pages would lose them.
  cairo_status_t Finish() {
    cairo_show_page(cr_.get());
    cr_.reset();
    cairo_surface_finish(surface_.get());
    const cairo_status_t status = cairo_surface_status(surface_.get());
    surface_.reset();
    return status;
  }
  std::unique_ptr<PdfSink> TakeSink() { return std::move(sink_); }
  // Drops the document: nothing more reaches the file (a device or FIFO
  // gets no rest of the PDF), and a temporary file is removed.
  void Close() {
    if (sink_) sink_->failed = true;
    cr_.reset();
    surface_.reset();
    sink_.reset();
  }

  void LineTo(int x, int y) override {
    cairo_t* cr = Checked();
    const TPoint from = PenPos();
    SetPenPos(TPoint{x, y});
    if (Pen().Style() == psClear) return;
    SetColor(cr, Pen().Color());
    const int w = Pen().Width();
    if (from.X == x && from.Y == y) {
      const int lo = (w - 1) / 2;
      cairo_rectangle(cr, x - lo, y - lo, w, w);
      cairo_fill(cr);
      return;
    }
    StrokeLine(cr, from, TPoint{x, y});
  }

  void Rectangle(int x1, int y1, int x2, int y2) override { Shape(x1, y1, x2, y2, &RectanglePath); }
  void Ellipse(int x1, int y1, int x2, int y2) override { Shape(x1, y1, x2, y2, &EllipsePath); }

  void Polygon(std::span<const TPoint> points) override {
    cairo_t* cr = Checked();
    if (points.size() < 2) return;
    const auto path = [&] {
      cairo_new_path(cr);
      for (const TPoint& pt : points) cairo_line_to(cr, pt.X + 0.5, pt.Y + 0.5);
      cairo_close_path(cr);
    };
    if (Brush().Style() == bsSolid) {
      path();
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      SetColor(cr, Brush().Color());
      cairo_fill(cr);
    }
    if (Pen().Style() == psClear) return;
    SetColor(cr, Pen().Color());
    if (!detail::DashPattern(LinePen()).empty()) {
      // Dashes start afresh on every edge, as on a bitmap.
      for (size_t k = 0; k < points.size(); ++k) StrokeLine(cr, points[k], points[(k + 1) % points.size()]);
      return;
    }
    path();
    Stroke(cr);
  }

  TColor Pixels(int, int) const override { return clNone; }

  void SetPixels(int x, int y, TColor color) override {
    cairo_t* cr = Checked();
    SetColor(cr, color);
    cairo_rectangle(cr, x, y, 1, 1);
    cairo_fill(cr);
  }

  void TextOut(int x, int y, StringView text) override {
    cairo_t* cr = Checked();
    // The glyphs and positions the bitmap canvas draws, from the same fonts
    // (fallbacks included), so the printed text measures what TextWidth says.
    const detail::TextLayout layout = detail::LayoutText(Font(), text);
    const detail::TextExtent& e = layout.extent;
    MoveTo(detail::ClampToInt(x + e.width), y);
    if (e.em == 0) return;
    if (Brush().Style() == bsSolid) {
      SetColor(cr, Brush().Color());
      cairo_rectangle(cr, x, y, static_cast<double>(e.width), e.ascent + e.descent);
      cairo_fill(cr);
    }
    SetColor(cr, Font().Color());
    const double baseline = y + double{1} * e.ascent;
    std::vector<cairo_glyph_t> run;
    for (size_t f = 0; f < layout.files.size(); ++f) {
      run.clear();
      for (const detail::PlacedGlyph& g : layout.glyphs) {
        if (g.file == static_cast<int>(f)) run.push_back(cairo_glyph_t{g.glyph, x + static_cast<double>(g.x), baseline});
      }
      const detail::FontFile& file = layout.files[f];
      if (file.color_bitmaps) {
        for (const cairo_glyph_t& g : run) ShowColorGlyph(cr, file, e.em, g);
        continue;
      }
      std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
      if (!pattern || run.empty()) continue;
      FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(file.file.c_str()));
      FcPatternAddInteger(pattern.get(), FC_INDEX, file.index);
      FontFacePtr face(cairo_ft_font_face_create_for_pattern(pattern.get()));
      cairo_set_font_face(cr, face.get());
      cairo_set_font_size(cr, e.em);
      cairo_show_glyphs(cr, run.data(), static_cast<int>(run.size()));
    }
    cairo_set_font_face(cr, nullptr);
    if (Font().HasStyle(fsUnderline)) {
      cairo_rectangle(cr, x, baseline + e.underline, static_cast<double>(e.width), e.thickness);
      cairo_fill(cr);
    }
    if (Font().HasStyle(fsStrikeOut)) {
      cairo_rectangle(cr, x, baseline - e.strike, static_cast<double>(e.width), e.thickness);
      cairo_fill(cr);
    }
  }

  // A glyph of a colour bitmap font (emoji) as the image it is, scaled from
  // its strike to the font's size as on a bitmap: cairo's own text path
  // leaves such glyphs empty in a PDF.
  static void ShowColorGlyph(cairo_t* cr, const detail::FontFile& file, int em, const cairo_glyph_t& at) {
    detail::ColorGlyph glyph;
    if (!detail::LoadColorGlyph(file, em, static_cast<unsigned>(at.index), glyph)) return;
    SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, glyph.width, glyph.height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return;
    cairo_surface_flush(image.get());
    unsigned char* data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < glyph.height; ++y) {
      std::copy_n(glyph.argb.begin() + static_cast<ptrdiff_t>(y) * glyph.width, glyph.width,
                  reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride));
    }
    cairo_surface_mark_dirty(image.get());
    cairo_save(cr);
    cairo_translate(cr, at.x + glyph.left * glyph.scale, at.y - glyph.top * glyph.scale);
    cairo_scale(cr, glyph.scale, glyph.scale);
    cairo_set_source_surface(cr, image.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
  }

  bool StretchDIBits(int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                     std::span<const uint8_t> header, std::span<const uint8_t> bits) override {
    cairo_t* cr = Checked();
    detail::DIBView dib;
    if (!dib.Parse(header, bits)) return false;
    // The part of the source rectangle inside the image.
    const int cx0 = std::max(sx, 0), cy0 = std::max(sy, 0);
    const int cx1 = static_cast<int>(std::min<int64_t>(int64_t{sx} + sw, dib.Width()));
    const int cy1 = static_cast<int>(std::min<int64_t>(int64_t{sy} + sh, dib.Height()));
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || cx0 >= cx1 || cy0 >= cy1) return true;
    SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx1 - cx0, cy1 - cy0));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_flush(image.get());
    unsigned char* data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int py = cy0; py < cy1; ++py) {
      auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(py - cy0) * stride);
      for (int px = cx0; px < cx1; ++px) {
        const TColor c = dib.At(px, py);  // 0x00BBGGRR to cairo's 0x00RRGGBB
        row[px - cx0] = (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
    }
    cairo_surface_mark_dirty(image.get());
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, static_cast<double>(w) / sw, static_cast<double>(h) / sh);
    cairo_set_source_surface(cr, image.get(), cx0 - sx, cy0 - sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, cx0 - sx, cy0 - sy, cx1 - cx0, cy1 - cy0);
    cairo_fill(cr);
    cairo_restore(cr);
    return true;
  }

 private:
  cairo_t* Checked() const {
    if (cr_ == nullptr) throw EPrinter(u"Printing not in progress");
    return cr_.get();
  }

  using PathFn = void (*)(cairo_t*, double x, double y, double w, double h);

  static void RectanglePath(cairo_t* cr, double x, double y, double w, double h) {
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
  }

  static void EllipsePath(cairo_t* cr, double x, double y, double w, double h) {
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
  }

  // A rectangle or ellipse covering x1..x2-1 x y1..y2-1: filled with the
  // brush, outlined with the pen inside that box.
  void Shape(int x1, int y1, int x2, int y2, PathFn path) {
    cairo_t* cr = Checked();
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const double w = x2 - double{1} * x1, h = y2 - double{1} * y1;
    if (w == 0 || h == 0) return;
    if (Brush().Style() == bsSolid) {
      path(cr, x1, y1, w, h);
      SetColor(cr, Brush().Color());
      cairo_fill(cr);
    }
    if (Pen().Style() == psClear) return;
    const double p = std::min({double{1} * Pen().Width(), w / 2, h / 2});
    path(cr, x1 + p / 2, y1 + p / 2, w - p, h - p);
    SetColor(cr, Pen().Color());
    Stroke(cr, p);
  }

  detail::LinePen LinePen() const { return detail::LinePen{0, Pen().Width(), Pen().Style()}; }

  // A line from pixel centre to pixel centre.  A bitmap counts its dashes in
  // steps along the major axis, so the runs are stretched by the length of
  // a step.
  void StrokeLine(cairo_t* cr, TPoint from, TPoint to) {
    const double dx = to.X - double{1} * from.X, dy = to.Y - double{1} * from.Y;
    const double steps = std::max(std::abs(dx), std::abs(dy));
    cairo_new_path(cr);
    cairo_move_to(cr, from.X + 0.5, from.Y + 0.5);
    cairo_line_to(cr, to.X + 0.5, to.Y + 0.5);
    Stroke(cr, 0, steps > 0 ? std::hypot(dx, dy) / steps : 1);
  }

  // Strokes the path in the pen's width (or `width`) and dash style, the
  // runs of the dash pattern (zel/graphics/internal/raster.h) times `scale`.
  void Stroke(cairo_t* cr, double width = 0, double scale = 1) {
    const double w = width > 0 ? width : Pen().Width();
    cairo_set_line_width(cr, w);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    double dashes[8];
    int n = 0;
    for (int run : detail::DashPattern(LinePen())) dashes[n++] = run * scale;
    cairo_set_dash(cr, dashes, n, 0);
    cairo_stroke(cr);
  }

  std::unique_ptr<PdfSink> sink_;  // first, so it outlives the surface that writes to it
  SurfacePtr surface_;
  ContextPtr cr_;
};

TPrinter::TPrinter() : canvas_(std::make_unique<PrinterCanvas>()) {}

TPrinter::~TPrinter() { Abort(); }

TCanvas& TPrinter::Canvas() noexcept { return *canvas_; }

bool TPrinter::Printing() const noexcept { return canvas_->IsOpen(); }

// Pages at a resolution above about 183 million pixels per inch are wider
// than an int counts; they report INT_MAX.
int TPrinter::PageWidth() const noexcept {
  return detail::ClampToInt(std::llround(kA4WidthIn * pixels_per_inch_));
}

int TPrinter::PageHeight() const noexcept {
  return detail::ClampToInt(std::llround(kA4HeightIn * pixels_per_inch_));
}

void TPrinter::SetPixelsPerInch(int ppi) {
  if (Printing()) throw EPrinter(u"Cannot change the printer's resolution while printing");
  if (ppi >= 1) pixels_per_inch_ = ppi;
}

void TPrinter::BeginDoc(const String& file_name) {
  if (Printing()) throw EPrinter(u"Printing in progress");
  auto sink = std::make_unique<PdfSink>();
  try {
    sink->out = std::make_unique<FileReplacement>(file_name);
  } catch (const EInOutError& e) {
    throw EFCreateError(e.Message());
  }
  SurfacePtr surface(
      cairo_pdf_surface_create_for_stream(&WriteToSink, sink.get(), kA4WidthPt, kA4HeightPt));
  ContextPtr cr(cairo_create(surface.get()));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
    const String why = FromUtf8(cairo_status_to_string(cairo_surface_status(surface.get())));
    sink->failed = true;
    cr.reset();
    surface.reset();
    throw EFCreateError(u"Cannot create file \"" + file_name + u"\". " + why);
  }
  cairo_scale(cr.get(), 72.0 / pixels_per_inch_, 72.0 / pixels_per_inch_);
  canvas_->Open(std::move(surface), std::move(cr), std::move(sink));
  file_name_ = file_name;
  // The font keeps its size in points at the printer's resolution.
  TFont& font = canvas_->Font();
  const int points = font.Size();
  font.SetPixelsPerInch(pixels_per_inch_);
  font.SetSize(points);
  canvas_->MoveTo(0, 0);
  page_number_ = 1;
}

void TPrinter::NewPage() {
  if (!Printing()) throw EPrinter(u"Printing not in progress");
  cairo_show_page(canvas_->Context());
  canvas_->MoveTo(0, 0);
  ++page_number_;
}

void TPrinter::EndDoc() {
  if (!Printing()) throw EPrinter(u"Printing not in progress");
  page_number_ = 0;
  const cairo_status_t status = canvas_->Finish();
  const std::unique_ptr<PdfSink> sink = canvas_->TakeSink();  // abandons the file unless committed
  if (sink->failed) throw EWriteError(sink->error);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw EWriteError(u"Cannot write file \"" + file_name_ + u"\". " +
                      FromUtf8(cairo_status_to_string(status)));
  }
  try {
    sink->out->Commit();
  } catch (const EInOutError& e) {
    throw EWriteError(e.Message());
  }
}

void TPrinter::Abort() {
  page_number_ = 0;
  canvas_->Close();
}

TPrinter& Printer() {
  static TPrinter printer;
  return printer;
}

void PrintBitmap(const TBitmap& bitmap, int x, int y) {
  // Both buffers are owned here and released on every path, a failed copy
  // or an exception included.
  size_t header_size = 0, image_size = 0;
  GetDIBSizes(bitmap, header_size, image_size);
  std::vector<uint8_t> header(header_size), bits(image_size);
  GetDIB(bitmap, header, bits);
  Printer().Canvas().StretchDIBits(x, y, bitmap.Width(), bitmap.Height(), 0, 0, bitmap.Width(),
                                   bitmap.Height(), header, bits);
}

}  // namespace zel
