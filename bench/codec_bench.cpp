// EncodeBase64 and DecodeBase64 (and the ASCII85 pair) between memory
// streams on 1 MiB of random bytes, with line breaks, reported in bytes per
// second of binary data (no anchor: the figure is the point).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "zel/dstruct/ascii85.h"
#include "zel/dstruct/base64.h"

namespace {

const zel::TMemoryStream& Binary() {
  static const zel::TMemoryStream* m = [] {
    auto* s = new zel::TMemoryStream;
    std::mt19937 rng(2);
    for (int i = 0; i < (1 << 20) / 4; ++i) {
      const uint32_t v = rng();
      s->WriteBuffer(&v, 4);
    }
    return s;
  }();
  return *m;
}

template <auto Encode>
void BM_Encode(benchmark::State& state) {
  zel::TMemoryStream in, out;
  Binary().SaveToStream(in);
  for (auto _ : state) {
    in.SetPosition(0);
    out.SetPosition(0);  // overwrite: the figure is the codec, not the allocator
    Encode(in, out, true);
  }
  state.SetBytesProcessed(state.iterations() * in.Size());
}

template <auto Encode, auto Decode>
void BM_Decode(benchmark::State& state) {
  zel::TMemoryStream in, text, out;
  Binary().SaveToStream(in);
  in.SetPosition(0);
  Encode(in, text, true);
  for (auto _ : state) {
    text.SetPosition(0);
    out.SetPosition(0);  // overwrite: the figure is the codec, not the allocator
    if (Decode(text, out) != 0) state.SkipWithError("decode failed");
  }
  state.SetBytesProcessed(state.iterations() * in.Size());
}

}  // namespace

BENCHMARK(BM_Encode<zel::EncodeBase64>)->Name("BM_Base64Encode");
BENCHMARK(BM_Decode<zel::EncodeBase64, zel::DecodeBase64>)->Name("BM_Base64Decode");
BENCHMARK(BM_Encode<zel::EncodeASCII85>)->Name("BM_Ascii85Encode");
BENCHMARK(BM_Decode<zel::EncodeASCII85, zel::DecodeASCII85>)->Name("BM_Ascii85Decode");

BENCHMARK_MAIN();
