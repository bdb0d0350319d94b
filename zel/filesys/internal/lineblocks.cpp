#include "zel/filesys/internal/lineblocks.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zel::detail {

namespace {

// Adds the LF and CR bytes of [p, p + n) to `lf` and `cr`.
void CountLineEndBytes(const unsigned char* p, size_t n, int64_t& lf, int64_t& cr) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i want_lf = _mm_set1_epi8('\n');
  const __m128i want_cr = _mm_set1_epi8('\r');
  const __m128i zero = _mm_setzero_si128();
  while (n - i >= 16) {
    // Byte counters hold up to 255 before they are summed.
    __m128i acc_lf = zero, acc_cr = zero;
    const size_t rounds = std::min<size_t>((n - i) / 16, 255);
    for (size_t r = 0; r < rounds; ++r, i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      acc_lf = _mm_sub_epi8(acc_lf, _mm_cmpeq_epi8(v, want_lf));
      acc_cr = _mm_sub_epi8(acc_cr, _mm_cmpeq_epi8(v, want_cr));
    }
    const __m128i s_lf = _mm_sad_epu8(acc_lf, zero);
    const __m128i s_cr = _mm_sad_epu8(acc_cr, zero);
    lf += _mm_cvtsi128_si32(s_lf) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(s_lf, s_lf));
    cr += _mm_cvtsi128_si32(s_cr) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(s_cr, s_cr));
  }
#endif
  for (; i < n; ++i) {
    lf += p[i] == '\n';
    cr += p[i] == '\r';
  }
}

}  // namespace

void LineCounter::Add(std::string_view block) {
  if (block.empty()) return;
  const auto* p = reinterpret_cast<const unsigned char*>(block.data());
  const size_t n = block.size();
  for (size_t i = 0; i < n && bytes_ + static_cast<int64_t>(i) < 3; ++i) {
    head_[bytes_ + static_cast<int64_t>(i)] = p[i];
  }
  int64_t lf = 0, cr = 0;
  CountLineEndBytes(p, n, lf, cr);
  // CR LF is one line end: take one off for each such pair.
  int64_t pairs = (last_ == '\r' && p[0] == '\n') ? 1 : 0;
  if (cr > 0) {
    const unsigned char* q = p;
    const unsigned char* end = p + n;
    while ((q = static_cast<const unsigned char*>(std::memchr(q, '\r', static_cast<size_t>(end - q))))) {
      ++q;
      if (q < end && *q == '\n') ++pairs;
    }
  }
  ends_ += lf + cr - pairs;
  bytes_ += static_cast<int64_t>(n);
  last_ = p[n - 1];
}

int64_t LineCounter::Finish() const noexcept {
  if (bytes_ == 0) return 0;
  if (bytes_ == 3 && head_[0] == 0xEF && head_[1] == 0xBB && head_[2] == 0xBF) return 0;
  return ends_ + ((last_ == '\r' || last_ == '\n') ? 0 : 1);
}

std::vector<std::string_view> SplitLines(std::string_view bytes, bool AtFileStart) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  if (AtFileStart && bytes.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  bool drop_first = !AtFileStart;
  while (pos < bytes.size()) {
    // The first CR or LF from pos: the LF by memchr, then a CR before it.
    const void* lf_hit = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
    const size_t lf = lf_hit ? static_cast<size_t>(static_cast<const char*>(lf_hit) - bytes.data())
                             : bytes.size();
    const void* cr_hit = std::memchr(bytes.data() + pos, '\r', lf - pos);
    const size_t end =
        cr_hit ? static_cast<size_t>(static_cast<const char*>(cr_hit) - bytes.data()) : lf;
    size_t next = end;
    if (end < bytes.size()) {
      next = end + 1;
      if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
    } else if (drop_first) {
      break;  // no line end at all: nothing but a partial line
    }
    if (!drop_first) lines.push_back(bytes.substr(pos, end - pos));
    drop_first = false;
    pos = next;
  }
  return lines;
}

}  // namespace zel::detail
