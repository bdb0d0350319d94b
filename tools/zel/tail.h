// tools/zel/tail.h — the end of a text input for `zel tail`, in blocks.
//
//   PrintLastLines(in, 10);    // the last 10 lines
//   PrintFromLine(in, 5);      // line 5 and every line after it
//
// Lines and their printing follow tools/zel/textstream.h.  A regular file
// is read backwards from its end, one block at a time, until the N-th line
// end before the last line; its lines are then copied out in blocks: time
// goes with what is printed, memory is a few blocks, whatever the length of
// a line or the size of the file.  Any other input (a pipe, a terminal, a
// file whose size the kernel reports as 0 such as /proc/self/status) is read
// forwards, keeping only the last N lines; those are held in memory, up to
// kMaxHeldBytes (then the command fails and says so).
#ifndef ZEL_TOOLS_ZEL_TAIL_H_
#define ZEL_TOOLS_ZEL_TAIL_H_

#include <cstdint>

#include "tools/zel/io.h"

namespace zel::cli {

inline constexpr int64_t kMaxHeldBytes = int64_t{256} << 20;

// Both return kOk, or ErrorStatus() after a message naming the input.
int PrintLastLines(const Input& in, int64_t n);
int PrintFromLine(const Input& in, int64_t first);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_TAIL_H_
