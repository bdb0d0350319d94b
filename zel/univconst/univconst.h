// zel/univconst/univconst.h — mathematical constants and the log-factorial
// table.
#ifndef ZEL_UNIVCONST_UNIVCONST_H_
#define ZEL_UNIVCONST_UNIVCONST_H_

#endif  // ZEL_UNIVCONST_UNIVCONST_H_
