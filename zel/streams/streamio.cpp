#include "zel/streams/streamio.h"

#include <cfloat>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "zel/platform/export.h"
#include "zel/streams/internal/bytereader.h"
#include "zel/streams/internal/readexact.h"

namespace ZEL_EXPORT zel {
namespace {

static_assert(LDBL_MANT_DIG == 64, "extended values are stored as x87 80-bit floats");
constexpr int64_t kExtendedBytes = 10;
constexpr int64_t kWriteBuffer = 4096;
constexpr int64_t kReadBlock = 256;

template <class T>
void WriteRaw(TStream& s, const T& value, int64_t bytes = sizeof(T)) {
  s.WriteBuffer(&value, bytes);
}

// Reads `bytes` bytes into a zeroed value; on any failure keeps what could
// be read and sets `error`.
template <class T>
T ReadRaw(TStream& s, bool& error, int64_t bytes = sizeof(T)) {
  unsigned char buf[sizeof(T)] = {};
  detail::ReadExact(s, buf, bytes, error);
  T value;
  std::memcpy(&value, buf, sizeof(T));
  return value;
}

// Appends the bytes as the characters of the same codes.
void AppendBytes(String& s, std::span<const uint8_t> bytes) {
  AppendByteChars(s, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

bool IsLineEnd(uint8_t b) { return b == '\r' || b == '\n'; }

// The index in `a` of the first byte `b`, or a.size().  Lines are short:
// an inline scan of 16 bytes at a time finds the usual line end sooner
// than a call to memchr, which keeps the rest.
size_t FindByte(std::span<const uint8_t> a, uint8_t b) {
  const uint8_t* p = a.data();
  const size_t n = a.size();
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i want = _mm_set1_epi8(static_cast<char>(b));
  for (; i + 16 <= n && i < 256; i += 16) {
    const auto hits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), want)));
    if (hits != 0) return i + static_cast<size_t>(__builtin_ctz(hits));
  }
#endif
  const void* hit = std::memchr(p + i, b, n - i);
  return hit ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - p) : n;
}

// The index in `a` of the byte that ends the line in mode `mode`, or
// a.size().  `prev` is the byte before a[0] in this call (-1: none).
size_t FindTerminator(std::span<const uint8_t> a, int mode, int prev) {
  const uint8_t* p = a.data();
  const size_t n = a.size();
  switch (mode) {
    case 0:
    case 1:
      return FindByte(a, mode == 0 ? '\n' : '\r');
    case 2:
      for (size_t i = 0; i < n; ++i) {
        if (IsLineEnd(p[i])) return i;
      }
      return n;
    case 3:
    case 4: {
      const uint8_t want = mode == 3 ? '\r' : '\n';
      const int before = mode == 3 ? '\n' : '\r';
      for (size_t i = 0; i < n; ++i) {
        if (p[i] == want && (i > 0 ? p[i - 1] : prev) == before) return i;
      }
      return n;
    }
    default:
      return n;
  }
}

template <class Append>
void ReadBlocks(TStream& s, Append append) {
  uint8_t block[kReadBlock];
  int64_t got;
  do {
    got = s.Read(block, kReadBlock);
    if (got > 0) append(std::span<const uint8_t>(block, static_cast<size_t>(got)));
  } while (got == kReadBlock);
}

}  // namespace

namespace ZEL_HIDDEN detail {

void ReadExact(TStream& Stream, void* Buffer, int64_t Count, bool& Error) noexcept {
  try {
    Stream.ReadBuffer(Buffer, Count);
    Error = false;
  } catch (...) {
    Error = true;
  }
}

}  // namespace detail

void WriteStringStream(TStream& Stream, StringView S) {
  uint8_t buf[kWriteBuffer];
  size_t at = 0;
  int64_t fill = 0;
  do {
    fill = 0;
    while (fill < kWriteBuffer && at < S.size()) {
      buf[fill++] = static_cast<uint8_t>(S[at++]);
    }
    Stream.WriteBuffer(buf, fill);
  } while (fill == kWriteBuffer);
}

void WriteLnStream(TStream& Stream, StringView S) {
  WriteStringStream(Stream, S);
  Stream.WriteBuffer("\r\n", 2);
}

void WriteExtendedToStream(TStream& Stream, long double Value) {
  WriteRaw(Stream, Value, kExtendedBytes);
}
void WriteDoubleToStream(TStream& Stream, double Value) { WriteRaw(Stream, Value); }
void WriteSingleToStream(TStream& Stream, float Value) { WriteRaw(Stream, Value); }
void WriteLongintToStream(TStream& Stream, int32_t Value) { WriteRaw(Stream, Value); }

long double ReadExtendedFromStream(TStream& Stream, bool& Error) {
  return ReadRaw<long double>(Stream, Error, kExtendedBytes);
}
double ReadDoubleFromStream(TStream& Stream, bool& Error) {
  return ReadRaw<double>(Stream, Error);
}
float ReadSingleFromStream(TStream& Stream, bool& Error) {
  return ReadRaw<float>(Stream, Error);
}
int32_t ReadLongintFromStream(TStream& Stream, bool& Error) {
  return ReadRaw<int32_t>(Stream, Error);
}

void ReadLnStream(TStream& Stream, String& Line, bool& EndOfStream, int EOLMode) {
  EndOfStream = false;
  detail::ByteReader reader(Stream);
  int prev = -1;
  for (bool first = true;; first = false) {
    const auto ahead = reader.Peek();
    if (ahead.empty()) {
      if (first) Line.clear();
      EndOfStream = true;
      return;
    }
    const size_t end = FindTerminator(ahead, EOLMode, prev);
    if (first && end < ahead.size()) {
      // The whole line lies in view (the usual case): no line-end
      // characters to remove afterwards.
      size_t keep = end + 1;
      for (int i = 0; i < 2 && keep > 0 && IsLineEnd(ahead[keep - 1]); ++i) --keep;
      AssignByteChars(Line, {reinterpret_cast<const char*>(ahead.data()), keep});
      reader.Take(end + 1);
      return;
    }
    if (first) Line.clear();
    if (end < ahead.size()) {
      AppendBytes(Line, ahead.first(end + 1));
      reader.Take(end + 1);
      break;
    }
    AppendBytes(Line, ahead);
    prev = ahead.back();
    reader.Take(ahead.size());
  }
  for (int i = 0; i < 2 && !Line.empty() && (Line.back() == u'\r' || Line.back() == u'\n'); ++i) {
    Line.pop_back();
  }
}

String ReadLnStream(TStream& Stream, bool& EndOfStream, int EOLMode) {
  String line;
  ReadLnStream(Stream, line, EndOfStream, EOLMode);
  return line;
}

String StreamAsString(TStream& Stream) {
  String s;
  ReadBlocks(Stream, [&](std::span<const uint8_t> b) {
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
      s.push_back(static_cast<Char>(b[i] | (b[i + 1] << 8)));
    }
  });
  return s;
}

String StreamAsByteString(TStream& Stream) {
  String s;
  ReadBlocks(Stream, [&](std::span<const uint8_t> b) { AppendBytes(s, b); });
  return s;
}

}  // namespace zel
