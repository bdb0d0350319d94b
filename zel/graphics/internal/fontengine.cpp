#include "zel/graphics/internal/fontengine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "zel/platform/internal/codepoints.h"

namespace zel::detail {
namespace {

constexpr uint8_t kBold = 1, kItalic = 2;

uint8_t StyleKey(const TFont& font) {
  return static_cast<uint8_t>((font.HasStyle(fsBold) ? kBold : 0) |
                              (font.HasStyle(fsItalic) ? kItalic : 0));
}

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using ObjectSetPtr = std::unique_ptr<FcObjectSet, ObjectSetDeleter>;

bool Match(const std::string& family, uint8_t style, std::string& file, int& index) {
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, (style & kBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, (style & kItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return false;
  FcChar8* path = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch) return false;
  file = reinterpret_cast<const char*>(path);
  index = 0;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  return true;
}

// The process-wide FreeType library and the faces opened so far.  Never
// destroyed: it lives until the process ends, reachable from `Instance`.
class Engine {
 public:
  static Engine& Instance() {
    static Engine* engine = new Engine;
    return *engine;
  }

  std::mutex& Lock() { return mutex_; }

  // The face for `font`, sized to its pixel size; nullptr when no font file
  // is found or FreeType cannot open it.  Call with the lock held.
  FT_Face SizedFace(const TFont& font, int& em) {
    if (library_ == nullptr) return nullptr;
    FT_Face face = Face(font);
    if (face == nullptr) return nullptr;
    em = EmPixels(font, face);
    if (FT_IS_SCALABLE(face)) {
      if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) return nullptr;
    } else if (face->num_fixed_sizes > 0) {
      // A bitmap font: the strike nearest the wanted size.
      int best = 0;
      for (int i = 1; i < face->num_fixed_sizes; ++i) {
        if (std::abs(face->available_sizes[i].height - em) <
            std::abs(face->available_sizes[best].height - em)) {
          best = i;
        }
      }
      if (FT_Select_Size(face, best) != 0) return nullptr;
    }
    return face;
  }

 private:
  Engine() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }

  static int EmPixels(const TFont& font, FT_Face face) {
    const int h = font.Height();
    if (h == INT_MIN) return INT_MAX;  // -INT_MIN does not fit; FreeType caps the size anyway
    if (h < 0) return -h;
    if (h == 0) return std::max(1, MulDiv(TFont::kDefaultSize, font.PixelsPerInch(), 72));
    const int cell = face->ascender - face->descender;
    if (!FT_IS_SCALABLE(face) || cell <= 0) return h;
    return std::max(1, MulDiv(h, face->units_per_EM, cell));
  }

  FT_Face Face(const TFont& font) {
    const uint8_t style = StyleKey(font);
    for (const Entry& e : faces_) {
      if (e.style == style && e.name == font.Name()) return e.face;
    }
    std::string file;
    int index = 0;
    FT_Face face = nullptr;
    if (!Match(ToUtf8(font.Name()), style, file, index) ||
        FT_New_Face(library_, file.c_str(), index, &face) != 0) {
      return nullptr;
    }
    faces_.push_back(Entry{font.Name(), style, face});
    return face;
  }

  struct Entry {
    String name;
    uint8_t style;
    FT_Face face;
  };
  std::mutex mutex_;
  FT_Library library_ = nullptr;
  std::vector<Entry> faces_;
};

int Round26_6(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// Code points of a UTF-16 text; unpaired surrogates as U+FFFD.
template <class F>
void ForEachCodePoint(StringView text, F&& f) {
  for (size_t i = 0; i < text.size();) f(detail::NextCodePoint(text, i));
}

TextExtent Extent(FT_Face face, int em) {
  TextExtent e;
  e.em = em;
  e.ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  e.descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
  // Underline where and as thick as the font says (at least one pixel
  // below the baseline, one pixel thick); strike-out through the lower half
  // of the ascent.
  e.underline = std::max(1, e.descent / 2);
  if (FT_IS_SCALABLE(face)) {
    e.thickness = std::max(1, Round26_6(FT_MulFix(face->underline_thickness, face->size->metrics.y_scale)));
    e.underline = std::max(1, Round26_6(-FT_MulFix(face->underline_position, face->size->metrics.y_scale)));
  }
  e.strike = e.ascent * 3 / 10;
  return e;
}

constexpr FT_Int32 kMonoLoad = FT_LOAD_TARGET_MONO;

// Runs f(face, extent) with the font's face sized and the engine locked;
// an all-zero extent when there is no face.
template <class F>
TextExtent WithSizedFace(const TFont& font, F&& f) {
  Engine& engine = Engine::Instance();
  std::lock_guard lock(engine.Lock());
  int em = 0;
  FT_Face face = engine.SizedFace(font, em);
  if (face == nullptr) return {};
  TextExtent e = Extent(face, em);
  f(face, e);
  return e;
}

// Sets the pixels of a one-bit (or 8-bit coverage) glyph bitmap whose
// top-left pixel lands on (left, top).
void PaintBitmap(const Surface& s, const FT_Bitmap& b, int64_t left, int64_t top, uint32_t color) {
  for (unsigned row = 0; row < b.rows; ++row) {
    const unsigned char* line = b.buffer + static_cast<ptrdiff_t>(row) * b.pitch;
    for (unsigned col = 0; col < b.width; ++col) {
      const bool on = b.pixel_mode == FT_PIXEL_MODE_MONO ? (line[col >> 3] & (0x80 >> (col & 7))) != 0
                                                         : line[col] >= 128;
      if (on) PutPixel(s, left + col, top + row, color);
    }
  }
}

// Glyph boxes up to this many pixels are rendered whole, as FreeType renders
// them; larger ones only where they meet the surface.
constexpr int64_t kWholeGlyphPixels = int64_t{1} << 22;

// Draws the glyph loaded in `g` (not yet rendered) with its origin at
// (origin_x, baseline).  Nothing is rendered for a glyph whose box misses
// the surface, so a long text in a large font costs its visible part only.
void DrawGlyph(const Surface& s, FT_GlyphSlot g, int64_t origin_x, int64_t baseline, uint32_t color) {
  const FT_Glyph_Metrics& m = g->metrics;
  // The box with a pixel to spare on every side for rounding.
  const int64_t gx0 = origin_x + (m.horiBearingX >> 6) - 1, gx1 = gx0 + (m.width >> 6) + 3;
  const int64_t gy0 = baseline - (m.horiBearingY >> 6) - 1, gy1 = gy0 + (m.height >> 6) + 3;
  if (gx1 <= 0 || gy1 <= 0 || gx0 >= s.width || gy0 >= s.height) return;
  if (g->format == FT_GLYPH_FORMAT_OUTLINE && (gx1 - gx0) * (gy1 - gy0) > kWholeGlyphPixels) {
    // A huge glyph: rasterise only the window of it that the surface shows,
    // into a one-bit bitmap whose bottom-left corner is the window's.
    const int64_t cx0 = std::max<int64_t>(gx0, 0), cx1 = std::min<int64_t>(gx1, s.width);
    const int64_t cy0 = std::max<int64_t>(gy0, 0), cy1 = std::min<int64_t>(gy1, s.height);
    FT_Bitmap window;
    FT_Bitmap_Init(&window);
    window.pixel_mode = FT_PIXEL_MODE_MONO;
    window.num_grays = 2;
    window.width = static_cast<unsigned>(cx1 - cx0);
    window.rows = static_cast<unsigned>(cy1 - cy0);
    window.pitch = static_cast<int>((window.width + 7) / 8);
    std::vector<unsigned char> buffer(static_cast<size_t>(window.pitch) * window.rows);
    window.buffer = buffer.data();
    FT_Outline_Translate(&g->outline, (origin_x - cx0) * 64, (cy1 - baseline) * 64);
    if (FT_Outline_Get_Bitmap(g->library, &g->outline, &window) == 0) {
      PaintBitmap(s, window, cx0, cy0, color);
    }
    return;
  }
  if (FT_Render_Glyph(g, FT_RENDER_MODE_MONO) != 0) return;
  PaintBitmap(s, g->bitmap, origin_x + g->bitmap_left, baseline - g->bitmap_top, color);
}

// Draws the glyphs of `text` from (x, y) (top-left of the line) and adds
// their advances to e.width.
void RenderGlyphs(const Surface& s, const TFont& font, FT_Face face, TextExtent& e, int64_t x, int64_t y,
                  StringView text, uint32_t color) {
  const int64_t baseline = y + e.ascent;
  int64_t pen_x = x;
  ForEachCodePoint(text, [&](char32_t c) {
    if (FT_Load_Char(face, c, kMonoLoad) != 0) return;
    DrawGlyph(s, face->glyph, pen_x, baseline, color);
    const int advance = Round26_6(face->glyph->advance.x);
    pen_x += advance;
    e.width += advance;
  });
  if (font.HasStyle(fsUnderline)) {
    FillRect(s, x, baseline + e.underline, x + e.width, baseline + e.underline + e.thickness, color);
  }
  if (font.HasStyle(fsStrikeOut)) {
    FillRect(s, x, baseline - e.strike, x + e.width, baseline - e.strike + e.thickness, color);
  }
}

}  // namespace

TextExtent MeasureText(const TFont& font, StringView text) {
  return WithSizedFace(font, [&](FT_Face face, TextExtent& e) {
    ForEachCodePoint(text, [&](char32_t c) {
      if (FT_Load_Char(face, c, kMonoLoad) == 0) e.width += Round26_6(face->glyph->advance.x);
    });
  });
}

TextExtent RenderText(const Surface& s, const TFont& font, int64_t x, int64_t y, StringView text,
                      uint32_t color) {
  return WithSizedFace(font, [&](FT_Face face, TextExtent& e) {
    RenderGlyphs(s, font, face, e, x, y, text, color);
  });
}

bool MatchFontFile(const TFont& font, std::string& file, int& index) {
  return Match(ToUtf8(font.Name()), StyleKey(font), file, index);
}

std::vector<String> InstalledFamilies() {
  std::vector<String> names;
  PatternPtr pattern(FcPatternCreate());
  ObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, nullptr));
  if (!pattern || !objects) return names;
  FontSetPtr fonts(FcFontList(nullptr, pattern.get(), objects.get()));
  if (!fonts) return names;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch) {
      names.push_back(FromUtf8(reinterpret_cast<const char*>(family)));
    }
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

bool FamilyFontFormat(StringView family, std::string& format) {
  PatternPtr pattern(FcPatternCreate());
  ObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, FC_FONTFORMAT, nullptr));
  if (!pattern || !objects) return false;
  const std::string name = ToUtf8(family);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FontSetPtr fonts(FcFontList(nullptr, pattern.get(), objects.get()));
  if (!fonts || fonts->nfont == 0) return false;
  // The face nearest to regular upright: slant first, then weight.
  int best = -1, best_cost = 0;
  for (int i = 0; i < fonts->nfont; ++i) {
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(fonts->fonts[i], FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(fonts->fonts[i], FC_SLANT, 0, &slant);
    const int cost = (slant != FC_SLANT_ROMAN ? 1000 : 0) + std::abs(weight - FC_WEIGHT_REGULAR);
    if (best < 0 || cost < best_cost) {
      best = i;
      best_cost = cost;
    }
  }
  FcChar8* value = nullptr;
  if (FcPatternGetString(fonts->fonts[best], FC_FONTFORMAT, 0, &value) != FcResultMatch) {
    format.clear();
  } else {
    format = reinterpret_cast<const char*>(value);
  }
  return true;
}

}  // namespace zel::detail
