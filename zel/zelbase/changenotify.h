// zel/zelbase/changenotify.h — kept so that existing includes keep working:
// `WithOnChange` lives in the platform layer, zel/platform/changenotify.h,
// where the platform's own classes (`TFont`) use it too.
#ifndef ZEL_ZELBASE_CHANGENOTIFY_H_
#define ZEL_ZELBASE_CHANGENOTIFY_H_

#include "zel/platform/changenotify.h"

#endif  // ZEL_ZELBASE_CHANGENOTIFY_H_
