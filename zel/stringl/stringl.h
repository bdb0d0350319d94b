// zel/stringl/stringl.h — the string library.
#ifndef ZEL_STRINGL_STRINGL_H_
#define ZEL_STRINGL_STRINGL_H_

#include "zel/stringl/charclass.h"
#include "zel/stringl/grep.h"
#include "zel/stringl/hexescape.h"
#include "zel/stringl/numfmt.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/scramble.h"
#include "zel/stringl/search.h"
#include "zel/stringl/split.h"
#include "zel/stringl/strip.h"
#include "zel/stringl/tags.h"
#include "zel/stringl/transform.h"
#include "zel/stringl/uucode.h"
#include "zel/stringl/valuetext.h"
#include "zel/stringl/words.h"

#endif  // ZEL_STRINGL_STRINGL_H_
