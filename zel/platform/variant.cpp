#include "zel/platform/variant.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/datetime.h"
#include "zel/platform/export.h"
#include "zel/platform/numconv.h"

namespace ZEL_EXPORT zel {

struct Variant::Array {
  std::vector<int> low, high;  // per dimension
  TVarType elem_type = varVariant;
  std::vector<Variant> elems;  // first dimension varies fastest
};

void Variant::ArrayDeleter::operator()(Array* a) const noexcept { delete a; }

namespace {

constexpr int kMaxDims = 64;
constexpr int64_t kMaxElems = int64_t{1} << 28;

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsSimpleType(TVarType t) {
  return IsIntegerType(t) || t == varUInt64 || t == varSingle || t == varDouble ||
         t == varCurrency || t == varDate || t == varBoolean || t == varString ||
         t == varUString;
}

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantError(u"Could not convert variant of type (" + VarTypeName(from) +
                      u") into type (" + VarTypeName(to) + u")");
}

[[noreturn]] void Overflow() { throw EVariantError(u"Variant overflow"); }

[[noreturn]] void BadIndex() { throw EVariantError(u"Variant array index out of bounds"); }

// Rounds to nearest, halves to even, and checks the 64-bit range.
int64_t RoundToInt64(double x) {
  if (!std::isfinite(x)) Overflow();
  const double r = std::nearbyint(x);
  if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) Overflow();
  return static_cast<int64_t>(r);
}

// Currency count / 10000, halves to even.
int64_t CurrencyToInt64(int64_t scaled) {
  int64_t q = scaled / 10000;
  const int64_t r = scaled % 10000;
  const int64_t ar = r < 0 ? -r : r;
  if (ar > 5000 || (ar == 5000 && (q & 1) != 0)) q += r < 0 ? -1 : 1;
  return q;
}

String CurrencyToStr(int64_t scaled) {
  const bool negative = scaled < 0;
  const uint64_t mag = negative ? ~static_cast<uint64_t>(scaled) + 1 : static_cast<uint64_t>(scaled);
  std::string text = std::to_string(mag / 10000);
  std::string frac = std::to_string(mag % 10000);
  frac.insert(0, 4 - frac.size(), '0');
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  if (!frac.empty()) text += "." + frac;
  return S((negative ? "-" : "") + text);
}

}  // namespace

// --- Value semantics ---------------------------------------------------------

Variant::Variant(String v) noexcept : type_(varUString), s_(std::move(v)) {}
Variant::Variant(StringView v) : type_(varUString), s_(v) {}
Variant::Variant(const Char* v) : type_(varUString), s_(v) {}

Variant::Variant(const Variant& other)
    : type_(other.type_), i_(other.i_), u_(other.u_), d_(other.d_), s_(other.s_),
      a_(other.a_ ? new Array(*other.a_) : nullptr) {}

Variant::Variant(Variant&& other) noexcept
    : type_(other.type_), i_(other.i_), u_(other.u_), d_(other.d_), s_(std::move(other.s_)),
      a_(std::move(other.a_)) {
  other.type_ = varEmpty;
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    type_ = other.type_;
    i_ = other.i_;
    u_ = other.u_;
    d_ = other.d_;
    s_ = std::move(other.s_);
    a_ = std::move(other.a_);
    other.type_ = varEmpty;
  }
  return *this;
}

Variant::~Variant() = default;

bool operator==(const Variant& a, const Variant& b) {
  if (a.type_ != b.type_) return false;
  if (a.IsArray()) {
    return a.a_->low == b.a_->low && a.a_->high == b.a_->high && a.a_->elems == b.a_->elems;
  }
  switch (a.type_ & varTypeMask) {
    case varEmpty: case varNull: return true;
    case varUInt64: return a.u_ == b.u_;
    case varSingle: case varDouble: case varDate: return a.d_ == b.d_;
    case varString: case varUString: return a.s_ == b.s_;
    default: return a.i_ == b.i_;
  }
}

// --- Factories -----------------------------------------------------------------

Variant Null() {
  Variant v;
  v.type_ = varNull;
  return v;
}

Variant Unassigned() { return Variant(); }

Variant VarFromCurrency(int64_t Scaled) {
  Variant v;
  v.type_ = varCurrency;
  v.i_ = Scaled;
  return v;
}

Variant VarFromDateTime(TDateTime Value) {
  Variant v;
  v.type_ = varDate;
  v.d_ = Value;
  return v;
}

Variant VarFromAnsiString(std::string_view Bytes) {
  Variant v;
  v.type_ = varString;
  v.s_ = AnsiToString(Bytes);
  return v;
}

Variant VarFromAnsiString(StringView Text) { return VarFromAnsiString(StringToAnsi(Text)); }

// --- Arrays --------------------------------------------------------------------

Variant VarArrayCreate(std::span<const int> Bounds, TVarType ElemType) {
  if (Bounds.empty() || Bounds.size() % 2 != 0 || Bounds.size() / 2 > kMaxDims) {
    throw EVariantError(u"Variant array bounds error");
  }
  if (ElemType != varVariant && !IsSimpleType(ElemType)) {
    throw EVariantError(u"Invalid variant type");
  }
  std::unique_ptr<Variant::Array, Variant::ArrayDeleter> arr(new Variant::Array);
  arr->elem_type = ElemType;
  int64_t count = 1;
  for (size_t k = 0; k < Bounds.size(); k += 2) {
    const int64_t len = static_cast<int64_t>(Bounds[k + 1]) - Bounds[k] + 1;
    if (len < 0) throw EVariantError(u"Variant array bounds error");
    count *= len;
    if (count > kMaxElems) throw EVariantError(u"Variant array too large");
    arr->low.push_back(Bounds[k]);
    arr->high.push_back(Bounds[k + 1]);
  }
  // Elements start as zero, false or the empty string of the element type.
  Variant initial;
  if (ElemType == varString || ElemType == varUString) {
    initial = VarAsType(Variant(String()), ElemType);
  } else if (ElemType != varVariant) {
    initial = VarAsType(Variant(int32_t{0}), ElemType);
  }
  arr->elems.assign(static_cast<size_t>(count), initial);
  Variant v;
  v.type_ = static_cast<TVarType>(varArray | ElemType);
  v.a_ = std::move(arr);
  return v;
}

Variant VarArrayOf(std::initializer_list<Variant> Values) {
  Variant v = VarArrayCreate({0, static_cast<int>(Values.size()) - 1}, varVariant);
  int i = 0;
  for (const Variant& x : Values) v.Put({i++}, x);
  return v;
}

int Variant::DimCount() const noexcept { return a_ ? static_cast<int>(a_->low.size()) : 0; }

int Variant::LowBound(int dim) const {
  if (dim < 1 || dim > DimCount()) throw EVariantError(u"Variant array bounds error");
  return a_->low[static_cast<size_t>(dim - 1)];
}

int Variant::HighBound(int dim) const {
  if (dim < 1 || dim > DimCount()) throw EVariantError(u"Variant array bounds error");
  return a_->high[static_cast<size_t>(dim - 1)];
}

const Variant& Variant::Get(std::span<const int> indices) const {
  if (!a_) throw EVariantError(u"Variant is not an array");
  if (indices.size() != a_->low.size()) BadIndex();
  size_t offset = 0;
  size_t stride = 1;
  for (size_t k = 0; k < indices.size(); ++k) {
    if (indices[k] < a_->low[k] || indices[k] > a_->high[k]) BadIndex();
    offset += static_cast<size_t>(static_cast<int64_t>(indices[k]) - a_->low[k]) * stride;
    stride *= static_cast<size_t>(static_cast<int64_t>(a_->high[k]) - a_->low[k] + 1);
  }
  return a_->elems[offset];
}

void Variant::Put(std::span<const int> indices, const Variant& value) {
  const Variant& slot = Get(indices);
  Variant stored = a_->elem_type == varVariant ? value : VarAsType(value, a_->elem_type);
  const_cast<Variant&>(slot) = std::move(stored);
}

int VarArrayDimCount(const Variant& V) noexcept { return V.DimCount(); }
int VarArrayLowBound(const Variant& V, int Dim) { return V.LowBound(Dim); }
int VarArrayHighBound(const Variant& V, int Dim) { return V.HighBound(Dim); }

// --- Conversions ---------------------------------------------------------------

String VarTypeName(TVarType Type) {
  if (Type & varArray) return u"Array " + VarTypeName(Type & varTypeMask);
  switch (Type) {
    case varEmpty: return u"Empty";
    case varNull: return u"Null";
    case varSmallint: return u"Smallint";
    case varInteger: return u"Integer";
    case varSingle: return u"Single";
    case varDouble: return u"Double";
    case varCurrency: return u"Currency";
    case varDate: return u"Date";
    case varBoolean: return u"Boolean";
    case varVariant: return u"Variant";
    case varShortInt: return u"ShortInt";
    case varByte: return u"Byte";
    case varWord: return u"Word";
    case varLongWord: return u"LongWord";
    case varInt64: return u"Int64";
    case varUInt64: return u"UInt64";
    case varString: return u"String";
    case varUString: return u"UnicodeString";
    default: return u"Unknown " + IntToStr(static_cast<int32_t>(Type));
  }
}

int64_t VarToInt64(const Variant& V) {
  const TVarType t = V.VarType();
  if (IsIntegerType(t) || t == varBoolean) return V.i_;
  switch (t) {
    case varEmpty: return 0;
    case varUInt64:
      if (V.u_ > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) Overflow();
      return static_cast<int64_t>(V.u_);
    case varSingle: case varDouble: case varDate: return RoundToInt64(V.d_);
    case varCurrency: return CurrencyToInt64(V.i_);
    case varString: case varUString: {
      int64_t n;
      if (TryStrToInt64(V.s_, n)) return n;
      double d;
      if (TryStrToFloat(V.s_, d)) return RoundToInt64(d);
      CastError(t, varInt64);
    }
    default: CastError(t, varInt64);
  }
}

int32_t VarToInt32(const Variant& V) {
  const int64_t n = VarToInt64(V);
  if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max()) {
    Overflow();
  }
  return static_cast<int32_t>(n);
}

double VarToDouble(const Variant& V) {
  const TVarType t = V.VarType();
  if (IsIntegerType(t) || t == varBoolean) return static_cast<double>(V.i_);
  switch (t) {
    case varEmpty: return 0;
    case varUInt64: return static_cast<double>(V.u_);
    case varSingle: case varDouble: case varDate: return V.d_;
    case varCurrency: return static_cast<double>(V.i_) / 10000.0;
    case varString: case varUString: {
      double d;
      if (TryStrToFloat(V.s_, d)) return d;
      CastError(t, varDouble);
    }
    default: CastError(t, varDouble);
  }
}

bool VarToBool(const Variant& V) {
  const TVarType t = V.VarType();
  if (IsIntegerType(t) || t == varBoolean || t == varCurrency) return V.i_ != 0;
  switch (t) {
    case varEmpty: return false;
    case varUInt64: return V.u_ != 0;
    case varSingle: case varDouble: case varDate: return V.d_ != 0;
    case varString: case varUString: {
      if (SameText(V.s_, u"true")) return true;
      if (SameText(V.s_, u"false")) return false;
      double d;
      if (TryStrToFloat(V.s_, d)) return d != 0;
      CastError(t, varBoolean);
    }
    default: CastError(t, varBoolean);
  }
}

String VarToStr(const Variant& V) {
  const TVarType t = V.VarType();
  if (IsIntegerType(t)) return IntToStr(V.i_);
  switch (t) {
    case varEmpty: case varNull: return String();
    case varUInt64: return IntToStr(V.u_);
    case varSingle: return SingleToStr(static_cast<float>(V.d_));
    case varDouble: return FloatToStr(V.d_);
    case varCurrency: return CurrencyToStr(V.i_);
    case varDate: return FormatDateTime(u"c", V.d_);
    case varBoolean: return V.i_ ? u"True" : u"False";
    case varString: case varUString: return V.s_;
    default: CastError(t, varUString);
  }
}

namespace {

// Decimal text of 0 .. 2^64-1: optional blanks around, an optional '+'.
bool ParseUnsignedDecimal(StringView s, uint64_t& value) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
  if (!s.empty() && s.front() == u'+') s.remove_prefix(1);
  if (s.empty()) return false;
  uint64_t v = 0;
  for (const Char c : s) {
    if (c < u'0' || c > u'9') return false;
    if (__builtin_mul_overflow(v, uint64_t{10}, &v) ||
        __builtin_add_overflow(v, static_cast<uint64_t>(c - u'0'), &v)) {
      return false;
    }
  }
  value = v;
  return true;
}

uint64_t DoubleToUInt64(double x) {
  if (!std::isfinite(x)) Overflow();
  const double r = std::nearbyint(x);
  if (r < 0 || r >= 18446744073709551616.0) Overflow();
  return static_cast<uint64_t>(r);
}

// The value as 0 .. 2^64-1 by the rules of VarToInt64, so that values above
// the signed range convert too.  (A varUInt64 never gets here.)
uint64_t ToUInt64(const Variant& V) {
  const TVarType t = V.VarType();
  if (t == varSingle || t == varDouble || t == varDate) return DoubleToUInt64(V.AsDouble());
  if (t == varString || t == varUString) {
    const String text = V.AsString();
    uint64_t u;
    if (ParseUnsignedDecimal(text, u)) return u;
    int64_t n;
    if (TryStrToInt64(text, n)) {
      // Unsigned hexadecimal text fills all 64 bits.
      if (n < 0 && text.find(u'-') != String::npos) Overflow();
      return static_cast<uint64_t>(n);
    }
    double d;
    if (TryStrToFloat(text, d)) return DoubleToUInt64(d);
    CastError(t, varUInt64);
  }
  const int64_t n = VarToInt64(V);
  if (n < 0) Overflow();
  return static_cast<uint64_t>(n);
}

template <typename T>
Variant CheckedInt(int64_t n) {
  if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max()) Overflow();
  return Variant(static_cast<T>(n));
}

}  // namespace

Variant VarAsType(const Variant& V, TVarType Type) {
  if (Type == V.VarType() || Type == varVariant) return V;
  if (V.IsArray()) CastError(V.VarType(), Type);
  switch (Type) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varSmallint: return CheckedInt<int16_t>(VarToInt64(V));
    case varInteger: return CheckedInt<int32_t>(VarToInt64(V));
    case varShortInt: return CheckedInt<int8_t>(VarToInt64(V));
    case varByte: return CheckedInt<uint8_t>(VarToInt64(V));
    case varWord: return CheckedInt<uint16_t>(VarToInt64(V));
    case varLongWord: return CheckedInt<uint32_t>(VarToInt64(V));
    case varInt64: return Variant(VarToInt64(V));
    case varUInt64: return Variant(ToUInt64(V));
    case varSingle: {
      const double d = VarToDouble(V);
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) Overflow();
      return Variant(static_cast<float>(d));
    }
    case varDouble: return Variant(VarToDouble(V));
    case varDate: return VarFromDateTime(VarToDouble(V));
    case varCurrency: return VarFromCurrency(V.AsCurrency());
    case varBoolean: return Variant(VarToBool(V));
    case varString: return VarFromAnsiString(StringView(VarToStr(V)));
    case varUString: return Variant(VarToStr(V));
    default: throw EVariantError(u"Invalid variant type");
  }
}

// --- Members -------------------------------------------------------------------

int64_t Variant::AsInt64() const { return VarToInt64(*this); }
int32_t Variant::AsInt32() const { return VarToInt32(*this); }
double Variant::AsDouble() const { return VarToDouble(*this); }
bool Variant::AsBool() const { return VarToBool(*this); }
String Variant::AsString() const { return VarToStr(*this); }

int64_t Variant::AsCurrency() const {
  if (type_ == varCurrency) return i_;
  if (IsIntegerType(type_) || type_ == varBoolean) {
    int64_t scaled;
    if (__builtin_mul_overflow(i_, int64_t{10000}, &scaled)) Overflow();
    return scaled;
  }
  return RoundToInt64(VarToDouble(*this) * 10000.0);
}

}  // namespace zel
