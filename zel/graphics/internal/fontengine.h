// zel/graphics/internal/fontengine.h — fonts for the canvases: fontconfig
// finds the file for a `TFont` (name, bold, italic), FreeType measures and
// renders it.
//
// Faces are opened once per (name, style) and kept for the life of the
// process, behind one lock.  Rendering is monochrome: a pixel is set where
// FreeType's one-bit rendering sets it.  The pixel size of a font is its em
// size: -Height() for a negative height (the character height), Height()
// scaled by em / (ascender - descender) for a positive one (the cell
// height), the default size at the font's resolution for 0.
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

// The extent of `text` in `font`; all zero when no font file is found.
TextExtent MeasureText(const TFont& font, StringView text);

// Draws `text` with its top-left corner at (x, y) in `color` (0x00BBGGRR),
// the pixels only (no background).  Returns the extent used.
TextExtent RenderText(const Surface& s, const TFont& font, int64_t x, int64_t y, StringView text,
                      uint32_t color);

// The file and face index fontconfig chooses for the font; false when there
// is none.
bool MatchFontFile(const TFont& font, std::string& file, int& index);

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
