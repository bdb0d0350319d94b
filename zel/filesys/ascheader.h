// zel/filesys/ascheader.h — the four-line header of an ASC data file.
//
//   My measurement            <- comment, free text
//   10                        <- first count, > 0 (the rest of the line is ignored)
//   3                         <- second count, > 0
//   true FALSE TRUE false     <- four flags, TRUE or FALSE in any case
//
//   zel::String comment;
//   int32_t n1, n2;
//   bool f1, f2, f3, f4;
//   int status = zel::ReadHeaderOfASC(u"data.asc", comment, n1, n2, f1, f2, f3, f4);
//
// Status: 0 header read; -1 first count missing or not above 0; -2 second
// count likewise; -3 one of the first three flags is neither TRUE nor
// FALSE.  Reading stops at the first error; the flags are false until line
// 4 is read, the counts 0 until read, the comment "" until read.  The fourth flag is true when the rest begins with TRUE, and
// false for any other text.
//
// The two variants read differently, as callers expect:
//   * file: the counts are read as whole numbers by `TextFile` (blanks and
//     line ends before them skipped; "10x" is no number and gives the
//     status); tabs in line 4 count as blanks.  A file that cannot be
//     opened raises `EInOutError`.
//   * stream: lines end at LF; the counts are scanned by `ScanStreamDecimal`
//     (leading digits count: "10x" is 10, text is 0), the rest of their line
//     is skipped; tabs in line 4 are no separators (status -3).  The stream
//     is left after the last line read, at the data.  Errors of the stream
//     itself propagate.
#ifndef ZEL_FILESYS_ASCHEADER_H_
#define ZEL_FILESYS_ASCHEADER_H_

#include <cstdint>

#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace zel {

int ReadHeaderOfASC(const String& FileName, String& Comment, int32_t& NrA, int32_t& NrB,
                    bool& Flag1, bool& Flag2, bool& Flag3, bool& Flag4);
int ReadHeaderOfASC(TStream& Stream, String& Comment, int32_t& NrA, int32_t& NrB, bool& Flag1,
                    bool& Flag2, bool& Flag3, bool& Flag4);

}  // namespace zel

#endif  // ZEL_FILESYS_ASCHEADER_H_
