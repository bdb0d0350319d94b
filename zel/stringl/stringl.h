// zel/stringl/stringl.h — the string library.
#ifndef ZEL_STRINGL_STRINGL_H_
#define ZEL_STRINGL_STRINGL_H_

#endif  // ZEL_STRINGL_STRINGL_H_
