// zel/streams/internal/readexact.h — internal: the shared core of the binary
// readers of streamio.h and `TMixedFStream`.
#ifndef ZEL_STREAMS_INTERNAL_READEXACT_H_
#define ZEL_STREAMS_INTERNAL_READEXACT_H_

#include <cstdint>

#include "zel/platform/stream.h"

namespace zel::detail {

// Reads exactly `Count` bytes into `Buffer` with `ReadBuffer`; any failure
// is caught and sets `Error`, leaving the bytes that could be read in
// `Buffer`.  The shared core of the binary readers.
void ReadExact(TStream& Stream, void* Buffer, int64_t Count, bool& Error) noexcept;

}  // namespace zel::detail

#endif  // ZEL_STREAMS_INTERNAL_READEXACT_H_
