// zel/dstruct/stringaccu.h — `TStringAccu`, a counted set of strings in
// order of first appearance.
//
//   zel::TStringAccu accu(nullptr);
//   for (auto s : {u"b", u"a", u"b", u"B"}) accu.Add(s);
//   accu.Size();        // 3
//   accu.Elem(1);       // u"b"     accu.Count(1) == 2
//   accu.Elem(3);       // u"B"     (case-sensitive)
//   accu.CountOf(u"b"); // 2        (0 for a string never added)
//   for (const auto& [str, n] : accu.ByCount())   // b 2, a 1, B 1
//     Print(str, n);
//
// Strings are compared exactly.  `Add` finds an existing string through a
// hash index, so adding n strings takes time proportional to n; the result
// is the same as a scan from the first string.  A count stops at the
// largest int32 instead of overflowing.  Indexes count from 1;
// outside 1..Size `Elem` is empty and `Count` is 0.
//
// `CountOf` finds a string through the same index as `Add`.  `ByCount`
// lists the entries by falling count; entries with the same count keep
// their order of first appearance, so the listing is the same on every
// run.  `ByCount(10)` gives the ten most frequent only and takes time
// proportional to Size * log 10 rather than sorting everything.
#ifndef ZEL_DSTRUCT_STRINGACCU_H_
#define ZEL_DSTRUCT_STRINGACCU_H_

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "zel/dstruct/internal/keyindex.h"
#include "zel/platform/component.h"
#include "zel/platform/string.h"

namespace zel {

class TStringAccu : public TComponent {
 public:
  // Empty.  Out of memory: EZELDStructError ": not enough memory on heap".
  explicit TStringAccu(TComponent* AOwner);

  // Counts AString once more, appending it with count 1 when it is new.
  void Add(StringView AString);
  int32_t Size() const noexcept { return static_cast<int32_t>(strings_.size()); }
  String GetString(int32_t ix) const;
  int32_t GetCount(int32_t ix) const noexcept;
  String Elem(int32_t ix) const { return GetString(ix); }
  int32_t Count(int32_t ix) const noexcept { return GetCount(ix); }
  void Clear() noexcept;

  // The count of AString; 0 when it was never added.
  int32_t CountOf(StringView AString) const;
  // (string, count) pairs, most frequent first, at most Limit of them.
  std::vector<std::pair<String, int32_t>> ByCount(size_t Limit = SIZE_MAX) const;

 private:
  std::vector<String> strings_;
  std::vector<int32_t> counts_;
  std::vector<uint64_t> hashes_;
  detail::KeyIndex index_;

  int32_t FindIndex(StringView AString) const;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_STRINGACCU_H_
