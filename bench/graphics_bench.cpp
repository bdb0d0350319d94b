// Plot marks on a 1000 x 1000 bitmap: every shape mark type (0-51) at
// 100,000 positions, drawn by the library's rasteriser (DrawMarkOnCanvas on
// a TBitmap) beside cairo drawing the same primitives — the lines,
// rectangles, ellipses, polygons and pixels those marks are made of, with
// anti-aliasing off on an image surface.  The cairo side replays a list of
// primitives recorded once, so it pays nothing for the mark logic; the
// library side runs DrawMarkOnCanvas each time.
//
// Besides all marks (Marks/...), the marks are split by what they are made
// of: lines and pixels (Lines/...), squares (Rectangles/...), circles
// (Ellipses/...), triangles and diamonds (Polygons/...).
//
// WidePen/.../W: one line across a 2000 x 2000 bitmap in a pen W pixels
// wide, beside cairo stroking the same line W wide without anti-aliasing.
//
// TextWidth/...: the width of a 1,000-character text of Latin, Greek,
// Cyrillic, CJK and emoji in 13-pixel DejaVu Sans (characters it lacks
// from fallback fonts), beside FreeType loading each character of the same
// text from the DejaVu Sans file alone and summing the advances.
//
// SavePng/...: a 3000 x 3000 chart saved with TBitmap::SaveToPNG beside
// libpng writing the same pixels (already as RGB rows) with the same
// compression level and filters to a file that is flushed and renamed into
// place the way the library's safe save does.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <cmath>
#include <numbers>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/internal/pngwriter.h"
#include "zel/graphics/marks.h"

namespace {

constexpr int kSize = 1000;
constexpr int kPositions = 100000;

std::vector<zel::TPoint> Positions() {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> d(10, kSize - 11);
  std::vector<zel::TPoint> p(kPositions);
  for (auto& q : p) q = zel::TPoint{d(rng), d(rng)};
  return p;
}

// The mark types of each group.
std::vector<int> TypesOf(int group) {
  static const std::vector<int> kGroups[] = {
      {},                                                                                // all
      {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 18, 19, 20, 21, 22, 23, 25, 37, 38, 50, 51},  // lines
      {7, 8, 9, 48, 49},                                                                 // rectangles
      {16, 17, 24, 26, 27, 28, 39},                                                      // ellipses
      {14, 15, 29, 30, 31, 32, 33, 34, 35, 36, 40, 41, 42, 43, 44, 45, 46, 47},          // polygons
  };
  if (group != 0) return kGroups[group];
  std::vector<int> all(52);
  for (int i = 0; i < 52; ++i) all[i] = i;
  return all;
}

// One drawing primitive with the state it is drawn in.
struct Op {
  enum Kind { kLine, kRect, kEllipse, kPolygon, kPixel } kind;
  int x0, y0, x1, y1;
  zel::TColor pen, brush;
  bool solid;
  int n;
  zel::TPoint pts[4];
};

// A canvas that turns the library's calls into primitives.
class Recorder final : public zel::TCanvas {
 public:
  std::vector<Op> ops;
  void LineTo(int x, int y) override {
    ops.push_back(Base(Op::kLine, PenPos().X, PenPos().Y, x, y));
    MoveTo(x, y);
  }
  void Rectangle(int x1, int y1, int x2, int y2) override { ops.push_back(Base(Op::kRect, x1, y1, x2, y2)); }
  void Ellipse(int x1, int y1, int x2, int y2) override { ops.push_back(Base(Op::kEllipse, x1, y1, x2, y2)); }
  void Polygon(std::span<const zel::TPoint> points) override {
    Op op = Base(Op::kPolygon, 0, 0, 0, 0);
    op.n = static_cast<int>(points.size());
    for (int i = 0; i < op.n; ++i) op.pts[i] = points[i];
    ops.push_back(op);
  }
  zel::TColor Pixels(int, int) const override { return zel::clNone; }
  void SetPixels(int x, int y, zel::TColor) override { ops.push_back(Base(Op::kPixel, x, y, x, y)); }
  void TextOut(int, int, zel::StringView) override {}
  bool StretchDIBits(int, int, int, int, int, int, int, int, std::span<const uint8_t>,
                     std::span<const uint8_t>) override {
    return false;
  }

 private:
  Op Base(Op::Kind k, int x0, int y0, int x1, int y1) const {
    return Op{k, x0, y0, x1, y1, Pen().Color(), Brush().Color(), Brush().Style() == zel::bsSolid, 0, {}};
  }
};

void SetColor(cairo_t* cr, zel::TColor c) {
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

// The primitives in cairo, on the pixel grid: lines through pixel centres,
// shapes filled with the brush and stroked one pixel inside their box.
void Replay(cairo_t* cr, const std::vector<Op>& ops) {
  for (const Op& op : ops) {
    switch (op.kind) {
      case Op::kPixel:
        SetColor(cr, op.pen);
        cairo_rectangle(cr, op.x0, op.y0, 1, 1);
        cairo_fill(cr);
        break;
      case Op::kLine:
        SetColor(cr, op.pen);
        cairo_move_to(cr, op.x0 + 0.5, op.y0 + 0.5);
        cairo_line_to(cr, op.x1 + 0.5, op.y1 + 0.5);
        cairo_stroke(cr);
        break;
      case Op::kRect:
      case Op::kEllipse: {
        const double w = op.x1 - op.x0, h = op.y1 - op.y0;
        const auto path = [&](double inset) {
          if (op.kind == Op::kRect) {
            cairo_rectangle(cr, op.x0 + inset, op.y0 + inset, w - 2 * inset, h - 2 * inset);
          } else {
            cairo_save(cr);
            cairo_translate(cr, op.x0 + w / 2, op.y0 + h / 2);
            cairo_scale(cr, w / 2 - inset, h / 2 - inset);
            cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
            cairo_restore(cr);
          }
        };
        if (op.solid) {
          path(0);
          SetColor(cr, op.brush);
          cairo_fill(cr);
        }
        path(0.5);
        SetColor(cr, op.pen);
        cairo_stroke(cr);
        break;
      }
      case Op::kPolygon:
        for (int i = 0; i < op.n; ++i) cairo_line_to(cr, op.pts[i].X + 0.5, op.pts[i].Y + 0.5);
        cairo_close_path(cr);
        if (op.solid) {
          SetColor(cr, op.brush);
          cairo_fill_preserve(cr);
        }
        SetColor(cr, op.pen);
        cairo_stroke(cr);
        break;
    }
  }
}

void BM_Zel(benchmark::State& state) {
  const std::vector<zel::TPoint> pos = Positions();
  const std::vector<int> types = TypesOf(static_cast<int>(state.range(0)));
  zel::TBitmap bmp(kSize, kSize);
  zel::TCanvas& c = bmp.Canvas();
  c.Pen().SetColor(0x203040);
  c.Brush().SetColor(0xE0E0E0);
  for (auto _ : state) {
    for (size_t i = 0; i < pos.size(); ++i) {
      zel::DrawMarkOnCanvas(c, static_cast<uint8_t>(types[i % types.size()]), pos[i].X, pos[i].Y);
    }
    benchmark::DoNotOptimize(bmp.ScanLine(500)[500]);
  }
  state.SetItemsProcessed(state.iterations() * kPositions);
}

void BM_Cairo(benchmark::State& state) {
  const std::vector<zel::TPoint> pos = Positions();
  const std::vector<int> types = TypesOf(static_cast<int>(state.range(0)));
  Recorder rec;
  rec.Pen().SetColor(0x203040);
  rec.Brush().SetColor(0xE0E0E0);
  for (size_t i = 0; i < pos.size(); ++i) {
    zel::DrawMarkOnCanvas(rec, static_cast<uint8_t>(types[i % types.size()]), pos[i].X, pos[i].Y);
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSize, kSize);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (auto _ : state) {
    Replay(cr, rec.ops);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.SetItemsProcessed(state.iterations() * kPositions);
}

constexpr int kWideSide = 2000;

void BM_WidePenZel(benchmark::State& state) {
  zel::TBitmap bmp(kWideSide, kWideSide);
  zel::TCanvas& c = bmp.Canvas();
  c.Pen().SetWidth(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    c.MoveTo(100, 300);
    c.LineTo(1900, 1700);
    benchmark::DoNotOptimize(bmp.ScanLine(1000)[1000]);
  }
}

void BM_WidePenCairo(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWideSide, kWideSide);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, static_cast<double>(state.range(0)));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (auto _ : state) {
    cairo_move_to(cr, 100.5, 300.5);
    cairo_line_to(cr, 1900.5, 1700.5);
    cairo_stroke(cr);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

zel::String MixedText() {
  const zel::String piece = u"\u0141\u00F3d\u017A \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 "
                            u"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430 \u30E1\u30E2 \U0001F642 ";
  zel::String text;
  while (text.size() < 1000) text += piece;
  return text;
}

void BM_TextWidthZel(benchmark::State& state) {
  zel::TBitmap bmp(1, 1);
  zel::TCanvas& c = bmp.Canvas();
  c.Font().SetHeight(-13);
  const zel::String text = MixedText();
  for (auto _ : state) benchmark::DoNotOptimize(c.TextWidth(text));
}

void BM_TextWidthFreeType(benchmark::State& state) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcChar8* file = nullptr;
  FcPatternGetString(match, FC_FILE, 0, &file);
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, reinterpret_cast<const char*>(file), 0, &face) != 0) {
    std::abort();
  }
  FT_Set_Pixel_Sizes(face, 0, 13);
  const zel::String text = MixedText();
  std::vector<char32_t> code_points;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size();
    code_points.push_back(pair ? 0x10000 + ((text[i] - 0xD800) << 10) + (text[i + 1] - 0xDC00) : text[i]);
    i += pair;
  }
  for (auto _ : state) {
    long width = 0;
    for (char32_t c : code_points) {
      if (FT_Load_Char(face, c, FT_LOAD_TARGET_MONO) == 0) width += (face->glyph->advance.x + 32) >> 6;
    }
    benchmark::DoNotOptimize(width);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  FcPatternDestroy(match);
  FcPatternDestroy(pattern);
}

// A chart-like picture: a grid, 20,000 marks and a few thick curves.
const zel::TBitmap& Chart() {
  static const zel::TBitmap* chart = [] {
    constexpr int kSide = 3000;
    auto* bmp = new zel::TBitmap(kSide, kSide);
    zel::TCanvas& c = bmp->Canvas();
    c.Pen().SetColor(0xD0D0D0);
    for (int i = 0; i < kSide; i += 100) {
      c.MoveTo(i, 0);
      c.LineTo(i, kSide);
      c.MoveTo(0, i);
      c.LineTo(kSide, i);
    }
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> d(10, kSide - 11);
    for (int i = 0; i < 20000; ++i) {
      c.Pen().SetColor(static_cast<zel::TColor>(rng() & 0xFFFFFF));
      zel::DrawMarkOnCanvas(c, static_cast<uint8_t>(i % 52), d(rng), d(rng));
    }
    c.Pen().SetWidth(5);
    for (int k = 0; k < 5; ++k) {
      c.Pen().SetColor(0x2050A0 + k * 0x201000);
      c.MoveTo(0, kSide / 2);
      for (int x = 0; x < kSide; x += 10) c.LineTo(x, kSide / 2 + static_cast<int>(900 * std::sin(x / (200.0 + 50 * k))));
    }
    return bmp;
  }();
  return *chart;
}

std::string BenchDir() {
  static const std::string dir = [] {
    char templ[] = "/tmp/zel_png_bench.XXXXXX";
    if (mkdtemp(templ) == nullptr) std::abort();
    static std::string made = templ;
    std::atexit([] {
      std::remove((made + "/zel.png").c_str());
      std::remove((made + "/anchor.png").c_str());
      rmdir(made.c_str());
    });
    return made;
  }();
  return dir;
}

void BM_SavePngZel(benchmark::State& state) {
  const zel::TBitmap& bmp = Chart();
  const zel::String name = zel::FromUtf8(BenchDir() + "/zel.png");
  for (auto _ : state) bmp.SaveToPNG(name);
}

void BM_SavePngAnchor(benchmark::State& state) {
  const zel::TBitmap& bmp = Chart();
  const int w = bmp.Width(), h = bmp.Height();
  std::vector<png_byte> rgb(size_t{3} * w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const zel::TColor c = bmp.ScanLine(y)[x];
      png_byte* p = &rgb[(size_t{3} * y * w) + 3 * x];
      p[0] = c & 0xFF, p[1] = (c >> 8) & 0xFF, p[2] = (c >> 16) & 0xFF;
    }
  }
  std::vector<png_bytep> rows(h);
  for (int y = 0; y < h; ++y) rows[y] = &rgb[size_t{3} * y * w];
  const std::string tmp = BenchDir() + "/.anchor.png.tmp", name = BenchDir() + "/anchor.png";
  for (auto _ : state) {
    FILE* f = std::fopen(tmp.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) std::abort();
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, zel::detail::kPngCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, zel::detail::kPngFilters);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fflush(f);
    fsync(fileno(f));
    std::fclose(f);
    std::rename(tmp.c_str(), name.c_str());
  }
}

// Names as the ratio script pairs them: Marks/zel beside Marks/anchor.
const char* const kGroupNames[] = {"Marks", "Lines", "Rectangles", "Ellipses", "Polygons"};

int Register() {
  for (int g = 0; g < 5; ++g) {
    const std::string name = kGroupNames[g];
    benchmark::RegisterBenchmark((name + "/zel").c_str(), BM_Zel)->Arg(g)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/anchor").c_str(), BM_Cairo)->Arg(g)->Unit(benchmark::kMillisecond);
  }
  for (int w : {16, 256, 1024}) {
    benchmark::RegisterBenchmark("WidePen/zel", BM_WidePenZel)->Arg(w)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("WidePen/anchor", BM_WidePenCairo)->Arg(w)->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("TextWidth/zel", BM_TextWidthZel)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("TextWidth/anchor", BM_TextWidthFreeType)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("SavePng/zel", BM_SavePngZel)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("SavePng/anchor", BM_SavePngAnchor)->Unit(benchmark::kMillisecond);
  return 0;
}
const int kRegistered = Register();

}  // namespace

BENCHMARK_MAIN();
