// tools/zel/colorspec.h — colours as the `zel` tool's users write them:
// a colour name ("sky blue", any case, blanks ignored), #RRGGBB, $hex as a
// TColor ($00BBGGRR) or, where a command allows it, r,g,b.
//
//   TColor c;
//   ParseColor("#FF8000", false, c);   // c == 0x0080FF
//   ParseColor("0,128,255", true, c);  // c == 0xFF8000
#ifndef ZEL_TOOLS_ZEL_COLORSPEC_H_
#define ZEL_TOOLS_ZEL_COLORSPEC_H_

#include <string>
#include <vector>

#include "zel/platform/types.h"

namespace zel::cli {

// A colour from a name, #RRGGBB, $hex or (when `allow_triple`) r,g,b;
// false when `spec` is none of these.
bool ParseColor(const std::string& spec, bool allow_triple, TColor& color);

// The pieces of `text` between commas ("a,,b" has an empty middle piece).
std::vector<std::string> SplitCommas(const std::string& text);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_COLORSPEC_H_
