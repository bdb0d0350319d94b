#include "zel/streams/xmlrefs.h"

#include <cstdint>

#include "zel/stringl/charclass.h"

namespace zel {
namespace {

// The character `name` (the text between '&' and ';') stands for, or false.
bool ReferencedChar(StringView name, Char& c) {
  if (name == u"amp") c = u'&';
  else if (name == u"lt") c = u'<';
  else if (name == u"gt") c = u'>';
  else if (name == u"quot") c = u'"';
  else if (name == u"apos") c = u'\'';
  else if (name.size() >= 2 && name[0] == u'#') {
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const StringView digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    const int base = hex ? 16 : 10;
    uint32_t v = 0;
    for (Char d : digits) {
      const int dv = hex ? HexDigitValue(d) : IsDigit(d) ? d - u'0' : -1;
      if (dv < 0) return false;
      v = v * static_cast<uint32_t>(base) + static_cast<uint32_t>(dv);
      if (v > 0xFFFF) return false;
    }
    c = static_cast<Char>(v);
  } else {
    return false;
  }
  return true;
}

// The longest reference name looked for ("#65535" and "#x0000FFFF" fit).
constexpr size_t kMaxNameLength = 10;

}  // namespace

String ResolveXMLReferences(StringView text) {
  String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    Char c = text[i];
    if (c == u'&') {
      const size_t semi = text.find(u';', i + 1);
      if (semi != StringView::npos && semi - i - 1 <= kMaxNameLength &&
          ReferencedChar(text.substr(i + 1, semi - i - 1), c)) {
        i = semi;
      }
    }
    out.push_back(c);
  }
  return out;
}

String XMLCharReferences(StringView text, bool quotes) {
  String out;
  out.reserve(text.size());
  for (Char c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"':
        if (quotes) {
          out += u"&quot;";
          break;
        }
        [[fallthrough]];
      default: out.push_back(c);
    }
  }
  return out;
}

}  // namespace zel
