// zel/graphics/internal/fontengine.h — fonts for the canvases: fontconfig
// finds the files for a `TFont` (name, bold, italic), FreeType measures and
// renders them.
//
// Every character comes from the font fontconfig matches when that font has
// it, and otherwise from the first font of fontconfig's sorted list of
// fallbacks (`FcFontSort`) whose character set has it, so that "Łódź メモ 🙂"
// shows in a Latin font.  A character no installed font has is drawn as the
// matched font's missing-glyph box.  The choice of font per character and the
// advances per character and size are cached, and both canvases take their
// glyphs and positions from `LayoutText`, so what is drawn is what the text
// functions measure.
//
// Faces are opened once per file and kept until the library is unloaded,
// behind one lock; unloading releases them, the fontconfig objects and
// fontconfig's own configuration (`FcFini`).  Rendering is monochrome: a
// pixel is set where FreeType's one-bit rendering sets it; colour bitmap
// fonts (emoji) are scaled from their strike to the font's size by nearest
// neighbour and a pixel is set, in the glyph's own colour, where it is at
// least half opaque.  The pixel size of a font is its em size: -Height() for
// a negative height (the character height), Height() scaled by em /
// (ascender - descender) for a positive one (the cell height), the default
// size at the font's resolution for 0.  Line metrics (ascent, descent,
// underline) are the matched font's.
#ifndef ZEL_GRAPHICS_INTERNAL_FONTENGINE_H_
#define ZEL_GRAPHICS_INTERNAL_FONTENGINE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "zel/graphics/internal/raster.h"
#include "zel/platform/font.h"
#include "zel/platform/string.h"

namespace zel::detail {

struct TextExtent {
  int64_t width = 0;  // sum of the advances (long texts in large fonts pass INT_MAX)
  int ascent = 0;     // baseline below the top
  int descent = 0;    // below the baseline
  int em = 0;         // pixel size used
  // Underline and strike-out, the same on every canvas: lines `thickness`
  // pixels thick whose top rows lie `underline` pixels below and `strike`
  // pixels above the baseline.
  int underline = 0;
  int strike = 0;
  int thickness = 1;
};

// A font file (and face index in it) that glyphs of a text come from.
struct FontFile {
  std::string file;
  int index = 0;
  bool color_bitmaps = false;  // a colour bitmap font (emoji): see LoadColorGlyph
  friend bool operator==(const FontFile&, const FontFile&) = default;
};

// One glyph of a laid-out text: the glyph of `files[file]`, its origin `x`
// pixels right of the text's left edge, on the baseline.
struct PlacedGlyph {
  int file = 0;
  unsigned glyph = 0;
  int64_t x = 0;
};

struct TextLayout {
  TextExtent extent;
  std::vector<FontFile> files;
  std::vector<PlacedGlyph> glyphs;
};

// Raises EZELError ("Font "NAME" is not installed") when no installed font
// has the font's family name and it is none of fontconfig's generic names
// (sans-serif, serif, monospace, ...): such a font is reported, not
// replaced by another.  The text functions below call it first.
void RequireInstalledFont(const TFont& font);

// The extent of `text` in `font`; all zero when FreeType cannot open the
// matched font.
TextExtent MeasureText(const TFont& font, StringView text);

// Draws `text` with its top-left corner at (x, y) in `color` (0x00BBGGRR),
// the pixels only (no background), colour glyphs in their own colours.
// Returns the extent used.
TextExtent RenderText(const Surface& s, const TFont& font, int64_t x, int64_t y, StringView text,
                      uint32_t color);

// The glyphs of `text` with their fonts and positions, as RenderText draws
// them.
TextLayout LayoutText(const TFont& font, StringView text);

// A glyph of a colour bitmap font as premultiplied 32-bit pixels (alpha in
// the top byte, then red, green, blue: cairo's ARGB32), `width` x `height`
// pixels of its strike, to be drawn `scale` times as large with its top-left
// corner at (`left`, -`top`) strike pixels from the glyph's origin.
struct ColorGlyph {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  double scale = 1;
  std::vector<uint32_t> argb;
};

// The colour glyph `glyph` of `file` at `em` pixels; false when it cannot
// be loaded or is not a colour bitmap.
bool LoadColorGlyph(const FontFile& file, int em, unsigned glyph, ColorGlyph& out);

// Family names of the installed fonts (the first name of each font),
// sorted, without duplicates.  Asks fontconfig on every call, so fonts an
// application adds are seen.
std::vector<String> InstalledFamilies();

// fontconfig's font format ("TrueType", "CFF", "BDF", "PCF", "Type 1", ...)
// of the installed family `family`, taken from its regular upright face
// where it has one; false when no installed font has that family name.
bool FamilyFontFormat(StringView family, std::string& format);

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_FONTENGINE_H_
