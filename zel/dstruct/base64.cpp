#include "zel/dstruct/base64.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "zel/dstruct/internal/bytestreams.h"

namespace zel {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters for each 12-bit value, so three bytes take two
// lookups.
struct PairTable {
  char t[4096][2];
  constexpr PairTable() : t{} {
    for (int i = 0; i < 4096; ++i) {
      t[i][0] = kAlphabet[i >> 6];
      t[i][1] = kAlphabet[i & 63];
    }
  }
};
constexpr PairTable kPairs;

// Decoding classes beyond the values 0..63.
constexpr uint8_t kSkip = 0x80;     // CR, LF
constexpr uint8_t kPad = 0x40;      // '='
constexpr uint8_t kInvalid = 0xFF;  // everything else

struct DecodeTable {
  uint8_t t[256];
  constexpr DecodeTable() : t{} {
    for (int i = 0; i < 256; ++i) t[i] = kInvalid;
    for (int i = 0; i < 64; ++i) t[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
    t[uint8_t{'\r'}] = t[uint8_t{'\n'}] = kSkip;
    t[uint8_t{'='}] = kPad;
  }
};
constexpr DecodeTable kDecode;

constexpr int kLineBytes = 45;
constexpr int kLinesPerChunk = 1024;
constexpr int kBlockChars = 88;  // counted characters per decoded block

char* EncodeLine(const uint8_t* p, int n, char* o) {
  while (n >= 3) {
    const uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    std::memcpy(o, kPairs.t[v >> 12], 2);
    std::memcpy(o + 2, kPairs.t[v & 0xFFF], 2);
    o += 4;
    p += 3;
    n -= 3;
  }
  if (n == 1) {
    o[0] = kAlphabet[p[0] >> 2];
    o[1] = kAlphabet[(p[0] & 3) << 4];
    o[2] = o[3] = '=';
    o += 4;
  } else if (n == 2) {
    o[0] = kAlphabet[p[0] >> 2];
    o[1] = kAlphabet[((p[0] & 3) << 4) | (p[1] >> 4)];
    o[2] = kAlphabet[(p[1] & 15) << 2];
    o[3] = '=';
    o += 4;
  }
  return o;
}

}  // namespace

void EncodeBase64(TStream& InStream, TStream& OutStream, bool LineBreaks) {
  constexpr int64_t kChunk = int64_t{kLineBytes} * kLinesPerChunk;
  const std::unique_ptr<uint8_t[]> in(new uint8_t[kChunk]);
  const std::unique_ptr<char[]> out(new char[kLinesPerChunk * 62]);
  for (;;) {
    const int64_t got = InStream.Read(in.get(), kChunk);
    if (got <= 0) return;
    char* o = out.get();
    for (int64_t at = 0; at < got; at += kLineBytes) {
      const int n = static_cast<int>(got - at < kLineBytes ? got - at : kLineBytes);
      o = EncodeLine(in.get() + at, n, o);
      if (LineBreaks) {
        *o++ = '\r';
        *o++ = '\n';
      }
    }
    OutStream.WriteBuffer(out.get(), o - out.get());
    if (got < kChunk) return;
  }
}

int DecodeBase64(TStream& InStream, TStream& OutStream) {
  constexpr int64_t kChunk = 64 * 1024;
  const std::unique_ptr<uint8_t[]> in(new uint8_t[kChunk]);
  std::vector<uint8_t> out;
  out.reserve(kChunk * 3 / 4 + 128);
  size_t committed = 0;  // output bytes of completed blocks
  uint8_t group[4];
  int in_group = 0;
  int block_chars = 0;

  // Writes the completed blocks and keeps the bytes of the current one.
  auto flush_committed = [&] {
    if (committed == 0) return;
    OutStream.WriteBuffer(out.data(), static_cast<int64_t>(committed));
    out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(committed));
    committed = 0;
  };
  auto fail = [&] {
    out.resize(committed);
    flush_committed();
    return -1;
  };

  for (;;) {
    const int64_t got = InStream.Read(in.get(), kChunk);
    const uint8_t* p = in.get();
    const uint8_t* end = p + (got > 0 ? got : 0);
    while (p < end) {
      // Fast path: a whole group of four alphabet characters.
      if (in_group == 0 && end - p >= 4) {
        const uint8_t a = kDecode.t[p[0]], b = kDecode.t[p[1]], c = kDecode.t[p[2]],
                      d = kDecode.t[p[3]];
        if ((a | b | c | d) < 64) {
          const uint32_t v = (uint32_t{a} << 18) | (uint32_t{b} << 12) | (uint32_t{c} << 6) | d;
          out.push_back(static_cast<uint8_t>(v >> 16));
          out.push_back(static_cast<uint8_t>(v >> 8));
          out.push_back(static_cast<uint8_t>(v));
          p += 4;
          block_chars += 4;
          if (block_chars == kBlockChars) {
            block_chars = 0;
            committed = out.size();
          }
          continue;
        }
      }
      const uint8_t x = kDecode.t[*p++];
      if (x == kSkip) continue;
      group[in_group++] = x;
      ++block_chars;
      if (in_group == 4) {
        in_group = 0;
        const uint8_t a = group[0], b = group[1], c = group[2], d = group[3];
        if (a >= 64 || b >= 64) return fail();  // invalid, or '=' in place 1 or 2
        out.push_back(static_cast<uint8_t>((a << 2) | (b >> 4)));
        if (c != kPad) {
          if (c >= 64) return fail();
          out.push_back(static_cast<uint8_t>((b << 4) | (c >> 2)));
          if (d != kPad) {
            if (d >= 64) return fail();
            out.push_back(static_cast<uint8_t>((c << 6) | d));
          }
        } else if (d != kPad && d >= 64) {
          return fail();
        }
      }
      if (block_chars == kBlockChars) {
        block_chars = 0;
        committed = out.size();
      }
    }
    if (got < kChunk) break;
    flush_committed();
  }
  if (in_group != 0) return fail();  // the last group is incomplete
  committed = out.size();
  flush_committed();
  return 0;
}

}  // namespace zel

// --- strings -------------------------------------------------------------------

namespace zel {

std::string ToBase64(std::string_view Bytes, bool LineBreaks) {
  std::string text;
  text.reserve((Bytes.size() + 2) / 3 * 4 + (LineBreaks ? Bytes.size() / 45 * 2 + 2 : 0));
  detail::ViewInStream in(Bytes);
  detail::StringOutStream out(text);
  EncodeBase64(in, out, LineBreaks);
  return text;
}

std::optional<std::string> FromBase64(std::string_view Text) {
  std::string bytes;
  bytes.reserve(Text.size() / 4 * 3 + 3);
  detail::ViewInStream in(Text);
  detail::StringOutStream out(bytes);
  if (DecodeBase64(in, out) != 0) return std::nullopt;
  return bytes;
}

}  // namespace zel
