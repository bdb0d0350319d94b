// zel/zelbase/errors.h — the library's exception classes and the message
// conventions of its components.
//
// One base class and one class per unit, so a caller can catch the errors of
// a single unit or of the whole library:
//
//   try { table.GetAsNumber(2, 3); }
//   catch (const zel::EZELDStructError& e) { ... }   // containers only
//   catch (const zel::EZELError& e) { ... }          // any unit
//
// A component names itself in its messages: `ComponentMessage(c, ": bad")`
// gives `Component "Name": bad`.  A few messages name the class instead:
// `ClassMessage(u"TStringArray", u"failed")` gives `Class TStringArray: failed`.
// `ThrowIfOutOfMemory<E>(component, allocate)` turns a failed allocation into
// the unit's exception with ": not enough memory on heap".
#ifndef ZEL_ZELBASE_ERRORS_H_
#define ZEL_ZELBASE_ERRORS_H_

#include <new>
#include <utility>

#include "zel/platform/component.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

class EZELError : public Exception {
 public:
  using Exception::Exception;
};
class EZELStringlError : public EZELError {
 public:
  using EZELError::EZELError;
};
class EZELDStructError : public EZELError {
 public:
  using EZELError::EZELError;
};
class EZELColArrayError : public EZELError {
 public:
  using EZELError::EZELError;
};
class EZELFileSysError : public EZELError {
 public:
  using EZELError::EZELError;
};
class EZELCpuIdError : public EZELError {
 public:
  using EZELError::EZELError;
};

// The shared texts of the "not enough memory" family.
inline constexpr Char kNotEnoughMemoryOnHeap[] = u": not enough memory on heap";
inline constexpr Char kNotEnoughMemory[] = u": not enough memory";

// `Component "<Name>"` followed by `text` (which begins with ": ").
String ComponentMessage(const TComponent& component, StringView text);

// `Class <class_name>: ` followed by `text`.
String ClassMessage(StringView class_name, StringView text);

// Runs `allocate()`; a `std::bad_alloc` from it becomes `E` with the
// component form of `text` (": not enough memory on heap" by default).
template <class E, class F>
decltype(auto) ThrowIfOutOfMemory(const TComponent& component, F&& allocate,
                                  StringView text = kNotEnoughMemoryOnHeap) {
  try {
    return std::forward<F>(allocate)();
  } catch (const std::bad_alloc&) {
    throw E(ComponentMessage(component, text));
  }
}

}  // namespace zel

#endif  // ZEL_ZELBASE_ERRORS_H_
