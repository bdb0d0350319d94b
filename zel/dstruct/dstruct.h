// zel/dstruct/dstruct.h — the containers.
#ifndef ZEL_DSTRUCT_DSTRUCT_H_
#define ZEL_DSTRUCT_DSTRUCT_H_

#include "zel/dstruct/strarray.h"

#endif  // ZEL_DSTRUCT_DSTRUCT_H_
