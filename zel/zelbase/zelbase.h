// zel/zelbase/zelbase.h — the foundation unit: shared types, exception
// classes, progress variables and name tables; the settings of chart
// decorations (text labels, date/time labels, cross-hairs).
#ifndef ZEL_ZELBASE_ZELBASE_H_
#define ZEL_ZELBASE_ZELBASE_H_

#include "zel/zelbase/changenotify.h"
#include "zel/zelbase/crosshair.h"
#include "zel/zelbase/csvdelim.h"
#include "zel/zelbase/dtlabel.h"
#include "zel/zelbase/errors.h"
#include "zel/zelbase/nametables.h"
#include "zel/zelbase/progress.h"
#include "zel/zelbase/textlabel.h"
#include "zel/zelbase/types.h"

#endif  // ZEL_ZELBASE_ZELBASE_H_
