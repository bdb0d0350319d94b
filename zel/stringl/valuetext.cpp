#include "zel/stringl/valuetext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/numfmt.h"
#include "zel/stringl/strip.h"

namespace ZEL_EXPORT zel {

String BoolToStr(bool b, int Mode) {
  static constexpr const char16_t* kTrue[] = {u"TRUE", u"T", u".T.", u"1",
                                              u"-1",   u"FF", u"YES", u"GOOD"};
  static constexpr const char16_t* kFalse[] = {u"FALSE", u"F", u".F.", u"0",
                                               u"0",     u"00", u"NO", u"BAD"};
  if (Mode < 0 || Mode > 7) Mode = 0;
  return b ? kTrue[Mode] : kFalse[Mode];
}

String BinString(bool b, StringView TrueText, StringView FalseText) {
  return String(b ? TrueText : FalseText);
}

String TriStateToStr(TTriState t, int Mode) {
  switch (t) {
    case tsTrue: return Mode == 1 ? u"1" : Mode == 2 ? u"yes" : u"true";
    case tsFalse: return Mode == 1 ? u"-1" : Mode == 2 ? u"no" : u"false";
    default: return Mode == 1 ? u"0" : Mode == 2 ? u"unknown" : u"";
  }
}

TTriState StrToTriState(StringView S) {
  const String s = StripLTBlanks(LowerCase(S));
  if (s == u"true" || s == u"1" || s == u"+1" || s == u"yes") return tsTrue;
  if (s == u"false" || s == u"-1" || s == u"no") return tsFalse;
  return tsUndefined;
}

namespace {

// `v` in decimal, zero-padded (or blank-padded) to at least two digits.
String TwoDigits(int64_t v, Char pad = u'0') {
  String s = S(std::to_string(v));
  if (s.size() < 2) s.insert(s.begin(), pad);
  return s;
}

}  // namespace

String TimeString(double Secs, uint8_t Format) {
  constexpr double kMaxSecs = 3.6e21;  // 10^18 hours, within int64_t
  if (!(Secs > 0)) Secs = 0;  // negative and NaN
  Secs = std::min(Secs, kMaxSecs);
  const int64_t h = static_cast<int64_t>(Secs / 3600);
  double rest = Secs - static_cast<double>(h) * 3600;
  // Rounding in the subtraction may leave a hair below 0 or at 3600.
  rest = std::clamp(rest, 0.0, 3599.999999);
  const int m = static_cast<int>(rest / 60);
  const int s = static_cast<int>(rest - m * 60.0);
  const int c = static_cast<int>((Secs - std::floor(Secs)) * 100);
  switch (Format) {
    case 0: return TwoDigits(h) + u":" + TwoDigits(m) + u":" + TwoDigits(s) + u"." + TwoDigits(c);
    case 1: return TwoDigits(h) + u":" + TwoDigits(m) + u":" + TwoDigits(s);
    case 2: return TwoDigits(h, u' ') + u"h" + TwoDigits(m);
    case 3: return TwoDigits(h, u' ') + u"h" + TwoDigits(m) + u"'" + TwoDigits(s) + u"\"";
    case 4: return TwoDigits(h) + u":" + TwoDigits(m);
    case 5: {
      const int64_t h12 = h == 0 ? 12 : h >= 13 ? h - 12 : h;
      return TwoDigits(h12, u' ') + u":" + TwoDigits(m) + (h < 12 ? u"a" : u"p");
    }
    default: return String();
  }
}

String SortableNumericString(StringView S, Char DecSep, int Width) {
  String s = StripLTBlanks(S);
  const size_t at = s.find(DecSep);
  const int64_t p = at == String::npos ? 0 : static_cast<int64_t>(at) + 1;
  if (p < Width) s.insert(0, static_cast<size_t>(Width - p), u' ');
  return s;
}

namespace {

// The list frame shared by every CreateParList: `n` values, `item(i)`
// writing value i.
template <class Item>
String ParList(size_t n, bool AddComma, int MaxNum, bool Brackets, Item item) {
  String s = Brackets ? u"[" : u"";
  size_t k = n;
  if (MaxNum > 0 && static_cast<size_t>(MaxNum) < n) k = static_cast<size_t>(MaxNum);
  if (k == 0) s += u',';
  for (size_t i = 0; i < k; ++i) {
    s += item(i);
    s += u',';
  }
  if (k < n) s += u"...,";
  if (Brackets) {
    s.back() = u']';
  } else {
    s.pop_back();
  }
  if (AddComma) s += u',';
  return s;
}

}  // namespace

String CreateParList(const TIntArray& Values, bool AddComma, int MaxNum, bool Brackets) {
  return CreateParList(std::span<const int32_t>(Values), AddComma, MaxNum, Brackets);
}

String CreateParList(std::span<const int32_t> Values, bool AddComma, int MaxNum, bool Brackets) {
  return ParList(Values.size(), AddComma, MaxNum, Brackets,
                 [&](size_t i) { return IntToStr(Values[i]); });
}

String CreateParList(std::span<const bool> Values, bool AddComma, int MaxNum, bool Brackets) {
  return ParList(Values.size(), AddComma, MaxNum, Brackets,
                 [&](size_t i) { return BoolToStr(Values[i], 0); });
}

String CreateParList(const TDoubleArray& Values, bool AddComma, int MaxNum, int NSig,
                     bool Brackets) {
  return CreateParList(std::span<const double>(Values), AddComma, MaxNum, NSig, Brackets);
}

String CreateParList(std::span<const double> Values, bool AddComma, int MaxNum, int NSig,
                     bool Brackets) {
  return ParList(Values.size(), AddComma, MaxNum, Brackets,
                 [&](size_t i) { return AutoFormatData(Values[i], NSig); });
}

namespace {

// Element `i` of the first dimension of `v` (other dimensions at their lower
// bound), or null when `v` is no array or `i` lies outside its bounds.
const Variant* Elem(const Variant* v, int64_t i) {
  if (v == nullptr || !v->IsArray()) return nullptr;
  const int dims = v->DimCount();
  if (dims < 1 || i < v->LowBound(1) || i > v->HighBound(1)) return nullptr;
  std::vector<int> index(static_cast<size_t>(dims));
  index[0] = static_cast<int>(i);
  for (int d = 2; d <= dims; ++d) {
    index[static_cast<size_t>(d - 1)] = v->LowBound(d);
    if (v->HighBound(d) < v->LowBound(d)) return nullptr;  // an empty dimension
  }
  return &v->Get(index);
}

// A value that is no array (an array is named by its type code).
String ScalarText(const Variant& v) {
  const TVarType code = v.VarType() & varTypeMask;
  if (!v.IsArray()) {
    switch (code) {
      case varNull: return u"NULL";
      case varSmallint: case varInteger: case varShortInt: case varByte:
      case varWord: case varLongWord: case varInt64: case varUInt64:
        return VarToStr(v);
      case varSingle: case varDouble: return strff(v.AsDouble(), 10, -2);
      case varBoolean: return BoolToStr(v.AsBool(), 0);
      case varString: case varUString: return v.AsString();
      default: break;
    }
  }
  return u"(unknown type: " + IntToStr(static_cast<int32_t>(code)) + u")";
}

String ElemText(const Variant* v) { return v ? ScalarText(*v) : String(); }

struct Bounds {
  int64_t low = 0, high = -1;
};

Bounds FirstBounds(const Variant* v) {
  Bounds b;
  if (v && v->IsArray() && v->DimCount() >= 1) {
    b.low = v->LowBound(1);
    b.high = v->HighBound(1);
  }
  return b;
}

constexpr int64_t kMaxItems = 12;   // elements per line
constexpr int64_t kMaxLines = 10;   // lines per layer
constexpr int64_t kMaxLayers = 3;

// Up to kMaxItems elements of one line, "," between, "..." when cut.
template <class At>
void AppendItems(String& out, const Bounds& b, At at) {
  const int64_t last = std::min(b.high, b.low + kMaxItems - 1);
  for (int64_t i = b.low; i <= last; ++i) {
    if (i > b.low) out += u',';
    out += ElemText(at(i));
  }
  if (b.high > last) out += u"...";
}

// The lines j of one layer; `at(i, j)` gives V[i][j](...).  True when lines
// were cut.
template <class At>
bool AppendLines(String& out, const Bounds& first, const Bounds& second, At at) {
  const int64_t last = std::min(second.high, second.low + kMaxLines - 1);
  for (int64_t j = second.low; j <= last; ++j) {
    AppendItems(out, first, [&](int64_t i) { return at(i, j); });
    out += u"\r\n";
  }
  return second.high > last;
}

}  // namespace

String ConvertVariant(const Variant& V) {
  if (!V.IsArray()) return ScalarText(V);
  const Bounds b1 = FirstBounds(&V);
  if (b1.high < 0) return u"undefined array";
  const Variant* e1 = Elem(&V, b1.low);
  const Variant* e2 = Elem(e1, FirstBounds(e1).low);
  const int levels = e1 && e1->IsArray() ? (e2 && e2->IsArray() ? 3 : 2) : 1;
  const Bounds b2 = FirstBounds(e1), b3 = FirstBounds(e2);

  String out = u"Array";
  const Bounds level_bounds[] = {b1, b2, b3};
  for (int l = 0; l < levels; ++l) {
    const Bounds& b = level_bounds[l];
    out += u'[';
    out += S(std::to_string(b.low));
    out += u',';
    out += S(std::to_string(b.high));
    out += u']';
  }
  out += u":\r\n";
  if (levels == 1) {
    AppendItems(out, b1, [&](int64_t i) { return Elem(&V, i); });
  } else if (levels == 2) {
    if (AppendLines(out, b1, b2, [&](int64_t i, int64_t j) { return Elem(Elem(&V, i), j); })) {
      out += u" ......";
    }
  } else {
    const int64_t last = std::min(b3.high, b3.low + kMaxLayers - 1);
    for (int64_t k = b3.low; k <= last; ++k) {
      out += u"layer ";
      out += S(std::to_string(k));
      out += u":\r\n";
      if (AppendLines(out, b1, b2, [&](int64_t i, int64_t j) {
            return Elem(Elem(Elem(&V, i), j), k);
          })) {
        out += u" ......\r\n";
      }
    }
    if (b3.high > last) out += u" ... more layers";
  }
  return out;
}

int StringIx(StringView S, bool CaseSensitive, std::span<const String> List) {
  for (size_t i = 0; i < List.size(); ++i) {
    if (CaseSensitive ? List[i] == S : SameText(List[i], S)) return static_cast<int>(i) + 1;
  }
  return 0;
}

int StringIx(StringView S, std::span<const String> List) { return StringIx(S, true, List); }

int StringIx(StringView S, bool CaseSensitive, std::initializer_list<StringView> List) {
  int i = 0;
  for (StringView entry : List) {
    ++i;
    if (CaseSensitive ? entry == S : SameText(entry, S)) return i;
  }
  return 0;
}

int StringIx(StringView S, std::initializer_list<StringView> List) {
  return StringIx(S, true, List);
}

}  // namespace zel
