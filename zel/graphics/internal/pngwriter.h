// zel/graphics/internal/pngwriter.h — PNG encoding of a bitmap's pixels with
// libpng, streamed into the safe save in one pass.
//
//   zel::FileReplacement out(name);
//   zel::detail::WritePng(out, name, pixels, width, height);  // throws EWriteError
//   out.Commit();
//
// The image is 8-bit RGB, written row by row (no copy of the whole image),
// with the compression level and row filter below: zlib's default level and
// libpng's adaptive filter choice per row, which keeps charts (large flat
// areas, thin lines) small at one compression pass.  Any width and height up
// to PNG's limit of 2^31 - 1 is written (libpng's default cap of a million
// pixels per side is for readers).
#ifndef ZEL_GRAPHICS_INTERNAL_PNGWRITER_H_
#define ZEL_GRAPHICS_INTERNAL_PNGWRITER_H_

#include <png.h>

#include <cstdint>

#include "zel/platform/filereplace.h"
#include "zel/platform/string.h"

namespace zel::detail {

inline constexpr int kPngCompressionLevel = 6;
inline constexpr int kPngFilters = PNG_ALL_FILTERS;

// Writes `width` x `height` pixels (0x00BBGGRR, rows top-down, both sizes
// at least 1) as a PNG file into `out`.  Raises EWriteError with the safe
// save's message when a write fails, or naming `file_name` with libpng's
// reason.
void WritePng(FileReplacement& out, const String& file_name, const uint32_t* pixels, int width,
              int height);

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_PNGWRITER_H_
