#include "zel/platform/syserror.h"

#include <locale.h>
#include <string.h>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

String SysErrorMessage(int ErrorCode) {
  // The "C" locale gives the untranslated messages.
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  if (c_locale == locale_t{}) return S("Error ") + S(std::to_string(ErrorCode));
  return S(strerror_l(ErrorCode, c_locale));
}

}  // namespace zel
