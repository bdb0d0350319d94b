#include "zel/graphics/internal/fontengine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "zel/platform/casemap.h"
#include "zel/platform/internal/codepoints.h"
#include "zel/zelbase/errors.h"

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

// The pattern fontconfig matches and sorts for a family and style, with the
// configuration's substitutions applied.
PatternPtr StylePattern(const std::string& family, uint8_t style) {
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) return pattern;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, (style & kBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, (style & kItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

bool FileOf(FcPattern* font, FontFile& out) {
  FcChar8* path = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch) return false;
  out.file = reinterpret_cast<const char*>(path);
  out.index = 0;
  FcPatternGetInteger(font, FC_INDEX, 0, &out.index);
  return true;
}

// Whether a font of this family name is installed, or the name is one of
// the generic families fontconfig's configuration resolves.
bool FamilyKnown(StringView name) {
  static constexpr std::u16string_view kGeneric[] = {u"sans-serif", u"serif", u"monospace", u"sans",
                                                     u"mono",       u"cursive", u"fantasy", u"system-ui",
                                                     u"emoji",      u"math"};
  for (StringView g : kGeneric) {
    if (SameText(String(name), String(g))) return true;
  }
  if (name.empty()) return false;
  PatternPtr pattern(FcPatternCreate());
  ObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, nullptr));
  if (!pattern || !objects) return false;
  const std::string family = ToUtf8(name);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FontSetPtr fonts(FcFontList(nullptr, pattern.get(), objects.get()));
  return fonts && fonts->nfont > 0;
}

int Round26_6(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

constexpr FT_Int32 kMonoLoad = FT_LOAD_TARGET_MONO;

// A font file opened with FreeType, with a size object per pixel size asked
// for (so that switching between the fonts of one text costs no rescaling).
struct Face {
  FontFile where;
  FT_Face face = nullptr;
  bool open_failed = false;
  struct Sized {
    int em;
    FT_Size size;
    double scale;  // strike pixels to em pixels: 1 except for colour bitmap fonts
  };
  std::vector<Sized> sizes;

  // Colour bitmap fonts (emoji) are scaled from their strike; other bitmap
  // fonts are drawn at their nearest strike, pixel for pixel.
  bool ScaledBitmaps() const { return face != nullptr && !FT_IS_SCALABLE(face) && FT_HAS_COLOR(face); }
};

// The glyph a character gets at one size.
struct GlyphInfo {
  int face = -1;  // index into the engine's faces; -1 when it cannot be loaded
  FT_UInt glyph = 0;
  int advance = 0;
};

// What is cached per family name and style.
struct Family {
  String name;
  uint8_t style = 0;
  int primary = -1;                                  // the matched font's face
  FontSetPtr fallbacks;                              // FcFontSort's list, with character sets
  std::unordered_map<char32_t, int> face_of;         // the face each character comes from
  std::unordered_map<int, std::unordered_map<char32_t, GlyphInfo>> glyphs;  // by em
};

// The process-wide FreeType library, the faces opened so far and the
// families asked for.  Destroyed when the library is unloaded (or the
// process exits), which also ends fontconfig's use of memory.
class Engine {
 public:
  static Engine& Instance() {
    static Engine engine;
    return engine;
  }

  ~Engine() {
    families_.clear();
    for (Face& f : faces_) {
      for (Face::Sized& s : f.sizes) FT_Done_Size(s.size);
      if (f.face != nullptr) FT_Done_Face(f.face);
    }
    faces_.clear();
    if (library_ != nullptr) FT_Done_FreeType(library_);
    // fontconfig keeps its configuration, caches and object names for the
    // life of the process unless told to let them go.
    FcFini();
  }

  std::mutex& Lock() { return mutex_; }

  // Whether the family name is installed (or generic).  Only names found
  // are remembered: a font the application adds later is then seen.
  bool Known(const String& name) {
    if (std::find(known_.begin(), known_.end(), name) != known_.end()) return true;
    if (!FamilyKnown(name)) return false;
    known_.push_back(name);
    return true;
  }

  // The family for `font`, created on first use; nullptr when FreeType is
  // missing or no font file at all is found.  Call with the lock held.
  Family* FamilyOf(const TFont& font) {
    if (library_ == nullptr) return nullptr;
    const uint8_t style = StyleKey(font);
    for (const std::unique_ptr<Family>& f : families_) {
      if (f->style == style && f->name == font.Name()) return f.get();
    }
    auto family = std::make_unique<Family>();
    family->name = font.Name();
    family->style = style;
    const PatternPtr pattern = StylePattern(ToUtf8(font.Name()), style);
    if (!pattern) return nullptr;
    FcResult result = FcResultNoMatch;
    const PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FontFile where;
    if (!match || !FileOf(match.get(), where)) return nullptr;
    family->primary = FaceIndex(where);
    family->fallbacks.reset(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
    families_.push_back(std::move(family));
    return families_.back().get();
  }

  // The face of the font's em size, activated, or nullptr.  `scale` is set
  // to the strike-to-em factor.
  FT_Face Sized(int face_index, int em, double& scale) {
    Face& f = faces_[static_cast<size_t>(face_index)];
    if (!Open(f)) return nullptr;
    for (const Face::Sized& s : f.sizes) {
      if (s.em == em) {
        FT_Activate_Size(s.size);
        scale = s.scale;
        return f.face;
      }
    }
    // Sizes asked for long ago go first: a program that tries many sizes
    // keeps a bounded number.
    constexpr size_t kSizesPerFace = 16;
    if (f.sizes.size() == kSizesPerFace) {
      FT_Done_Size(f.sizes.front().size);
      f.sizes.erase(f.sizes.begin());
    }
    FT_Size size = nullptr;
    if (FT_New_Size(f.face, &size) != 0) return nullptr;
    FT_Activate_Size(size);
    scale = 1;
    bool ok = true;
    if (FT_IS_SCALABLE(f.face)) {
      ok = FT_Set_Pixel_Sizes(f.face, 0, static_cast<FT_UInt>(em)) == 0;
    } else if (f.face->num_fixed_sizes > 0) {
      // A bitmap font: the strike nearest the wanted size (for colour fonts,
      // which are scaled, the smallest at least as large, if any).
      int best = 0;
      const auto height = [&](int i) { return f.face->available_sizes[i].height; };
      for (int i = 1; i < f.face->num_fixed_sizes; ++i) {
        const bool better = f.ScaledBitmaps()
                                ? (height(best) < em ? height(i) > height(best) : height(i) >= em && height(i) < height(best))
                                : std::abs(height(i) - em) < std::abs(height(best) - em);
        if (better) best = i;
      }
      ok = FT_Select_Size(f.face, best) == 0;
      if (ok && f.ScaledBitmaps() && f.face->size->metrics.y_ppem > 0) {
        scale = static_cast<double>(em) / f.face->size->metrics.y_ppem;
      }
    }
    if (!ok) {
      FT_Done_Size(size);
      return nullptr;
    }
    f.sizes.push_back(Face::Sized{em, size, scale});
    return f.face;
  }

  FT_Face RawFace(int face_index) {
    Face& f = faces_[static_cast<size_t>(face_index)];
    return Open(f) ? f.face : nullptr;
  }
  bool ScaledBitmaps(int face_index) const { return faces_[static_cast<size_t>(face_index)].ScaledBitmaps(); }
  FontFile Where(int face_index) const {
    FontFile where = faces_[static_cast<size_t>(face_index)].where;
    where.color_bitmaps = ScaledBitmaps(face_index);
    return where;
  }
  // The face of a file asked for before; -1 for another.
  int Find(const FontFile& file) const {
    for (size_t i = 0; i < faces_.size(); ++i) {
      if (faces_[i].where.file == file.file && faces_[i].where.index == file.index) return static_cast<int>(i);
    }
    return -1;
  }

  // The face a character of the family comes from: the matched font when it
  // has the character, else the first fallback whose character set has it,
  // else the matched font (its missing-glyph box).  Control characters are
  // never looked for elsewhere: they have no glyph to show.
  int FaceFor(Family& family, char32_t c) {
    if (const auto it = family.face_of.find(c); it != family.face_of.end()) return it->second;
    int chosen = family.primary;
    FT_Face primary = RawFace(family.primary);
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
    if (!control && primary != nullptr && FT_Get_Char_Index(primary, c) == 0 && family.fallbacks) {
      for (int i = 0; i < family.fallbacks->nfont; ++i) {
        FcPattern* font = family.fallbacks->fonts[i];
        FcCharSet* charset = nullptr;
        FontFile where;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
            !FcCharSetHasChar(charset, c) || !FileOf(font, where)) {
          continue;
        }
        const int index = FaceIndex(where);
        FT_Face face = RawFace(index);
        if (face != nullptr && FT_Get_Char_Index(face, c) != 0) {
          chosen = index;
          break;
        }
      }
    }
    family.face_of.emplace(c, chosen);
    return chosen;
  }

  // The glyph and advance of `c` at `em` pixels, cached.
  const GlyphInfo& Glyph(Family& family, int em, char32_t c) {
    auto& by_char = family.glyphs[em];
    if (const auto it = by_char.find(c); it != by_char.end()) return it->second;
    if (family.glyphs.size() > 64) {  // bounded, for programs that try many sizes
      family.glyphs.clear();
      return Glyph(family, em, c);
    }
    GlyphInfo info;
    const int face_index = FaceFor(family, c);
    double scale = 1;
    if (FT_Face face = Sized(face_index, em, scale); face != nullptr) {
      const FT_UInt glyph = FT_Get_Char_Index(face, c);
      if (FT_Load_Glyph(face, glyph, LoadFlags(face_index)) == 0) {
        info.face = face_index;
        info.glyph = glyph;
        info.advance = scale == 1 ? Round26_6(face->glyph->advance.x)
                                  : static_cast<int>(std::lround(face->glyph->advance.x / 64.0 * scale));
      }
    }
    return by_char.emplace(c, info).first->second;
  }

  FT_Int32 LoadFlags(int face_index) const {
    return ScaledBitmaps(face_index) ? FT_LOAD_COLOR : kMonoLoad;
  }

 private:
  Engine() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }

  bool Open(Face& f) {
    if (f.face == nullptr && !f.open_failed &&
        FT_New_Face(library_, f.where.file.c_str(), f.where.index, &f.face) != 0) {
      f.face = nullptr;
      f.open_failed = true;
    }
    return f.face != nullptr;
  }

  int FaceIndex(const FontFile& where) {
    for (size_t i = 0; i < faces_.size(); ++i) {
      if (faces_[i].where == where) return static_cast<int>(i);
    }
    faces_.emplace_back();
    faces_.back().where = where;
    return static_cast<int>(faces_.size() - 1);
  }

  std::mutex mutex_;
  FT_Library library_ = nullptr;
  std::vector<Face> faces_;
  std::vector<std::unique_ptr<Family>> families_;
  std::vector<String> known_;
};

int EmPixels(const TFont& font, FT_Face face) {
  const int h = font.Height();
  if (h == INT_MIN) return INT_MAX;  // -INT_MIN does not fit; FreeType caps the size anyway
  if (h < 0) return -h;
  if (h == 0) return std::max(1, MulDiv(TFont::kDefaultSize, font.PixelsPerInch(), 72));
  const int cell = face->ascender - face->descender;
  if (!FT_IS_SCALABLE(face) || cell <= 0) return h;
  return std::max(1, MulDiv(h, face->units_per_EM, cell));
}

// Code points of a UTF-16 text; unpaired surrogates as U+FFFD.
template <class F>
void ForEachCodePoint(StringView text, F&& f) {
  for (size_t i = 0; i < text.size();) f(detail::NextCodePoint(text, i));
}

TextExtent Extent(FT_Face face, int em, double scale) {
  TextExtent e;
  e.em = em;
  const FT_Size_Metrics& m = face->size->metrics;
  e.ascent = static_cast<int>(std::ceil(static_cast<double>(m.ascender) * scale / 64));
  e.descent = static_cast<int>(std::ceil(static_cast<double>(-m.descender) * scale / 64));
  if (scale == 1) {  // exactly as FreeType's 26.6 values round up
    e.ascent = static_cast<int>((m.ascender + 63) >> 6);
    e.descent = static_cast<int>((-m.descender + 63) >> 6);
  }
  // Underline where and as thick as the font says (at least one pixel
  // below the baseline, one pixel thick); strike-out through the lower half
  // of the ascent.
  e.underline = std::max(1, e.descent / 2);
  if (FT_IS_SCALABLE(face)) {
    e.thickness = std::max(1, Round26_6(FT_MulFix(face->underline_thickness, m.y_scale)));
    e.underline = std::max(1, Round26_6(-FT_MulFix(face->underline_position, m.y_scale)));
  }
  e.strike = e.ascent * 3 / 10;
  return e;
}

// Runs f(engine, family, extent) with the engine locked and the family's
// line metrics at its em size; an all-zero extent when there is no font.
template <class F>
TextExtent WithFamily(const TFont& font, F&& f) {
  Engine& engine = Engine::Instance();
  std::lock_guard lock(engine.Lock());
  Family* family = engine.FamilyOf(font);
  if (family == nullptr) return {};
  FT_Face primary = engine.RawFace(family->primary);
  if (primary == nullptr) return {};
  const int em = EmPixels(font, primary);
  double scale = 1;
  if (engine.Sized(family->primary, em, scale) == nullptr) return {};
  TextExtent e = Extent(primary, em, scale);
  f(engine, *family, e);
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

// Draws a colour glyph (premultiplied BGRA, as FreeType gives it) scaled by
// `scale` with nearest-neighbour sampling, setting pixels in the glyph's own
// colour where it is at least half opaque.
void DrawColorGlyph(const Surface& s, FT_GlyphSlot g, int64_t origin_x, int64_t baseline, double scale) {
  const FT_Bitmap& b = g->bitmap;
  if (b.pixel_mode != FT_PIXEL_MODE_BGRA || b.width == 0 || b.rows == 0) return;
  const int64_t left = origin_x + std::llround(g->bitmap_left * scale);
  const int64_t top = baseline - std::llround(g->bitmap_top * scale);
  const int64_t w = std::max<int64_t>(1, std::llround(b.width * scale));
  const int64_t h = std::max<int64_t>(1, std::llround(b.rows * scale));
  const int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(left + w, s.width);
  const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(top + h, s.height);
  for (int64_t y = y0; y < y1; ++y) {
    const auto sy = std::min<int64_t>(static_cast<int64_t>((static_cast<double>(y - top) + 0.5) / scale), b.rows - 1);
    const unsigned char* line = b.buffer + sy * b.pitch;
    for (int64_t x = x0; x < x1; ++x) {
      const auto sx = std::min<int64_t>(static_cast<int64_t>((static_cast<double>(x - left) + 0.5) / scale), b.width - 1);
      const unsigned char* p = line + 4 * sx;  // blue, green, red, alpha
      const unsigned a = p[3];
      if (a < 128) continue;
      const auto un = [a](unsigned v) { return std::min(255u, (v * 255 + a / 2) / a); };
      s.pixels[y * s.width + x] = un(p[2]) | un(p[1]) << 8 | un(p[0]) << 16;
    }
  }
}

// Draws the glyphs of `text` from (x, y) (top-left of the line) and adds
// their advances to e.width.
void RenderGlyphs(Engine& engine, Family& family, const Surface& s, const TFont& font, TextExtent& e,
                  int64_t x, int64_t y, StringView text, uint32_t color) {
  const int64_t baseline = y + e.ascent;
  int64_t pen_x = x;
  ForEachCodePoint(text, [&](char32_t c) {
    const GlyphInfo& info = engine.Glyph(family, e.em, c);
    if (info.face < 0) return;
    double scale = 1;
    FT_Face face = engine.Sized(info.face, e.em, scale);
    const bool scaled = engine.ScaledBitmaps(info.face);
    // Nothing to load for a glyph that cannot reach the surface (a colour
    // glyph is at most about an em, plus its advance, from its origin).
    const int64_t reach = 2 * int64_t{e.em} + info.advance + 2;
    const bool far = pen_x + reach < 0 || pen_x - reach >= s.width;
    if (face != nullptr && !far && FT_Load_Glyph(face, info.glyph, engine.LoadFlags(info.face)) == 0) {
      if (scaled) {
        DrawColorGlyph(s, face->glyph, pen_x, baseline, scale);
      } else {
        DrawGlyph(s, face->glyph, pen_x, baseline, color);
      }
    }
    pen_x += info.advance;
    e.width += info.advance;
  });
  if (font.HasStyle(fsUnderline)) {
    FillRect(s, x, baseline + e.underline, x + e.width, baseline + e.underline + e.thickness, color);
  }
  if (font.HasStyle(fsStrikeOut)) {
    FillRect(s, x, baseline - e.strike, x + e.width, baseline - e.strike + e.thickness, color);
  }
}

}  // namespace

void RequireInstalledFont(const TFont& font) {
  {
    Engine& engine = Engine::Instance();
    std::lock_guard lock(engine.Lock());
    if (engine.Known(font.Name())) return;
  }
  throw EZELError(u"Font \"" + font.Name() + u"\" is not installed");
}

TextExtent MeasureText(const TFont& font, StringView text) {
  RequireInstalledFont(font);
  return WithFamily(font, [&](Engine& engine, Family& family, TextExtent& e) {
    ForEachCodePoint(text, [&](char32_t c) { e.width += engine.Glyph(family, e.em, c).advance; });
  });
}

TextExtent RenderText(const Surface& s, const TFont& font, int64_t x, int64_t y, StringView text,
                      uint32_t color) {
  RequireInstalledFont(font);
  return WithFamily(font, [&](Engine& engine, Family& family, TextExtent& e) {
    RenderGlyphs(engine, family, s, font, e, x, y, text, color);
  });
}

TextLayout LayoutText(const TFont& font, StringView text) {
  RequireInstalledFont(font);
  TextLayout layout;
  layout.extent = WithFamily(font, [&](Engine& engine, Family& family, TextExtent& e) {
    std::vector<int> file_of_face;
    ForEachCodePoint(text, [&](char32_t c) {
      const GlyphInfo& info = engine.Glyph(family, e.em, c);
      if (info.face < 0) return;
      if (static_cast<size_t>(info.face) >= file_of_face.size()) file_of_face.resize(info.face + 1, -1);
      int& file = file_of_face[static_cast<size_t>(info.face)];
      if (file < 0) {
        file = static_cast<int>(layout.files.size());
        layout.files.push_back(engine.Where(info.face));
      }
      layout.glyphs.push_back(PlacedGlyph{file, info.glyph, e.width});
      e.width += info.advance;
    });
  });
  return layout;
}

bool LoadColorGlyph(const FontFile& file, int em, unsigned glyph, ColorGlyph& out) {
  Engine& engine = Engine::Instance();
  std::lock_guard lock(engine.Lock());
  const int face_index = engine.Find(file);
  if (face_index < 0 || !engine.ScaledBitmaps(face_index)) return false;
  double scale = 1;
  FT_Face face = engine.Sized(face_index, em, scale);
  if (face == nullptr || FT_Load_Glyph(face, glyph, FT_LOAD_COLOR) != 0) return false;
  const FT_GlyphSlot g = face->glyph;
  const FT_Bitmap& b = g->bitmap;
  if (b.pixel_mode != FT_PIXEL_MODE_BGRA) return false;
  out.width = static_cast<int>(b.width);
  out.height = static_cast<int>(b.rows);
  out.left = g->bitmap_left;
  out.top = g->bitmap_top;
  out.scale = scale;
  out.argb.resize(static_cast<size_t>(b.width) * b.rows);
  for (unsigned y = 0; y < b.rows; ++y) {
    const unsigned char* p = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
    for (unsigned x = 0; x < b.width; ++x, p += 4) {
      out.argb[static_cast<size_t>(y) * b.width + x] =
          uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
  }
  return true;
}

std::vector<String> InstalledFamilies() {
  Engine::Instance();  // so that fontconfig, started below, is released with the engine
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
  Engine::Instance();  // so that fontconfig, started below, is released with the engine
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
