#include "zel/zelbase/errors.h"

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

String ComponentMessage(const TComponent& component, StringView text) {
  String message = u"Component \"";
  message += component.Name();
  message += u'"';
  message += text;
  return message;
}

String ClassMessage(StringView class_name, StringView text) {
  String message = u"Class ";
  message += class_name;
  message += u": ";
  message += text;
  return message;
}

}  // namespace zel
