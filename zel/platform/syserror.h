// zel/platform/syserror.h — the text of an operating-system error code.
//
//   zel::SysErrorMessage(ENOENT) == u"No such file or directory"
//
// The text is the C library's English message, whatever the process locale,
// so messages built from it read the same on every machine.
#ifndef ZEL_PLATFORM_SYSERROR_H_
#define ZEL_PLATFORM_SYSERROR_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

String SysErrorMessage(int ErrorCode);

}  // namespace zel

#endif  // ZEL_PLATFORM_SYSERROR_H_
