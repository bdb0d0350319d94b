// zel/dstruct/dstruct.h — containers, checksums and encoders.
#ifndef ZEL_DSTRUCT_DSTRUCT_H_
#define ZEL_DSTRUCT_DSTRUCT_H_

#include "zel/dstruct/assocarray.h"
#include "zel/dstruct/bitfield.h"
#include "zel/dstruct/bytematrix.h"
#include "zel/dstruct/combinatorics.h"
#include "zel/dstruct/featmatrix.h"
#include "zel/dstruct/fifo.h"
#include "zel/dstruct/stringaccu.h"

#endif  // ZEL_DSTRUCT_DSTRUCT_H_
