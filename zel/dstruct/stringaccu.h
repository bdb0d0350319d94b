// zel/dstruct/stringaccu.h — `TStringAccu`, a counted set of strings in
// order of first appearance.
//
//   zel::TStringAccu accu(nullptr);
//   for (auto s : {u"b", u"a", u"b", u"B"}) accu.Add(s);
//   accu.Size();        // 3
//   accu.Elem(1);       // u"b"     accu.Count(1) == 2
//   accu.Elem(3);       // u"B"     (case-sensitive)
//
// Strings are compared exactly.  `Add` finds an existing string through a
// hash index, so adding n strings takes time proportional to n; the result
// is the same as a scan from the first string.  A count stops at the
// largest int32 instead of overflowing.  Indexes count from 1;
// outside 1..Size `Elem` is empty and `Count` is 0.
#ifndef ZEL_DSTRUCT_STRINGACCU_H_
#define ZEL_DSTRUCT_STRINGACCU_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace zel::detail {
class KeyIndex;
}  // namespace zel::detail

namespace ZEL_EXPORT zel {

class TStringAccu : public TComponent {
 public:
  // Empty.  Out of memory: EZELDStructError ": not enough memory on heap".
  explicit TStringAccu(TComponent* AOwner);
  ~TStringAccu() override;

  // Counts AString once more, appending it with count 1 when it is new.
  void Add(StringView AString);
  int32_t Size() const noexcept { return static_cast<int32_t>(strings_.size()); }
  String GetString(int32_t ix) const;
  int32_t GetCount(int32_t ix) const noexcept;
  String Elem(int32_t ix) const { return GetString(ix); }
  int32_t Count(int32_t ix) const noexcept { return GetCount(ix); }
  void Clear() noexcept;

 private:
  std::vector<String> strings_;
  std::vector<int32_t> counts_;
  std::vector<uint64_t> hashes_;
  // Behind a pointer so that the index stays internal to the library.
  std::unique_ptr<detail::KeyIndex> index_;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_STRINGACCU_H_
