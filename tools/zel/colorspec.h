// tools/zel/colorspec.h — a colour as the `zel` commands take it.
#ifndef ZEL_TOOLS_ZEL_COLORSPEC_H_
#define ZEL_TOOLS_ZEL_COLORSPEC_H_

#include <string>

#include "zel/platform/types.h"

namespace zel::cli {

// A colour from a name (SkyBlue; case and blanks do not matter), #RRGGBB,
// $hex (a TColor) or, when `allow_triple`, r,g,b with components 0..255.
bool ParseColor(const std::string& spec, bool allow_triple, TColor& color);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_COLORSPEC_H_
