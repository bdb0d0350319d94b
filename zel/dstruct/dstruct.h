// zel/dstruct/dstruct.h — the data-structure unit: the string table and the
// other containers, checksums and codecs.
#ifndef ZEL_DSTRUCT_DSTRUCT_H_
#define ZEL_DSTRUCT_DSTRUCT_H_

#include "zel/dstruct/ascii85.h"
#include "zel/dstruct/assocarray.h"
#include "zel/dstruct/base64.h"
#include "zel/dstruct/bitfield.h"
#include "zel/dstruct/bytematrix.h"
#include "zel/dstruct/combinatorics.h"
#include "zel/dstruct/crc.h"
#include "zel/dstruct/featmatrix.h"
#include "zel/dstruct/fifo.h"
#include "zel/dstruct/rle.h"
#include "zel/dstruct/sha1.h"
#include "zel/dstruct/strarray.h"
#include "zel/dstruct/stringaccu.h"

#endif  // ZEL_DSTRUCT_DSTRUCT_H_
