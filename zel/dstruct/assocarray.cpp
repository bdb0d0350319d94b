#include "zel/dstruct/assocarray.h"

#include <memory>

#include "zel/dstruct/internal/keyindex.h"
#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {

TAssocArray::TAssocArray(TComponent* AOwner)
    : TComponent(AOwner), index_(std::make_unique<detail::KeyIndex>()) {}

TAssocArray::~TAssocArray() = default;

int32_t TAssocArray::Find(StringView Key) const {
  const uint64_t h = detail::HashKey(Key, ignore_case_);
  return index_->Find(h, !maybe_duplicates_, [&](int32_t e) {
    return detail::SameKey(keys_[static_cast<size_t>(e)], Key, ignore_case_);
  });
}

void TAssocArray::Add(StringView Key, const Variant& Value) {
  const int32_t found = Find(Key);
  if (found != detail::KeyIndex::kNone) {
    values_[static_cast<size_t>(found)] = Value;
    return;
  }
  String key = ignore_case_ ? LowerCase(Key) : String(Key);
  const size_t n = keys_.size();
  try {
    keys_.push_back(std::move(key));
    values_.push_back(Value);
    hashes_.push_back(detail::HashKey(keys_.back(), ignore_case_));
    index_->Insert(static_cast<int32_t>(n), hashes_);
  } catch (const std::bad_alloc&) {
    keys_.resize(n);
    values_.resize(n);
    hashes_.resize(n);
    throw EZELDStructError(ComponentMessage(*this, kNotEnoughMemoryOnHeap));
  }
  // The capacity the entries occupy: full arrays grow to NumEntries +
  // Granularity slots.  (The vectors themselves grow geometrically, so
  // filling them stays linear whatever the granularity.)
  const int32_t count = NumEntries();
  if (capacity_ < count) capacity_ = count + (granularity_ > 0 ? granularity_ : 0);
}

bool TAssocArray::Remove(StringView Key) {
  const int32_t found = Find(Key);
  if (found == detail::KeyIndex::kNone) return false;
  const int32_t last = NumEntries() - 1;
  index_->Erase(found, hashes_);
  if (found != last) {
    index_->Erase(last, hashes_);
    keys_[static_cast<size_t>(found)] = std::move(keys_[static_cast<size_t>(last)]);
    values_[static_cast<size_t>(found)] = std::move(values_[static_cast<size_t>(last)]);
    hashes_[static_cast<size_t>(found)] = hashes_[static_cast<size_t>(last)];
    index_->Insert(found, hashes_);
  }
  keys_.pop_back();
  values_.pop_back();
  hashes_.pop_back();
  return true;
}

Variant TAssocArray::Resolve(StringView Key) const {
  const int32_t found = Find(Key);
  if (found == detail::KeyIndex::kNone) return Null();
  return values_[static_cast<size_t>(found)];
}

String TAssocArray::ResolveAsString(StringView Key) const {
  const int32_t found = Find(Key);
  if (found == detail::KeyIndex::kNone) return String();
  const Variant& v = values_[static_cast<size_t>(found)];
  return v.IsNull() ? String() : VarToStr(v);
}

double TAssocArray::ResolveAsNumber(StringView Key) const {
  const int32_t found = Find(Key);
  if (found == detail::KeyIndex::kNone) return 0;
  const Variant& v = values_[static_cast<size_t>(found)];
  switch (v.VarType()) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
      return VarToDouble(v);
    case varString: case varUString: {
      int pos = 1;
      return ScanFloat(VarToStr(v), true, 3, pos);
    }
    default:
      return 0;
  }
}

int32_t TAssocArray::ResolveAsInt(StringView Key) const {
  const int32_t found = Find(Key);
  if (found == detail::KeyIndex::kNone) return 0;
  const Variant& v = values_[static_cast<size_t>(found)];
  switch (v.VarType()) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
    case varSingle: case varDouble:  // rounded to nearest, halves to even
      return VarToInt32(v);
    case varString: case varUString: {
      int pos = 1;
      return ScanDecInteger(VarToStr(v), pos);
    }
    default:
      return 0;
  }
}

int64_t TAssocArray::Increment(StringView Key, int64_t By) {
  const int32_t found = Find(Key);
  if (found == detail::KeyIndex::kNone) {
    Add(Key, Variant(By));  // a new key: the one further lookup Add makes
    return By;
  }
  Variant& v = values_[static_cast<size_t>(found)];
  int64_t old = 0;
  switch (v.VarType()) {
    case varEmpty: case varNull:
      break;
    case varInt64:  // the usual case: a count this function stored
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord:
      old = v.AsInt64();
      break;
    default:
      throw EZELDStructError(ComponentMessage(
          *this, u": cannot count in the value of \"" + String(Key) + u"\": not an integer"));
  }
  int64_t sum;
  if (__builtin_add_overflow(old, By, &sum)) {
    throw EZELDStructError(
        ComponentMessage(*this, u": the count of \"" + String(Key) + u"\" would overflow"));
  }
  v.SetInt64(sum);  // in place: no temporary Variant per count
  return sum;
}

void TAssocArray::Clear() {
  keys_ = {};
  values_ = {};
  hashes_ = {};
  index_->Clear();
  maybe_duplicates_ = false;
  capacity_ = granularity_ > 0 ? granularity_ : 0;  // never a negative capacity
}

String TAssocArray::GetKeys(int32_t ix) const {
  if (ix < 1 || ix > NumEntries()) return String();
  return keys_[static_cast<size_t>(ix - 1)];
}

void TAssocArray::SetKeys(int32_t ix, StringView v) {
  if (ix < 1 || ix > NumEntries()) return;
  const int32_t e = ix - 1;
  index_->Erase(e, hashes_);
  keys_[static_cast<size_t>(e)] = String(v);
  maybe_duplicates_ = true;  // no duplicate check here
  hashes_[static_cast<size_t>(e)] = detail::HashKey(v, ignore_case_);
  index_->Insert(e, hashes_);
}

Variant TAssocArray::GetValues(int32_t ix) const {
  if (ix < 1 || ix > NumEntries()) return Variant(String());
  return values_[static_cast<size_t>(ix - 1)];
}

void TAssocArray::SetValues(int32_t ix, const Variant& v) {
  if (ix < 1 || ix > NumEntries()) return;
  values_[static_cast<size_t>(ix - 1)] = v;
}

void TAssocArray::SetIgnoreCase(bool v) {
  if (v == ignore_case_) return;
  ignore_case_ = v;
  if (v) maybe_duplicates_ = true;  // keys that differed in case now match
  // The index holds hashes of the keys as compared: fold them or not.
  for (size_t e = 0; e < keys_.size(); ++e) hashes_[e] = detail::HashKey(keys_[e], v);
  index_->Rebuild(hashes_);
}

void TAssocArray::Assign(const TPersistent* Source) {
  if (const auto* src = dynamic_cast<const TAssocArray*>(Source)) {
    if (src == this) return;
    keys_ = src->keys_;
    values_ = src->values_;
    hashes_ = src->hashes_;
    granularity_ = src->granularity_;
    ignore_case_ = src->ignore_case_;
    data_id_ = src->data_id_;
    maybe_duplicates_ = src->maybe_duplicates_;
    capacity_ = NumEntries();
    index_->Rebuild(hashes_);
    return;
  }
  TComponent::Assign(Source);
}

}  // namespace zel
