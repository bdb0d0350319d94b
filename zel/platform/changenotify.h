// zel/platform/changenotify.h — the `OnChange` event and `Changed()` that
// every stateful class of the library carries.
//
// A class gets both by deriving from `WithOnChange<TComponent>` (or
// `WithOnChange<TPersistent>` for objects that are only properties of a
// component).  Setters and modifying methods call `Changed()` after the
// modification; it calls the handler with the object as `Sender` when one is
// assigned and does nothing otherwise.
//
//   class TCounter : public zel::WithOnChange<zel::TComponent> {
//    public:
//     using WithOnChange::WithOnChange;
//     void Increment() { ++count_; Changed(); }
//    private:
//     int count_ = 0;
//   };
//
//   counter.SetOnChange([](zel::TObject* sender) { Redraw(sender); });
#ifndef ZEL_PLATFORM_CHANGENOTIFY_H_
#define ZEL_PLATFORM_CHANGENOTIFY_H_

#include <utility>

#include "zel/platform/component.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

// Adds `OnChange`, `SetOnChange` and the protected `Changed()` to `Base`
// (`TComponent` or `TPersistent`), whose constructors it takes over.
template <class Base>
class WithOnChange : public Base {
 public:
  using Base::Base;

  // The handler called by `Changed()`; empty until one is set.
  const TNotifyEvent& OnChange() const noexcept { return on_change_; }

  // Sets the handler (an empty one removes it).
  void SetOnChange(TNotifyEvent handler) { on_change_ = std::move(handler); }

 protected:
  // Calls the handler with this object as the sender, if one is set.
  void Changed() {
    if (on_change_) on_change_(this);
  }

 private:
  TNotifyEvent on_change_;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_CHANGENOTIFY_H_
