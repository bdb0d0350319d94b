// zel/dstruct/assocarray.h — `TAssocArray`, a table that maps string keys to
// Variant values, in insertion order.
//
//   zel::TAssocArray a(nullptr);             // IgnoreCase true
//   a.Add(u"Width", int32_t{640});
//   a.Add(u"WIDTH", int32_t{800});           // same key: value replaced
//   a.Resolve(u"width");                     // Variant 800
//   a.Keys(1);                               // u"width" (folded on Add)
//   a.Add(u"Unit", zel::String(u" 3,5 kg"));
//   a.ResolveAsNumber(u"unit");              // 3.5
//   a.ResolveAsInt(u"unit");                 // 3
//   a.Remove(u"width");                      // the last entry moves here
//   for (auto w : {u"to", u"be", u"or", u"not", u"to", u"be"})
//     a.Increment(w);                        // counting: one lookup each
//   a.ResolveAsInt(u"to");                   // 2
//
// Keys: while `IgnoreCase` is true both the searched key and each stored key
// are lower-cased (A-Z only) before comparing, and `Add` stores the key
// lower-cased; otherwise keys compare exactly.  Changing `IgnoreCase` later
// does not re-fold stored keys.  `SetKeys` replaces a key as given, without
// folding or a duplicate check; where two entries then match, the one with
// the lower index wins.  A hash index over the (folded) keys makes `Add`,
// `Resolve` and `Remove` constant time on average, with the same results as
// a scan from entry 1.
//
// Capacity: the arrays start with 1024 slots and, when full, grow to
// NumEntries + Granularity (a Granularity of 0 or below grows by one).
// `Clear` resets the capacity to Granularity (0 for a Granularity below 1),
// `Assign` to the exact count; `Remove` never shrinks it.  No operation sends change notifications.
//
// Typed lookups, by the value's variant type code:
//   ResolveAsString  VarToStr; empty for Null or an absent key.
//   ResolveAsNumber  integers, single, double, currency: the value; strings:
//                    the number at their start (blanks, sign, '.' or ','
//                    as decimal point, exponent), else 0; other types 0.
//   ResolveAsInt     integers (except unsigned 64-bit): the value; single
//                    and double rounded (halves to even); strings: the
//                    integer at their start, else 0; other types (also
//                    currency) 0.
// Values outside the 32-bit range raise the variant conversion error.
//
// Counting: `Increment(Key, By)` adds By to the value of Key and returns the
// sum, with one lookup for a key already present; a new key is added as
// `Add` adds it, with the value By.  The sum is stored as an int64_t (varInt64), whatever
// integer type the value had; Null and Empty count as 0.  A value of any
// other type (strings, floats, currency, dates, Booleans, unsigned 64-bit,
// arrays), or a sum outside the int64_t range, raises EZELDStructError and
// leaves the entry as it was: a count is never silently restarted or
// wrapped.
//
// Persistence (assocarray_xml.cpp) writes and reads one section of the
// library's XML-like tagged text; every key and every value of the types
// null, empty, the integer types, single, double (bit for bit), currency,
// date, Boolean and both string types (any characters) survives:
//
//   <?xml version="1.0" encoding="ISO-8859-1"?>          (CreateHeader)
//   <assocarray dataid="Settings">
//   <numentries>2</numentries>
//   <assoc key="width" type="3">800</assoc>
//   <assoc key="name" type="258">caf&#233; &lt;1&gt;</assoc>
//   </assocarray>
//
// `type` is the variant type code.  In keys and values the characters & < >
// " and every character outside printable ASCII are written as character
// references (&amp; &lt; &gt; &quot; &#N;), which `ResolveXMLReferences`
// (zel/streams/xmlrefs.h) resolves on reading.  Floats are written as the
// shortest text that reads back to the same value ("NAN:" and the 16 hex
// digits of the bits for NaN), currency with four decimals, dates as their
// day count, Booleans as "True"/"False".  Arrays and other types cannot be
// written: `WriteToXMLStream` then raises EZELDStructError before writing
// anything.
#ifndef ZEL_DSTRUCT_ASSOCARRAY_H_
#define ZEL_DSTRUCT_ASSOCARRAY_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"
#include "zel/platform/variant.h"

namespace zel::detail {
class KeyIndex;
}  // namespace zel::detail

namespace ZEL_EXPORT zel {

class TAssocArray : public TComponent {
 public:
  explicit TAssocArray(TComponent* AOwner);
  ~TAssocArray() override;

  // Inserts Key with a copy of Value, or replaces the value of the entry
  // that matches Key (its stored key stays).
  void Add(StringView Key, const Variant& Value);
  // Removes the entry; the last entry moves into its place.  False when
  // Key is absent.
  bool Remove(StringView Key);
  // The value of the first matching entry, Null if none.
  Variant Resolve(StringView Key) const;
  String ResolveAsString(StringView Key) const;
  double ResolveAsNumber(StringView Key) const;
  int32_t ResolveAsInt(StringView Key) const;
  void Clear();
  // Adds By to Key's integer value (see "Counting" above); returns the sum.
  int64_t Increment(StringView Key, int64_t By = 1);

  int32_t NumEntries() const noexcept { return static_cast<int32_t>(keys_.size()); }
  // The number of entry slots allocated (see the top of this file).
  int32_t Capacity() const noexcept { return capacity_; }
  // Key and value of entry ix (1..NumEntries): empty string / a Variant
  // holding the empty string outside.
  String GetKeys(int32_t ix) const;
  void SetKeys(int32_t ix, StringView v);
  Variant GetValues(int32_t ix) const;
  void SetValues(int32_t ix, const Variant& v);
  String Keys(int32_t ix) const { return GetKeys(ix); }
  Variant Values(int32_t ix) const { return GetValues(ix); }

  // The name of the section the XML persistence writes and reads by
  // default (its dataid attribute); empty at first.
  const String& DataID() const noexcept { return data_id_; }
  void SetDataID(StringView v) { data_id_ = String(v); }
  // Whether keys compare with A-Z folded to lower case (true at first); see
  // "Keys" above: switching does not re-fold the stored keys.
  bool IgnoreCase() const noexcept { return ignore_case_; }
  void SetIgnoreCase(bool v);
  // The slots added when the arrays are full, and the capacity `Clear`
  // leaves (1024 at first; 0 or below: full arrays grow by one slot).
  int32_t Granularity() const noexcept { return granularity_; }
  void SetGranularity(int32_t v) noexcept { granularity_ = v; }

  // NumEntries, Granularity, IgnoreCase, DataID and all entries.
  void Assign(const TPersistent* Source) override;

  // Reads the next section whose dataid equals `DataID` (ASCII case
  // ignored; the DataID property when the argument is empty) from the
  // current position, stepping over anything else; the stream then stands
  // behind that section.  The entries found are added with `Add` to those
  // present.  False, with nothing added, when no such section follows or it
  // is malformed (a value its type cannot have, an unknown type, or a count
  // in "numentries" that does not match the entries).
  [[nodiscard]] bool ReadFromXMLStream(TStream& InStream, StringView DataID);
  // Writes all entries as one section at the stream's position, after the
  // XML declaration when CreateHeader.  `DataID` empty: the DataID property.
  void WriteToXMLStream(TStream& OutStream, bool CreateHeader, StringView DataID) const;
  // Adds each name=value pair of an attribute text (the pairs of
  // streams/tagscan.h) as a string entry; returns how many pairs were added.
  // Reading stops at the first malformed pair; pairs without a name are
  // skipped.
  int AddXMLAttributes(StringView Attributes);

 private:
  int32_t Find(StringView Key) const;

  std::vector<Variant> values_;
  std::vector<String> keys_;
  std::vector<uint64_t> hashes_;  // of the keys as compared (folded or not)
  // Behind a pointer so that the index stays internal to the library.
  std::unique_ptr<detail::KeyIndex> index_;
  // False while keys are known to be unique under the comparison rule, so
  // that a lookup may stop at the first match; SetKeys and switching
  // IgnoreCase on end that.
  bool maybe_duplicates_ = false;
  int32_t capacity_ = 1024;
  int32_t granularity_ = 1024;
  bool ignore_case_ = true;
  String data_id_;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_ASSOCARRAY_H_
