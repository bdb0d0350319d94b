// zel/platform/platform.h — the runtime and component services the units
// stand on.  The units use these, never raw POSIX calls.
#ifndef ZEL_PLATFORM_PLATFORM_H_
#define ZEL_PLATFORM_PLATFORM_H_

#include "zel/platform/casemap.h"
#include "zel/platform/changenotify.h"
#include "zel/platform/component.h"
#include "zel/platform/datetime.h"
#include "zel/platform/dialogs.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filestream.h"
#include "zel/platform/font.h"
#include "zel/platform/hostpath.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/numconv.h"
#include "zel/platform/random.h"
#include "zel/platform/rawfile.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"
#include "zel/platform/stringlist.h"
#include "zel/platform/syserror.h"
#include "zel/platform/textfile.h"
#include "zel/platform/types.h"
#include "zel/platform/variant.h"

#endif  // ZEL_PLATFORM_PLATFORM_H_
