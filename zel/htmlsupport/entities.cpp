#include "zel/htmlsupport/entities.h"

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/stringl/charclass.h"
#include "zel/zelbase/nametables.h"

namespace ZEL_EXPORT zel {
namespace {

struct BasicEntity {
  Char c;
  StringView ref;
};

// The references of the markup characters; the apostrophe is written as a
// numeric reference and read back as one.
constexpr BasicEntity kBasic[] = {
    {u'<', u"&lt;"}, {u'>', u"&gt;"}, {u'&', u"&amp;"}, {u'"', u"&quot;"}};

// The longest reference `ResolveHTMLEntities` looks for, ";" included.  The
// longest name is 8 characters; numbers may carry leading zeros.
constexpr size_t kMaxRefLength = 32;

// The code point of "&#...;" whose digits (after "#") are `digits`, or 0.
char32_t NumericValue(StringView digits) noexcept {
  int base = 10;
  if (!digits.empty() && (digits[0] == u'x' || digits[0] == u'X')) {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty()) return 0;
  uint32_t value = 0;
  for (Char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0 || d >= base) return 0;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
    if (value > 0x10FFFF) return 0;  // stops before the product can overflow
  }
  if (value >= 0xD800 && value <= 0xDFFF) return 0;
  return value;
}

void AppendCodePoint(String& out, char32_t cp) {
  if (cp <= 0xFFFF) {
    out.push_back(static_cast<Char>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<Char>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<Char>(0xDC00 + (cp & 0x3FF)));
  }
}

// True for the characters `AnsiToHTMLEntity` writes as a reference.
bool NeedsReference(Char c) noexcept {
  return c == u'<' || c == u'>' || c == u'&' || c == u'"' || c == u'\'' ||
         (c >= HTMLLat1Entities.Low() && c <= HTMLLat1Entities.High());
}

}  // namespace

String AnsiToHTMLEntity(Char C) {
  if (!NeedsReference(C)) return String(1, C);
  for (const auto& e : kBasic) {
    if (e.c == C) return String(e.ref);
  }
  if (C == u'\'') return u"&#39;";
  return String(HTMLLat1Entities[C]);
}

String MakeStringHTMLCompatible(StringView S) {
  String out;
  out.reserve(S.size());
  for (Char c : S) {
    if (NeedsReference(c)) {
      out += AnsiToHTMLEntity(c);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

String HTMLEntityToAnsi(StringView Entity) {
  if (Entity.size() < 3 || Entity.front() != u'&' || Entity.back() != u';') return String();
  const StringView body = Entity.substr(1, Entity.size() - 2);
  if (body[0] == u'#') {
    String out;
    if (const char32_t cp = NumericValue(body.substr(1)); cp != 0) AppendCodePoint(out, cp);
    return out;
  }
  for (const auto& e : kBasic) {
    if (e.ref == Entity) return String(1, e.c);
  }
  for (int c = HTMLLat1Entities.Low(); c <= HTMLLat1Entities.High(); ++c) {
    if (HTMLLat1Entities[c] == Entity) return String(1, static_cast<Char>(c));
  }
  return String();
}

String ResolveHTMLEntities(StringView S) {
  String out;
  out.reserve(S.size());
  size_t i = 0;
  while (i < S.size()) {
    const size_t amp = S.find(u'&', i);
    if (amp == StringView::npos) break;
    out.append(S.substr(i, amp - i));
    // The reference ends at the first ';' close enough to belong to it; a
    // second '&' before it means this one starts no reference.
    const StringView window = S.substr(amp, kMaxRefLength);
    const size_t semi = window.find_first_of(u";&", 1);
    if (semi != StringView::npos && window[semi] == u';') {
      const String resolved = HTMLEntityToAnsi(window.substr(0, semi + 1));
      if (!resolved.empty()) {
        out += resolved;
        i = amp + semi + 1;
        continue;
      }
    }
    out.push_back(u'&');
    i = amp + 1;
  }
  if (i < S.size()) out.append(S.substr(i));
  return out;
}

}  // namespace zel
