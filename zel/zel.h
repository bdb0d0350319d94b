// zel/zel.h — the whole library: every unit's header, in the units' start
// order.  Include a single unit's header instead where compile time matters.
#ifndef ZEL_ZEL_H_
#define ZEL_ZEL_H_

#include "zel/platform/platform.h"
#include "zel/univconst/univconst.h"
#include "zel/zelbase/zelbase.h"
#include "zel/zelcolors/zelcolors.h"
#include "zel/stringl/stringl.h"
#include "zel/streams/streams.h"
#include "zel/htmlsupport/htmlsupport.h"
#include "zel/dstruct/dstruct.h"
#include "zel/filesys/filesys.h"
#include "zel/cpuid/cpuid.h"

#endif  // ZEL_ZEL_H_
