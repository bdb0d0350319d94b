// zel/dstruct/dstruct.h — the data-structure unit: containers, checksums
// and codecs.
#ifndef ZEL_DSTRUCT_DSTRUCT_H_
#define ZEL_DSTRUCT_DSTRUCT_H_

#include "zel/dstruct/ascii85.h"
#include "zel/dstruct/base64.h"
#include "zel/dstruct/crc.h"
#include "zel/dstruct/rle.h"
#include "zel/dstruct/sha1.h"
#include "zel/dstruct/strarray.h"

#endif  // ZEL_DSTRUCT_DSTRUCT_H_
