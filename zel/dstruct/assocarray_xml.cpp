// The tagged-text persistence of TAssocArray (layout: see assocarray.h).
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "zel/dstruct/assocarray.h"
#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/streams/tagscan.h"
#include "zel/streams/xmlrefs.h"
#include "zel/stringl/charclass.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/tags.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {
namespace {

bool Writable(TVarType t) {
  switch (t) {
    case varEmpty: case varNull: case varSmallint: case varInteger: case varSingle:
    case varDouble: case varCurrency: case varDate: case varBoolean: case varShortInt:
    case varByte: case varWord: case varLongWord: case varInt64: case varUInt64:
    case varString: case varUString:
      return true;
    default:
      return false;
  }
}

// Appends `s` with & < > " and everything outside printable ASCII as
// character references.
void AppendEscaped(std::string& out, StringView s) {
  for (Char c : s) {
    switch (c) {
      case u'&': out += "&amp;"; break;
      case u'<': out += "&lt;"; break;
      case u'>': out += "&gt;"; break;
      case u'"': out += "&quot;"; break;
      default:
        if (c >= 32 && c < 127) {
          out += static_cast<char>(c);
        } else {
          out += "&#" + std::to_string(static_cast<unsigned>(c)) + ';';
        }
    }
  }
}

std::string HexBits(uint64_t bits, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s(static_cast<size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, bits >>= 4) s[static_cast<size_t>(i)] = kHex[bits & 15];
  return s;
}

std::string FloatText(double d, bool single) {
  if (d != d) {
    return single ? "NAN:" + HexBits(std::bit_cast<uint32_t>(static_cast<float>(d)), 8)
                  : "NAN:" + HexBits(std::bit_cast<uint64_t>(d), 16);
  }
  // The double's shortest text reads back exactly; a single widened to
  // double is exact too, and narrows back to the same single.  The sign of
  // zero is kept by hand.
  if (d == 0 && std::signbit(d)) return "-0";
  return ToUtf8(FloatToStr(d));
}

std::string CurrencyText(int64_t scaled) {
  const bool neg = scaled < 0;
  const uint64_t mag = neg ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  // Built by appending only (g++ 12 warns falsely about concatenation).
  std::string text = neg ? "-" : "";
  text += std::to_string(mag / 10000);
  text += '.';
  const std::string frac = std::to_string(mag % 10000);
  text.append(4 - frac.size(), '0');
  text += frac;
  return text;
}

std::string ValueText(const Variant& v) {
  switch (v.VarType()) {
    case varEmpty: case varNull: return {};
    case varSingle: return FloatText(v.AsDouble(), true);
    case varDouble: case varDate: return FloatText(VarToDouble(v), false);
    case varCurrency: return CurrencyText(v.AsCurrency());
    case varString: case varUString: {
      std::string out;
      AppendEscaped(out, VarToStr(v));
      return out;
    }
    default: return ToUtf8(VarToStr(v));  // integers in decimal, "True"/"False"
  }
}

// Reads an unsigned decimal number made of digits only.
bool ParseUnsigned(StringView s, uint64_t& v) {
  if (s.empty() || s.size() > 20) return false;
  v = 0;
  for (Char c : s) {
    const int dv = IsDigit(c) ? c - u'0' : -1;
    if (dv < 0) return false;
    if (__builtin_mul_overflow(v, uint64_t{10}, &v) ||
        __builtin_add_overflow(v, static_cast<uint64_t>(dv), &v)) {
      return false;
    }
  }
  return true;
}

bool ParseFloat(StringView s, bool single, double& d) {
  if (s.size() > 4 && s.substr(0, 4) == u"NAN:") {
    uint64_t bits = 0;
    const StringView hex = s.substr(4);
    if (hex.size() != (single ? 8u : 16u)) return false;
    for (Char c : hex) {
      const int dv = HexDigitValue(c);
      if (dv < 0) return false;
      bits = bits * 16 + static_cast<uint64_t>(dv);
    }
    d = single ? static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(bits)))
               : std::bit_cast<double>(bits);
    return true;
  }
  if (s == u"-0") {
    d = -0.0;
    return true;
  }
  return TryStrToFloat(s, d);
}

bool ParseCurrency(StringView s, int64_t& scaled) {
  const bool neg = !s.empty() && s[0] == u'-';
  if (neg) s.remove_prefix(1);
  const size_t dot = s.find(u'.');
  if (dot == StringView::npos || s.size() - dot != 5) return false;
  uint64_t whole, frac;
  if (!ParseUnsigned(s.substr(0, dot), whole) || !ParseUnsigned(s.substr(dot + 1), frac)) return false;
  uint64_t mag;
  if (__builtin_mul_overflow(whole, uint64_t{10000}, &mag) || __builtin_add_overflow(mag, frac, &mag)) {
    return false;
  }
  const uint64_t limit = neg ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  if (mag > limit) return false;
  scaled = neg ? static_cast<int64_t>(0 - mag) : static_cast<int64_t>(mag);
  return true;
}

// The value of type `type` written as `text` (already unescaped); false for
// a text the type cannot have.
bool ParseValue(int type, StringView text, Variant& v) {
  int64_t i = 0;
  uint64_t u = 0;
  double d = 0;
  auto in = [&](int64_t lo, int64_t hi) { return TryStrToInt64(text, i) && i >= lo && i <= hi; };
  switch (type) {
    case varEmpty: v = Unassigned(); return text.empty();
    case varNull: v = Null(); return text.empty();
    case varSmallint: if (!in(INT16_MIN, INT16_MAX)) return false; v = static_cast<int16_t>(i); return true;
    case varInteger: if (!in(INT32_MIN, INT32_MAX)) return false; v = static_cast<int32_t>(i); return true;
    case varShortInt: if (!in(INT8_MIN, INT8_MAX)) return false; v = static_cast<int8_t>(i); return true;
    case varByte: if (!in(0, UINT8_MAX)) return false; v = static_cast<uint8_t>(i); return true;
    case varWord: if (!in(0, UINT16_MAX)) return false; v = static_cast<uint16_t>(i); return true;
    case varLongWord: if (!in(0, UINT32_MAX)) return false; v = static_cast<uint32_t>(i); return true;
    case varInt64: if (!in(INT64_MIN, INT64_MAX)) return false; v = i; return true;
    case varUInt64: if (!ParseUnsigned(text, u)) return false; v = u; return true;
    case varSingle: if (!ParseFloat(text, true, d)) return false; v = static_cast<float>(d); return true;
    case varDouble: if (!ParseFloat(text, false, d)) return false; v = d; return true;
    case varDate: if (!ParseFloat(text, false, d)) return false; v = VarFromDateTime(d); return true;
    case varCurrency: if (!ParseCurrency(text, i)) return false; v = VarFromCurrency(i); return true;
    case varBoolean:
      if (SameText(text, u"true")) v = true;
      else if (SameText(text, u"false")) v = false;
      else return false;
      return true;
    case varString: v = VarFromAnsiString(text); return true;
    case varUString: v = String(text); return true;
    default: return false;
  }
}

struct Entry {
  String key;
  Variant value;
};

// Reads the entries of one section's content; false when it is malformed
// (the count in "numentries" must match the entries read).
bool ReadSection(StringView content, std::vector<Entry>& entries) {
  static const String kTags[] = {u"numentries", u"assoc", u"/assocarray", u"", u"\x01"};
  int pos = 1;
  int declared = -1;
  String attr, text;
  while (pos <= static_cast<int>(content.size())) {
    const int before = pos;
    const int tag = ReadNextTagInString(content, pos, kTags, attr, text);
    if (pos <= before) break;
    if (tag == 0) {
      int32_t n;
      if (declared >= 0 || !TryStrToInt(text, n) || n < 0) return false;
      declared = n;
    } else if (tag == 1) {
      int type;
      if (!TryStrToInt(ScanForXMLAttrib(attr, u"type"), type)) return false;
      Entry e;
      e.key = ResolveXMLReferences(ScanForXMLAttrib(attr, u"key"));
      if (!ParseValue(type, ResolveXMLReferences(text), e.value)) return false;
      entries.push_back(std::move(e));
    } else if (tag == 2) {
      break;
    }
    // Anything else (text, comments, unknown elements) is skipped.
  }
  return declared == static_cast<int>(entries.size());
}

}  // namespace

void TAssocArray::WriteToXMLStream(TStream& OutStream, bool CreateHeader, StringView DataID) const {
  for (int32_t e = 0; e < NumEntries(); ++e) {
    const TVarType t = values_[static_cast<size_t>(e)].VarType();
    if (!Writable(t)) {
      throw EZELDStructError(ComponentMessage(
          *this, u": value of entry " + IntToStr(e + 1) + u" has variant type " + IntToStr(uint32_t{t}) +
                     u", which cannot be written"));
    }
  }
  std::string out;
  if (CreateHeader) out += "<?xml version=\"1.0\"?>\r\n";
  out += "<assocarray dataid=\"";
  AppendEscaped(out, DataID.empty() ? StringView(data_id_) : DataID);
  out += "\">\r\n<numentries>" + std::to_string(NumEntries()) + "</numentries>\r\n";
  for (int32_t e = 0; e < NumEntries(); ++e) {
    const Variant& v = values_[static_cast<size_t>(e)];
    out += "<assoc key=\"";
    AppendEscaped(out, keys_[static_cast<size_t>(e)]);
    out += "\" type=\"" + std::to_string(v.VarType()) + "\">";
    out += ValueText(v);
    out += "</assoc>\r\n";
  }
  out += "</assocarray>\r\n";
  OutStream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

bool TAssocArray::ReadFromXMLStream(TStream& InStream, StringView DataID) {
  const String wanted(DataID.empty() ? StringView(data_id_) : DataID);
  // The tag search steps over declarations and other elements without
  // reading their content, and leaves the stream behind the section read.
  String attr, content;
  while (ScanStreamForXMLTag(InStream, u"assocarray", attr, content)) {
    if (!SameText(ResolveXMLReferences(ScanForXMLAttrib(attr, u"dataid")), wanted)) continue;
    std::vector<Entry> entries;
    if (!ReadSection(content, entries)) return false;
    for (const auto& e : entries) Add(e.key, e.value);
    return true;
  }
  return false;
}

int TAssocArray::AddXMLAttributes(StringView Attributes) {
  int count = 0;
  int pos = 1;
  String name, value;
  while (pos <= static_cast<int>(Attributes.size())) {
    const int before = pos;
    if (ScanXMLAttribPair(Attributes, pos, name, value) != xapOK) break;
    if (!name.empty()) {
      Add(name, Variant(value));
      ++count;
    }
    if (pos <= before) break;
  }
  return count;
}

}  // namespace zel
