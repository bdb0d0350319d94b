// zel/dstruct/internal/sha1_string.h — internal: the UTF-8 encoders in
// front of SHA1FromString, selectable for tests and benchmarks.
//
// SHA1FromString encodes its text to UTF-8 in 4 KiB pieces that TSHA1
// hashes, with the widest encoder the processor allows (the scalar one
// when cpufeatures.h's portable switch is on).  Every encoder writes what
// ToUtf8 writes; tests run each available one by name:
//
//   using zel::detail::Utf8Encoder;
//   if (zel::detail::Utf8EncoderAvailable(Utf8Encoder::kAvx512))
//     zel::detail::Sha1FromUtf16(text, Utf8Encoder::kAvx512);
#ifndef ZEL_DSTRUCT_INTERNAL_SHA1_STRING_H_
#define ZEL_DSTRUCT_INTERNAL_SHA1_STRING_H_

#include "zel/dstruct/sha1.h"
#include "zel/platform/export.h"

namespace zel::detail {

enum class Utf8Encoder {
  kScalar,  // a character at a time
  kSsse3,   // eight characters at a time
  kAvx512,  // 32 (ASCII: 64) at a time; AVX-512 with VBMI2, see cpufeatures.h
};

// Whether the processor can run the encoder (the portable switch aside).
bool Utf8EncoderAvailable(Utf8Encoder encoder) noexcept;
// The digest of the UTF-8 form of `s`, encoded by the given (available)
// encoder.
TSHACode Sha1FromUtf16(StringView s, Utf8Encoder encoder) noexcept;

}  // namespace zel::detail

#endif  // ZEL_DSTRUCT_INTERNAL_SHA1_STRING_H_
