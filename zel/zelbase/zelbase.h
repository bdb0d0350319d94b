// zel/zelbase/zelbase.h — the foundation unit: shared types, exception
// classes, progress variables and name tables.
#ifndef ZEL_ZELBASE_ZELBASE_H_
#define ZEL_ZELBASE_ZELBASE_H_

#include "zel/zelbase/changenotify.h"
#include "zel/zelbase/csvdelim.h"
#include "zel/zelbase/errors.h"
#include "zel/zelbase/nametables.h"
#include "zel/zelbase/progress.h"
#include "zel/zelbase/types.h"

#endif  // ZEL_ZELBASE_ZELBASE_H_
