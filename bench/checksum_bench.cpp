// CRC-32, CRC-16 and SHA-1 over buffers, each beside its anchor in the same
// process: zlib's crc32 (4 KiB, 64 KiB, 1 MiB), a one-lookup-per-byte
// CRC-16 loop (1 MiB), and OpenSSL's SHA1 (1 MiB; the library's digest
// reads from a TMemoryStream, as a caller would).  The checksums of a
// std::string (1 MiB) by its string_view overload stand beside what a
// caller of the buffer form does with one: copy it into a TBytes first.
// SHA1FromString on a
// 1 Mi-character text (all ASCII; mixed with accented letters, euro signs
// and emoji; or Latin, with accented letters only) is set beside OpenSSL's SHA1 of the same text in UTF-8,
// and each of its UTF-8 encoders the processor has runs alone.  The
// CRC-32 kernel on 128-bit registers runs alone for comparison with the
// 512-bit one that the dispatch picks where the processor has it.
#include <benchmark/benchmark.h>
#include <openssl/sha.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>

#include "zel/dstruct/crc.h"
#include "zel/dstruct/internal/kernels.h"
#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/internal/sha1_string.h"
#include "zel/dstruct/sha1.h"

namespace {

const zel::TBytes& Data() {
  static const zel::TBytes data = [] {
    std::mt19937 rng(1);
    zel::TBytes d(size_t{1} << 20);
    for (auto& b : d) b = static_cast<uint8_t>(rng());
    return d;
  }();
  return data;
}

void BM_Crc32Zel(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const zel::TBytes buf(Data().begin(), Data().begin() + n);
  for (auto _ : state) benchmark::DoNotOptimize(zel::CRC32ofBuffer(buf, n));
  state.SetBytesProcessed(state.iterations() * n);
}

void BM_Crc32Anchor(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const zel::TBytes buf(Data().begin(), Data().begin() + n);
  for (auto _ : state) benchmark::DoNotOptimize(crc32(0, buf.data(), static_cast<uInt>(n)));
  state.SetBytesProcessed(state.iterations() * n);
}

// The table a plain implementation uses: one lookup per byte.
struct Crc16Table {
  uint16_t t[256];
  Crc16Table() {
    for (int i = 0; i < 256; ++i) {
      uint16_t c = static_cast<uint16_t>(i << 8);
      for (int b = 0; b < 8; ++b) c = static_cast<uint16_t>(c & 0x8000 ? (c << 1) ^ 0x1021 : c << 1);
      t[i] = c;
    }
  }
};

void BM_Crc16Zel(benchmark::State& state) {
  const zel::TBytes& d = Data();
  for (auto _ : state) benchmark::DoNotOptimize(zel::CRC16ofBuffer(d, static_cast<int>(d.size()), zel::crcCCITT));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(d.size()));
}

void BM_Crc16Anchor(benchmark::State& state) {
  static const Crc16Table table;
  const zel::TBytes& d = Data();
  for (auto _ : state) {
    uint16_t crc = 0xFFFF;
    for (uint8_t b : d) crc = static_cast<uint16_t>(table.t[((crc >> 8) ^ b) & 0xFF] ^ (crc << 8));
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(d.size()));
}

void BM_Sha1Zel(benchmark::State& state) {
  zel::TMemoryStream m;
  m.WriteBuffer(Data().data(), static_cast<int64_t>(Data().size()));
  for (auto _ : state) {
    m.SetPosition(0);
    benchmark::DoNotOptimize(zel::SHA1FromStream(m));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().size()));
}

void BM_Sha1Anchor(benchmark::State& state) {
  unsigned char md[SHA_DIGEST_LENGTH];
  for (auto _ : state) {
    ::SHA1(Data().data(), Data().size(), md);
    benchmark::DoNotOptimize(md);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().size()));
}

const std::string& DataString() {
  static const std::string s(Data().begin(), Data().end());
  return s;
}

void BM_Crc32StringZel(benchmark::State& state) {
  const std::string& s = DataString();
  for (auto _ : state) benchmark::DoNotOptimize(zel::CRC32(s));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.size()));
}

void BM_Crc32StringViaTBytes(benchmark::State& state) {
  const std::string& s = DataString();
  for (auto _ : state) {
    const zel::TBytes copy(s.begin(), s.end());
    benchmark::DoNotOptimize(static_cast<uint32_t>(zel::CRC32ofBuffer(copy, static_cast<int>(copy.size()))));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.size()));
}

void BM_Sha1StringZel(benchmark::State& state) {
  const std::string& s = DataString();
  for (auto _ : state) benchmark::DoNotOptimize(zel::SHA1(s));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.size()));
}

void BM_Sha1StringViaStream(benchmark::State& state) {
  const std::string& s = DataString();
  for (auto _ : state) {
    zel::TStringStream in{std::string_view(s)};
    benchmark::DoNotOptimize(zel::SHA1FromStream(in));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.size()));
}

void BM_Crc32Clmul128(benchmark::State& state) {
  if (!zel::detail::CpuHasClmul()) {
    state.SkipWithError("no carry-less multiply on this processor");
    return;
  }
  const zel::TBytes& d = Data();
  for (auto _ : state) benchmark::DoNotOptimize(zel::detail::Crc32Clmul(0xFFFFFFFFu, d.data(), d.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(d.size()));
}

// 1 Mi characters of words.  Kind 0: ASCII only; kind 1 (mixed): one
// character in 25 is an accented letter (2 bytes in UTF-8), a euro sign
// (3) or an emoji (a surrogate pair, 4); kind 2 (Latin): one in 25 is an
// accented letter.
zel::String MakeText(int kind) {
  std::mt19937 rng(2);
  zel::String t;
  while (t.size() < (size_t{1} << 20)) {
    const unsigned r = rng() % 100;
    if (kind == 0 || r < 96) {
      t += static_cast<char16_t>(r % 6 == 0 ? u' ' : u'a' + rng() % 26);
    } else if (r < 98 || kind == 2) {
      t += u'\u00e9';
    } else if (r < 99) {
      t += u'\u20ac';
    } else {
      t += u"\U0001F600";
    }
  }
  return t;
}

const zel::String& Text(int64_t kind) {
  static const zel::String texts[] = {MakeText(0), MakeText(1), MakeText(2)};
  return texts[kind];
}

void BM_Sha1FromStringZel(benchmark::State& state) {
  const zel::String& t = Text(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(zel::SHA1FromString(t));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(t.size()));
}

void BM_Sha1FromStringAnchor(benchmark::State& state) {
  const zel::String& t = Text(state.range(0));
  const std::string utf8 = zel::ToUtf8(t);
  unsigned char md[SHA_DIGEST_LENGTH];
  for (auto _ : state) {
    SHA1(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(), md);
    benchmark::DoNotOptimize(md);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(t.size()));
}

// range(0): the text kind as above; range(1): the encoder.
void BM_Sha1FromStringEncoder(benchmark::State& state) {
  const auto encoder = static_cast<zel::detail::Utf8Encoder>(state.range(1));
  if (!zel::detail::Utf8EncoderAvailable(encoder)) {
    state.SkipWithError("encoder not available on this processor");
    return;
  }
  const zel::String& t = Text(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(zel::detail::Sha1FromUtf16(t, encoder));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(t.size()));
}

}  // namespace

BENCHMARK(BM_Crc32Zel)->Name("BM_Crc32_4KiB/zel")->Arg(4096);
BENCHMARK(BM_Crc32Anchor)->Name("BM_Crc32_4KiB/anchor")->Arg(4096);
BENCHMARK(BM_Crc32Zel)->Name("BM_Crc32_64KiB/zel")->Arg(65536);
BENCHMARK(BM_Crc32Anchor)->Name("BM_Crc32_64KiB/anchor")->Arg(65536);
BENCHMARK(BM_Crc32Zel)->Name("BM_Crc32_1MiB/zel")->Arg(1 << 20);
BENCHMARK(BM_Crc32Anchor)->Name("BM_Crc32_1MiB/anchor")->Arg(1 << 20);
BENCHMARK(BM_Crc32Clmul128)->Name("BM_Crc32_1MiB_128bit_kernel");
BENCHMARK(BM_Crc16Zel)->Name("BM_Crc16_1MiB/zel");
BENCHMARK(BM_Crc16Anchor)->Name("BM_Crc16_1MiB/anchor");
BENCHMARK(BM_Sha1Zel)->Name("BM_Sha1_1MiB/zel");
BENCHMARK(BM_Sha1Anchor)->Name("BM_Sha1_1MiB/anchor");
BENCHMARK(BM_Crc32StringZel)->Name("BM_Crc32OfString_1MiB/zel");
BENCHMARK(BM_Crc32StringViaTBytes)->Name("BM_Crc32OfString_1MiB/anchor");
BENCHMARK(BM_Sha1StringZel)->Name("BM_Sha1OfString_1MiB/zel");
BENCHMARK(BM_Sha1StringViaStream)->Name("BM_Sha1OfString_1MiB/anchor");
BENCHMARK(BM_Sha1FromStringZel)->Name("BM_Sha1FromString_ascii/zel")->Arg(0);
BENCHMARK(BM_Sha1FromStringAnchor)->Name("BM_Sha1FromString_ascii/anchor")->Arg(0);
BENCHMARK(BM_Sha1FromStringZel)->Name("BM_Sha1FromString_mixed/zel")->Arg(1);
BENCHMARK(BM_Sha1FromStringAnchor)->Name("BM_Sha1FromString_mixed/anchor")->Arg(1);
BENCHMARK(BM_Sha1FromStringZel)->Name("BM_Sha1FromString_latin/zel")->Arg(2);
BENCHMARK(BM_Sha1FromStringAnchor)->Name("BM_Sha1FromString_latin/anchor")->Arg(2);
BENCHMARK(BM_Sha1FromStringEncoder)
    ->Name("BM_Sha1FromString_encoder")
    ->ArgNames({"text", "encoder"})
    ->ArgsProduct({{0, 1, 2},
                   {static_cast<int64_t>(zel::detail::Utf8Encoder::kScalar),
                    static_cast<int64_t>(zel::detail::Utf8Encoder::kSsse3),
                    static_cast<int64_t>(zel::detail::Utf8Encoder::kAvx512)}});

BENCHMARK_MAIN();
