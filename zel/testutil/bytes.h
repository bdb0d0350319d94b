// zel/testutil/bytes.h — random test data, and running a stream codec over
// in-memory bytes.  Test-only.
//
//   const std::string data = zel::testutil::RandomBytes(1000, /*seed=*/7);
//   std::string text = zel::testutil::EncodeWith(zel::EncodeBase64, data, true);
//   auto [result, bytes] = zel::testutil::DecodeWith(zel::DecodeBase64, text);
#ifndef ZEL_TESTUTIL_BYTES_H_
#define ZEL_TESTUTIL_BYTES_H_

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "zel/platform/stream.h"

namespace zel::testutil {

// `n` pseudo-random bytes, the same for the same seed.
inline std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string b(n, '\0');
  for (auto& x : b) x = static_cast<char>(rng());
  return b;
}

// The text an encoder (InStream, OutStream, LineBreaks) makes of `bytes`.
template <class Encoder>
std::string EncodeWith(Encoder encode, std::string_view bytes, bool line_breaks) {
  TStringStream in(bytes), out;
  encode(in, out, line_breaks);
  return std::string(out.DataBytes());
}

struct Decoded {
  int result;
  std::string bytes;
};

// The result code and the bytes a decoder (InStream, OutStream) makes of
// `text`.
template <class Decoder>
Decoded DecodeWith(Decoder decode, std::string_view text) {
  TStringStream in(text), out;
  const int r = decode(in, out);
  return {r, std::string(out.DataBytes())};
}

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_BYTES_H_
