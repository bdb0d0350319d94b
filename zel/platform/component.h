// zel/platform/component.h — the component model the library's classes
// follow.
//
//   TObject       a virtual destructor and `ClassName()`.
//   TPersistent   `Assign(Source)` / `AssignTo(Dest)`: copying state between
//                 objects.  The base versions fail with `EConvertError`
//                 ("Cannot assign a X to a Y"); a class overrides `Assign`
//                 for sources it understands and defers to the base for the
//                 rest.
//   TComponent    an owner and a `Name`.  A component created with an owner
//                 is deleted by that owner, so it must come from `new`:
//
//     auto* table = new zel::TStringArray(form);   // `form` deletes it
//     zel::TStringArray local(nullptr);            // owned by its scope
//
// `TNotifyEvent` is the change/notify callback: called with the sender.
#ifndef ZEL_PLATFORM_COMPONENT_H_
#define ZEL_PLATFORM_COMPONENT_H_

#include <functional>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The unqualified class name of the dynamic type, e.g. u"TStringArray".
  String ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
 public:
  // Copies the state of `Source`.  The base version asks `Source` to assign
  // itself to this object (`Source->AssignTo(this)`), which fails with
  // `EConvertError` unless `Source` knows this class.
  virtual void Assign(const TPersistent* Source);

 protected:
  // Copies this object's state into `Dest`; the base version fails.
  virtual void AssignTo(TPersistent* Dest) const;
  // Raises the conversion error for copying from `Source` into this object.
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  // The component that will delete this one; nullptr for none.
  TComponent* Owner() const noexcept { return owner_; }
  // The name, shown in the library's component error messages
  // (`Component "Name": ...`); empty at first, not checked for uniqueness.
  const String& Name() const noexcept { return name_; }
  void SetName(const String& name) { name_ = name; }

  // The number of components this one owns.
  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  // Owned component i, counted from 0; nullptr outside the range.
  TComponent* Components(int i) const noexcept;

  // Moves ownership of `c` to this component (it leaves its old owner).
  // A component cannot own itself or one of its own owners (that would
  // delete it twice): such a call raises `Exception` and changes nothing.
  void InsertComponent(TComponent* c);
  // Takes `c` out of this component's ownership without deleting it.
  void RemoveComponent(TComponent* c);

 private:
  TComponent* owner_ = nullptr;
  String name_;
  std::vector<TComponent*> components_;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_COMPONENT_H_
