// zel/graphics/internal/safefile.h — files replaced safely: the new content
// goes to a temporary file beside the target, which is renamed over the
// target only when every byte is written and flushed.  A failed save leaves
// the old file as it was.
#ifndef ZEL_GRAPHICS_INTERNAL_SAFEFILE_H_
#define ZEL_GRAPHICS_INTERNAL_SAFEFILE_H_

#include <cstdint>
#include <span>
#include <string>

#include "zel/platform/string.h"

namespace zel::detail {

// Creates an empty temporary file in the directory of `target` and returns
// its name; raises EFCreateError naming `target` when it cannot.
std::string CreateSiblingTemp(const String& target);

// Flushes `temp` to disk and renames it over `target`; on failure removes
// `temp` and raises EWriteError naming `target`.
void CommitTemp(const std::string& temp, const String& target);

// Writes `bytes` as the new content of `target` through a temporary file.
void ReplaceFile(const String& target, std::span<const uint8_t> bytes);

}  // namespace zel::detail

#endif  // ZEL_GRAPHICS_INTERNAL_SAFEFILE_H_
