// zel/platform/variant.h — `Variant`, a value that carries its own type.
//
//   zel::Variant a = int32_t{42};              // VarType() == varInteger
//   zel::Variant b = zel::String(u"2.5");      // varUString
//   zel::VarToDouble(b) == 2.5;
//   zel::VarToStr(zel::Variant(true)) == u"True";
//   zel::Variant n = zel::Null();              // VarIsNull(n)
//
//   // A two-dimensional array [1..3, 0..1] of variants.
//   const int bounds[] = {1, 3, 0, 1};
//   zel::Variant m = zel::VarArrayCreate(bounds, zel::varVariant);
//   zel::VarArrayPut(m, zel::Variant(7.5), {2, 1});
//   zel::VarArrayGet(m, {2, 1}).AsDouble() == 7.5;
//
// Type codes (`VarType()`): the low 12 bits (`varTypeMask`) name the value
// type, `varArray` marks an array whose elements have that type.  Each C++
// type has its code: int16_t varSmallint, int32_t varInteger, float
// varSingle, double varDouble, bool varBoolean, int8_t varShortInt, uint8_t
// varByte, uint16_t varWord, uint32_t varLongWord, int64_t varInt64,
// uint64_t varUInt64, String varUString.  Currency (a 64-bit count of
// 1/10000), dates (`TDateTime`) and 8-bit strings (varString: characters
// that have a Windows-1252 byte) come from the `VarFrom...` factories.
//
// Arrays have one or more dimensions with inclusive bounds (low..high; high
// may be low - 1 for an empty dimension).  Their elements are Variants; an
// array of `varVariant` holds any values, arrays included (nested arrays, as
// in `v[i][j]`), while in an array of a fixed type every stored value is
// converted to that type.  New elements are Empty, or 0, false or the empty
// string of the fixed type.  An index outside the bounds raises
// `EVariantError`.
//
// Conversions raise `EVariantError` when impossible: Null to a number or
// Boolean, text that is no number, arrays to a single value, and values that
// do not fit the target ("Variant overflow").  The rules:
//   * Empty converts to 0, false and the empty string; Null to the empty
//     string only.
//   * To an integer: floating values, dates and currency round to nearest
//     (halves to even); true is 1; text is read as an integer (StrToInt64
//     rules), else as a float ('.' decimal point) and rounded.
//   * To double: text is read by StrToFloat rules; true is 1.
//   * To Boolean: any non-zero number is true; text is "True"/"False" in
//     any letter case, or a number.
//   * To text (`VarToStr`): integers in decimal, floats by FloatToStr (the
//     shortest text that reads back; singles at single precision), currency
//     with up to four decimals ("12.5"), Boolean "True"/"False", dates by
//     FormatDateTime("c") ("2024-03-05" or "2024-03-05 13:07:09").
//
// Variants are values: copying copies arrays too.  `==` is true for equal
// type codes with equal values (arrays: equal bounds and elements), so
// Variant(int32_t{1}) != Variant(1.0).
#ifndef ZEL_PLATFORM_VARIANT_H_
#define ZEL_PLATFORM_VARIANT_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"

namespace ZEL_EXPORT zel {

using TVarType = uint16_t;  // a variant type code (the var... constants below)

// The type codes `VarType` gives; an array's code is its element type with
// `varArray` set (`varTypeMask` keeps the element type).
inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;  // element type "any value"
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varUInt64 = 0x0015;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varUString = 0x0102;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;

class EVariantError : public Exception {
 public:
  using Exception::Exception;
};

class Variant {
 public:
  Variant() noexcept {}
  Variant(int8_t v) noexcept : type_(varShortInt), i_(v) {}
  Variant(uint8_t v) noexcept : type_(varByte), i_(v) {}
  Variant(int16_t v) noexcept : type_(varSmallint), i_(v) {}
  Variant(uint16_t v) noexcept : type_(varWord), i_(v) {}
  Variant(int32_t v) noexcept : type_(varInteger), i_(v) {}
  Variant(uint32_t v) noexcept : type_(varLongWord), i_(v) {}
  Variant(int64_t v) noexcept : type_(varInt64), i_(v) {}
  Variant(uint64_t v) noexcept : type_(varUInt64), u_(v) {}
  Variant(float v) noexcept : type_(varSingle), d_(v) {}
  Variant(double v) noexcept : type_(varDouble), d_(v) {}
  Variant(bool v) noexcept : type_(varBoolean), i_(v ? 1 : 0) {}
  Variant(String v) noexcept;
  Variant(StringView v);
  Variant(const Char* v);

  // Copying and moving.
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  // The type code, and whether the variant is empty, Null or an array.
  TVarType VarType() const noexcept { return type_; }
  // `*this = Variant(v)`, done in place when no string or array is held
  // (a count updated in a loop then costs no temporary).
  void SetInt64(int64_t v) noexcept {
    if (a_ == nullptr && s_.empty()) {
      type_ = varInt64;
      i_ = v;
      u_ = 0;
      d_ = 0;
    } else {
      *this = Variant(v);
    }
  }
  bool IsEmpty() const noexcept { return type_ == varEmpty; }
  bool IsNull() const noexcept { return type_ == varNull; }
  bool IsArray() const noexcept { return (type_ & varArray) != 0; }

  // The value converted to a simple type, as `VarToInt64`, `VarToInt32`,
  // `VarToDouble`, `VarToBool` and `VarToStr` do.
  int64_t AsInt64() const;
  int32_t AsInt32() const;
  double AsDouble() const;
  bool AsBool() const;
  String AsString() const;
  // Currency as its scaled 64-bit count (value x 10000), converting as needed.
  int64_t AsCurrency() const;

  // Arrays: dimensions count from 1.
  int DimCount() const noexcept;
  int LowBound(int dim) const;
  int HighBound(int dim) const;
  // The element at `indices` (one per dimension).
  const Variant& Get(std::span<const int> indices) const;
  const Variant& Get(std::initializer_list<int> indices) const {
    return Get(std::span<const int>(indices.begin(), indices.size()));
  }
  // Stores `value` there, converted to the element type of a typed array.
  void Put(std::span<const int> indices, const Variant& value);
  void Put(std::initializer_list<int> indices, const Variant& value) {
    Put(std::span<const int>(indices.begin(), indices.size()), value);
  }
  // Element `i` of a one-dimensional array (so nested arrays read v[i][j]).
  const Variant& operator[](int i) const { return Get({i}); }

  friend bool operator==(const Variant& a, const Variant& b);

 private:
  struct Array;
  // Out of line, so that the header needs no definition of Array.
  struct ArrayDeleter {
    void operator()(Array* a) const noexcept;
  };
  friend Variant VarFromCurrency(int64_t);
  friend Variant VarFromDateTime(TDateTime);
  friend Variant VarFromAnsiString(std::string_view);
  friend Variant Null();
  friend Variant VarArrayCreate(std::span<const int>, TVarType);
  friend int64_t VarToInt64(const Variant&);
  friend double VarToDouble(const Variant&);
  friend bool VarToBool(const Variant&);
  friend String VarToStr(const Variant&);

  TVarType type_ = varEmpty;
  int64_t i_ = 0;   // signed integers, Boolean, currency
  uint64_t u_ = 0;  // varUInt64
  double d_ = 0;    // single, double, date
  String s_;        // both string types
  std::unique_ptr<Array, ArrayDeleter> a_;
};

// A Null variant, an empty one, and variants of a currency value and a date.
Variant Null();
Variant Unassigned();  // an empty variant
Variant VarFromCurrency(int64_t Scaled);  // Scaled = value x 10000
Variant VarFromDateTime(TDateTime Value);
// An 8-bit string from Windows-1252 bytes, or from text (characters without
// a Windows-1252 byte become '?').
Variant VarFromAnsiString(std::string_view Bytes);
Variant VarFromAnsiString(StringView Text);

// The member tests as functions.
inline TVarType VarType(const Variant& V) noexcept { return V.VarType(); }
inline bool VarIsNull(const Variant& V) noexcept { return V.IsNull(); }
inline bool VarIsEmpty(const Variant& V) noexcept { return V.IsEmpty(); }
inline bool VarIsArray(const Variant& V) noexcept { return V.IsArray(); }

// `Bounds` holds low, high for each dimension in turn; `ElemType` is a value
// type or varVariant.  Bad bounds or types raise `EVariantError`.
Variant VarArrayCreate(std::span<const int> Bounds, TVarType ElemType);
inline Variant VarArrayCreate(std::initializer_list<int> Bounds, TVarType ElemType) {
  return VarArrayCreate(std::span<const int>(Bounds.begin(), Bounds.size()), ElemType);
}
// A one-dimensional array of variants [0..n-1] holding `Values`.
Variant VarArrayOf(std::initializer_list<Variant> Values);
int VarArrayDimCount(const Variant& V) noexcept;  // 0 for a non-array
int VarArrayLowBound(const Variant& V, int Dim);
int VarArrayHighBound(const Variant& V, int Dim);
inline Variant VarArrayGet(const Variant& V, std::initializer_list<int> Indices) {
  return V.Get(Indices);
}
inline void VarArrayPut(Variant& V, const Variant& Value, std::initializer_list<int> Indices) {
  V.Put(Indices, Value);
}

// The value converted to a simple type (the rules at the top of this file).
int64_t VarToInt64(const Variant& V);
int32_t VarToInt32(const Variant& V);
double VarToDouble(const Variant& V);
bool VarToBool(const Variant& V);
String VarToStr(const Variant& V);
// The value converted to another simple type (or kept as is for varVariant).
Variant VarAsType(const Variant& V, TVarType Type);
// The type's name as used in messages ("Integer", "UnicodeString", ...).
String VarTypeName(TVarType Type);

}  // namespace zel

#endif  // ZEL_PLATFORM_VARIANT_H_
