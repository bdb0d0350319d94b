// zel/platform/stringlist.h — `TStringList`, an ordered list of strings.
//
//   zel::TStringList list;
//   list.SetOnChange([](zel::TObject*) { ... });   // after each change
//   list.Add(u"beta");
//   list.Add(u"Alpha");
//   list.Sort();                     // ordinal: "Alpha", "beta"
//   list.IndexOf(u"ALPHA") == 0;     // case-insensitive unless SetCaseSensitive(true)
//   list.Text() == u"Alpha\r\nbeta\r\n";
//
// Entries count from 0.  An index outside 0..Count()-1 (0..Count() for
// `Insert`) raises `EStringListError` ("List index out of bounds (N)").
//
// `Text()` writes every entry followed by CR LF, so that `SetText(Text())`
// gives the same list back, empty last entries included.  `SetText` splits
// at CR LF, LF and lone CR; a line end at the very end starts no further
// entry.  Files and streams hold UTF-8 (a leading byte-order mark is
// skipped; bytes that are not UTF-8 read as Windows-1252).
//
// `IndexOf` compares with the locale-aware case folding of casemap.h unless
// the list is case-sensitive; `Sort` always orders by UTF-16 code units.
// `OnChange` fires once after every modifying call; between `BeginUpdate`
// and the matching `EndUpdate` it is held back and fires once at the end if
// anything changed.
#ifndef ZEL_PLATFORM_STRINGLIST_H_
#define ZEL_PLATFORM_STRINGLIST_H_

#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class TStream;

class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

class TStringList : public TPersistent {
 public:
  TStringList() = default;

  // The number of entries, and entry `Index` (from 0; outside the range
  // `EStringListError`).  `SetStrings` calls OnChange.
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  const String& Strings(int Index) const;
  void SetStrings(int Index, const String& S);
  const String& operator[](int Index) const { return Strings(Index); }

  // Appends `S`; returns its index.
  int Add(const String& S);
  void AddStrings(const TStringList& Source);
  void Insert(int Index, const String& S);
  void Delete(int Index);
  void Exchange(int Index1, int Index2);
  void Clear();
  // The index of the first entry equal to `S`, or -1.
  int IndexOf(StringView S) const;
  void Sort();

  String Text() const;
  void SetText(StringView Text);
  // Replaces the list by the lines of a file (EFOpenError when it cannot be
  // opened) / writes `Text()` as UTF-8, without a byte-order mark, through
  // the safe save of zel/platform/filereplace.h.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName) const;
  // The rest of `Stream` from its position / the text at its position.
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream) const;

  // Whether `IndexOf` compares exactly (false at first: without regard to
  // case).
  bool CaseSensitive() const noexcept { return case_sensitive_; }
  void SetCaseSensitive(bool On) noexcept { case_sensitive_ = On; }

  void BeginUpdate() noexcept { ++update_count_; }
  void EndUpdate();

  const TNotifyEvent& OnChange() const noexcept { return on_change_; }
  void SetOnChange(TNotifyEvent Handler) { on_change_ = std::move(Handler); }

  // Copies the entries of another TStringList; other sources raise
  // EConvertError.
  void Assign(const TPersistent* Source) override;

  // The entries in order, for range-based for; a change of the list
  // invalidates the iterators.
  std::vector<String>::const_iterator begin() const noexcept { return items_.begin(); }
  std::vector<String>::const_iterator end() const noexcept { return items_.end(); }

 protected:
  // Calls OnChange, or notes the change while updates are held back.
  virtual void Changed();

 private:
  void CheckIndex(int Index, int Limit) const;

  std::vector<String> items_;
  bool case_sensitive_ = false;
  int update_count_ = 0;
  bool changed_while_updating_ = false;
  TNotifyEvent on_change_;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_STRINGLIST_H_
