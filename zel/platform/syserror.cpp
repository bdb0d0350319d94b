#include "zel/platform/syserror.h"

#include "zel/platform/export.h"
#include "zel/platform/internal/hostlocale.h"

namespace ZEL_EXPORT zel {

String SysErrorMessage(int ErrorCode) {
  return S(detail::CStrError(ErrorCode));
}

}  // namespace zel
