#include "tools/zel/colorspec.h"

#include "zel/platform/casemap.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/charclass.h"
#include "zel/zelcolors/zelcolors.h"

namespace zel::cli {
namespace {

// A name compared without regard to case and blanks.
String NameKey(StringView s) {
  String key;
  for (Char c : s) {
    if (c != u' ') key += c;
  }
  return LowerCase(key);
}

bool AllHex(StringView s) {
  if (s.empty()) return false;
  for (Char c : s) {
    if (!IsHexChar(c)) return false;
  }
  return true;
}

// A decimal integer filling the whole text (blanks around it allowed).
bool ParseInt(const std::string& text, int32_t& value) {
  return TryStrToInt(FromUtf8(text), value) &&
         text.find_first_of("$xX") == std::string::npos;  // decimal only
}

}  // namespace

// The pieces of `text` between commas ("a,,b" has an empty middle piece).
std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
    parts.push_back(text.substr(start, comma - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// A colour from a name, #RRGGBB, $hex or (when `allow_triple`) r,g,b.
bool ParseColor(const std::string& spec, bool allow_triple, TColor& color) {
  const String s = FromUtf8(spec);
  if (s.empty()) return false;
  if (s[0] == u'#') {
    if (s.size() != 7 || !AllHex(StringView(s).substr(1))) return false;
    color = ReverseRGBColor(HexStrToColor(StringView(s).substr(1)));
    return true;
  }
  if (s[0] == u'$') {
    if (s.size() > 9 || !AllHex(StringView(s).substr(1))) return false;
    color = HexStrToColor(s);
    return true;
  }
  if (s.find(u',') != String::npos) {
    const std::vector<std::string> parts = SplitCommas(spec);
    int32_t c[3];
    if (!allow_triple || parts.size() != 3) return false;
    for (int i = 0; i < 3; ++i) {
      if (!ParseInt(parts[i], c[i]) || c[i] < 0 || c[i] > 255) return false;
    }
    color = RGBToColor(c[0], c[1], c[2]);
    return true;
  }
  const String key = NameKey(s);
  for (int i = AllZELColorNames.Low(); i <= AllZELColorNames.High(); ++i) {
    if (NameKey(AllZELColorNames[i]) == key) {
      color = AllZELColors[i];
      return true;
    }
  }
  return false;
}

}  // namespace zel::cli
