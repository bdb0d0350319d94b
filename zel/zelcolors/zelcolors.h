// zel/zelcolors/zelcolors.h — the colour unit: model conversions
// (colormodels.h), named colours and palettes (colornames.h) and the palette
// class TColorArray (colorarray.h).
#ifndef ZEL_ZELCOLORS_ZELCOLORS_H_
#define ZEL_ZELCOLORS_ZELCOLORS_H_

#include "zel/zelcolors/colorarray.h"
#include "zel/zelcolors/colormodels.h"
#include "zel/zelcolors/colornames.h"

#endif  // ZEL_ZELCOLORS_ZELCOLORS_H_
