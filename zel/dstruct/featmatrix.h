// zel/dstruct/featmatrix.h — `TFeatureMatrix`, a table of objects (rows)
// described by typed features (columns), with its own text file format.
//
//   zel::TFeatureMatrix m(nullptr);
//   m.Resize(2, 3);                              // 2 features x 3 objects
//   m.GetFeatProps(1)->SetFeatName(u"count");
//   m.SetFeatType(1, 1, zel::fkInteger);
//   m.SetFeatType(2, 2, zel::fkString);
//   m.SetFeatValint(1, 2, 42);                   // stored as "42"
//   m.SetFeatValStr(1, 3, u"1.5");               // raises: not an integer
//   m.Fill(2, u"n/a");                           // every object of feature 2
//   m.Save(u"table.fmx");
//   zel::TFeatureMatrix back(nullptr);
//   back.Load(u"table.fmx");                     // 0
//
// Features and objects count from 1; the indexed accessors take the feature
// first.  All values are strings; a feature's kind decides which typed
// accessors may read and write it and which strings `SetFeatValStr` and
// `Fill` accept:
//   fkInteger   not empty; an optional sign (not alone) and digits only.
//   fkDouble    text that begins with a decimal number ("12abc" passes), '.'
//               as decimal point, an exponent of at most 4200.
//   fkTriState  "true", "false" or empty, in any letter case.
//   fkString    anything.        fkUndefined   nothing.
// Out-of-range indexes are no error: getters give a neutral value, setters
// do nothing.  Typed access of the wrong kind raises EZELDStructError in the
// component form (`Component "Name": feature value "1.5" is not a valid
// integer number`); the platform's conversions can still raise
// EConvertError for strings that pass the tests (such as "12abc" read as a
// double).  Modifying operations call OnChange.
//
// Properties objects: each feature owns one `TFeatMatProps` (number, name,
// kind, comment, presets, sorted flag, a caller's pointer).
// `GetFeatProps(fix)` returns a handle that works like a pointer: in range
// it points at the feature's own object; out of range at a fresh object
// with the defaults, which the handle owns and frees.  `SetFeatProps` takes
// ownership of the object it is given and frees the one it replaces (unless
// it is the same object); out of range it frees the object given.
//
// File format (text lines; `Save`, `Load`):
//   #featdef N 1                      definitions, format version 1
//   1 fplFeatNum 17                   six lines per feature i = 1..N:
//   1 fplFeatName count               fplFeatNum, fplFeatName, fplFeatKind
//   1 fplFeatKind fkInteger           (fkUndefined, fkInteger, fkDouble,
//   1 fplComment                      fkString, fkTriState), fplComment,
//   1 fplPresets                      fplPresets, fplSorted (TRUE/FALSE)
//   1 fplSorted FALSE
//   #featvals NFeatures NObjects
//   1 2 42                            feature, object, value; empty values
//   #featend                          are not written
// Values lose leading and trailing blanks through a save and load, and an
// empty name reads back as "undefined".  A line break in a value, name,
// comment or preset text would break this format: saving such a matrix
// raises EZELDStructError (": feature n, object o: a value with a line
// break cannot be saved", or ": feature n: a name with a line break ...")
// before anything is written.
//
// Loading never raises for file content.  `LoadFromOpenFile` returns 0 when
// a definition or values section was read, -1 when there was none, -2 for a
// read or format error (a malformed number, a negative count, a definition
// section that ends before its 6 x N lines); `Load` maps these to 0, -2 and
// -3, and gives -1 for a missing file.  A values header whose feature count
// differs from the definitions keeps the matrix consistent: features
// without a definition get default properties, definitions beyond the count
// are dropped.  A values header that asks for more than
// `kMaxFileCells` cells (features x objects), or for more than
// `kMaxFileFeatures` features, is a format error, refused before anything
// is allocated: a 30-byte file cannot demand gigabytes.  (A feature's
// properties cost about as much memory as eight cells, and the header alone
// creates them, with or without objects.)
//
// Name templates (`GenerateFeatNames`): tags <%D%> (the number N), <%I%>
// (the feature index), both with an optional width: <%D5%> right-aligned in
// 5 characters (a longer text keeps its last 5), <%D-3%> exactly 3 digits,
// zero-padded (a '-' before them for negative numbers); <%H4%> N as 4
// upper-case hex digits (1..8); <%Tpattern%> the current date and time by a
// FormatDateTime pattern.  Any other letter fails (-2).  Widths are capped
// at 10000.  Tags are expanded left to right; the text a tag expands to is
// not searched for further tags.
#ifndef ZEL_DSTRUCT_FEATMATRIX_H_
#define ZEL_DSTRUCT_FEATMATRIX_H_

#include <array>
#include <concepts>
#include <cstdint>
#include <memory>
#include <vector>

#include "zel/platform/changenotify.h"
#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/textfile.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// The kind of a feature's values: which strings it accepts and which typed
// accessors may read and write it (see the top of this file).
enum TFeatKind : uint8_t { fkUndefined, fkInteger, fkDouble, fkString, fkTriState };

// Display names of the kinds (the file uses the enumeration names).
inline const std::array<String, 5> FEATKINDIDS = {u"undefined", u"integer", u"double", u"string",
                                                  u"tristate"};

class TFeatMatProps : public TComponent {
 public:
  // The owner is ignored: a properties object belongs to its matrix.
  explicit TFeatMatProps(TComponent* AOwner = nullptr);

  // The feature's number, the caller's identifier of it (0 at first; set by
  // RenumberFeatures, searched by FindFeatNum).
  int32_t FeatNum() const noexcept { return feat_num_; }
  void SetFeatNum(int32_t v) noexcept { feat_num_ = v; }
  // The feature's name ("undefined" at first; searched by FindFeatName).
  const String& FeatName() const noexcept { return feat_name_; }
  void SetFeatName(StringView v) { feat_name_ = String(v); }
  // The kind of the feature's values (fkUndefined at first).  Setting it
  // does not check or convert the values already stored.
  TFeatKind FeatKind() const noexcept { return feat_kind_; }
  void SetFeatKind(TFeatKind v) noexcept { feat_kind_ = v; }
  // A comment, a text of preset values and a sorted flag (empty, empty,
  // false at first): saved and loaded with the feature, never interpreted
  // by the matrix.  None may hold a line break when the matrix is saved.
  const String& Comment() const noexcept { return comment_; }
  void SetComment(StringView v) { comment_ = String(v); }
  const String& PresetValues() const noexcept { return preset_values_; }
  void SetPresetValues(StringView v) { preset_values_ = String(v); }
  bool Sorted() const noexcept { return sorted_; }
  void SetSorted(bool v) noexcept { sorted_ = v; }
  // The caller's reference: never dereferenced, not saved.
  void* GUIElem() const noexcept { return gui_elem_; }
  void SetGUIElem(void* v) noexcept { gui_elem_ = v; }

  // Number 0, name "undefined", fkUndefined, empty texts, not sorted, no
  // GUIElem.
  void Clear();
  void Assign(const TPersistent* Source) override;

 private:
  int32_t feat_num_ = 0;
  String feat_name_ = u"undefined";
  TFeatKind feat_kind_ = fkUndefined;
  String comment_;
  String preset_values_;
  bool sorted_ = false;
  void* gui_elem_ = nullptr;
};

// What `GetFeatProps` returns: a pointer to a feature's properties object,
// or to a fresh one that the handle owns (see the top of this file).
class TFeatPropsHandle {
 public:
  // Points at an object owned elsewhere (a feature's own properties).
  explicit TFeatPropsHandle(TFeatMatProps* Borrowed) noexcept : ptr_(Borrowed) {}
  // Takes ownership of the object and points at it.
  explicit TFeatPropsHandle(std::unique_ptr<TFeatMatProps> Owned) noexcept
      : owned_(std::move(Owned)), ptr_(owned_.get()) {}
  // The object pointed at, as with a plain pointer.
  TFeatMatProps* operator->() const noexcept { return ptr_; }
  TFeatMatProps& operator*() const noexcept { return *ptr_; }
  TFeatMatProps* get() const noexcept { return ptr_; }
  // True when the object is a fresh one owned by this handle.
  bool Owned() const noexcept { return owned_ != nullptr; }
  // Hands over the fresh object (null when the handle only borrows).
  std::unique_ptr<TFeatMatProps> Release() noexcept { return std::move(owned_); }

 private:
  std::unique_ptr<TFeatMatProps> owned_;
  TFeatMatProps* ptr_;
};

class TFeatureMatrix : public WithOnChange<TComponent> {
 public:
  explicit TFeatureMatrix(TComponent* AOwner);
  ~TFeatureMatrix() override;

  // --- size and structure
  int32_t NFeatures() const noexcept { return static_cast<int32_t>(props_.size()); }
  int32_t NObjects() const noexcept { return n_objs_; }
  void SetNFeats(int32_t n);
  void SetNObjs(int32_t n);
  // False when memory runs out.
  [[nodiscard]] bool Resize(int32_t NFeats, int32_t NObjs);
  void Clear();
  void InsertObject(int32_t obj);
  void RemoveObject(int32_t obj);
  // feat may be NFeatures() + 1 (append).
  void InsertFeature(int32_t feat);
  void RemoveFeature(int32_t feat);
  void ClearObject(int32_t obj);
  void ClearFeature(int32_t feat);
  void CopyObject(int32_t Source, int32_t Target);
  void ResetToDefault();

  // --- properties of features
  TFeatPropsHandle GetFeatProps(int32_t fix) const;
  TFeatPropsHandle FeatProps(int32_t fix) const { return GetFeatProps(fix); }
  void SetFeatProps(int32_t fix, std::unique_ptr<TFeatMatProps> FeatMatProps);
  // Range rule: 0, 0 means all features; otherwise both ends are clamped to
  // 1..NFeatures and swapped if reversed.  No notification.
  void SetFeatType(int32_t IxFrom, int32_t IxTo, TFeatKind FeatKind);
  void RenumberFeatures(int32_t IxFrom, int32_t IxTo, int32_t FirstNum, int32_t Delta);
  // 0, -1 for a range outside 1..NFeatures, -2 for a bad template.
  int GenerateFeatNames(StringView Template, int32_t IxFrom, int32_t IxTo, int32_t FirstNum,
                        int32_t Delta);
  // The first feature whose name equals Name (ASCII case ignored), or -1.
  int32_t FindFeatName(StringView Name) const;
  // The first feature whose FeatNum is Num, or -1.
  int32_t FindFeatNum(int32_t Num) const;

  // --- values
  String GetFeatValStr(int32_t fix, int32_t obj) const;
  void SetFeatValStr(int32_t fix, int32_t obj, StringView FeatVal);
  int64_t GetFeatValInt(int32_t fix, int32_t obj) const;
  void SetFeatValint(int32_t fix, int32_t obj, int64_t FeatVal);
  double GetFeatValDouble(int32_t fix, int32_t obj) const;
  void SetFeatValDouble(int32_t fix, int32_t obj, double FeatVal);
  TTriState GetFeatValTriState(int32_t fix, int32_t obj) const;
  void SetFeatValTriState(int32_t fix, int32_t obj, TTriState FeatVal);
  String FeatVal(int32_t fix, int32_t obj) const { return GetFeatValStr(fix, obj); }
  int64_t FeatValAsInt(int32_t fix, int32_t obj) const { return GetFeatValInt(fix, obj); }
  double FeatValAsDouble(int32_t fix, int32_t obj) const { return GetFeatValDouble(fix, obj); }
  TTriState FeatValAsTriState(int32_t fix, int32_t obj) const { return GetFeatValTriState(fix, obj); }

  // Fill every object's value of feature fix; false when fix is out of
  // range.  The string form checks as SetFeatValStr does; the others need a
  // feature of exactly their kind.
  bool Fill(int32_t fix, StringView FeatVal);
  bool Fill(int32_t fix, const Char* FeatVal) { return Fill(fix, StringView(FeatVal)); }
  bool Fill(int32_t fix, int64_t FeatVal);
  template <std::integral T>
    requires(!std::same_as<T, int64_t> && !std::same_as<T, bool> && !std::same_as<T, Char>)
  bool Fill(int32_t fix, T FeatVal) {
    return Fill(fix, static_cast<int64_t>(FeatVal));
  }
  bool Fill(int32_t fix, double FeatVal);
  bool Fill(int32_t fix, TTriState FeatVal);

  // --- persistence (featmatrix_io.cpp)
  void Save(const String& FName) const;
  void SaveToOpenFile(TextFile& F) const;
  // The most cells (features x objects) a values section may declare.
  static constexpr int64_t kMaxFileCells = int64_t{1} << 22;  // 4,194,304
  // The most features a values section may declare.
  static constexpr int64_t kMaxFileFeatures = kMaxFileCells / 8;  // 524,288

  [[nodiscard]] int Load(const String& FName);
  [[nodiscard]] int LoadFromOpenFile(TextFile& F);

  // Sizes, properties, values and the OnChange handler of another matrix.
  void Assign(const TPersistent* Source) override;
  using WithOnChange::Changed;

 private:
  bool InRange(int32_t fix, int32_t obj) const noexcept {
    return fix >= 1 && fix <= NFeatures() && obj >= 1 && obj <= n_objs_;
  }
  String& Cell(int32_t fix, int32_t obj) { return vals_[static_cast<size_t>(fix - 1)][static_cast<size_t>(obj - 1)]; }
  const String& Cell(int32_t fix, int32_t obj) const {
    return vals_[static_cast<size_t>(fix - 1)][static_cast<size_t>(obj - 1)];
  }
  TFeatKind Kind(int32_t fix) const noexcept { return props_[static_cast<size_t>(fix - 1)]->FeatKind(); }
  String DefaultValue(int32_t fix) const;
  // Raises unless FeatVal is acceptable for feature fix (SetFeatValStr rules).
  void CheckStr(int32_t fix, StringView FeatVal) const;
  [[noreturn]] void Fail(StringView text) const;
  // Fill of a typed value: feature fix must be of `kind`, else the message
  // ": feature n" + refusal.
  bool FillKind(int32_t fix, TFeatKind kind, StringView refusal, const String& text);
  bool RangeRule(int32_t& IxFrom, int32_t& IxTo) const noexcept;
  void CheckSavable() const;

  std::vector<std::unique_ptr<TFeatMatProps>> props_;  // one per feature
  std::vector<std::vector<String>> vals_;              // [feature][object]
  int32_t n_objs_ = 0;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_FEATMATRIX_H_
