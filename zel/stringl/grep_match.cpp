// TGrep::MatchString: a recursive backtracking walk over the tokens, one
// level per token.  The input is never copied: with IgnoreCase each input
// character is folded as it is read (the pattern was folded when compiled).
// Start positions at which the first token cannot pass its test are skipped
// by a scan (for literals a vector search, internal/grepscan.h; for sets
// the bitmap or range); such attempts would fail at once and write nothing,
// so skipping them changes no result.  A pattern that is a single character range or a run
// of one ('[0-9]+', the usual search for a number) skips the walk: one scan
// finds the first member and the end of its run; so does a single literal
// or run of one, and '^' with a literal is one comparison.
//
// A walk that runs long (stacked repetitions over a long line can take
// time that grows with a power of the length) is given up for a table of
// every (position, token) state filled backwards, which decides the same
// match, and after a failed search the same last passes of every token, in
// time that grows linearly with the line.
#include <algorithm>
#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/grep.h"
#include "zel/stringl/internal/grepop.h"

namespace ZEL_EXPORT zel {
namespace {

using detail::GrepOp;

// GrepOp::operand: 0 a literal string,
constexpr int kOperandAny = 1;
constexpr int kOperandSet = 2;

// Work of the recursive walk (calls of the test, plus characters scanned
// in steps of 16) after which it gives up and the search is decided by
// the table instead: this much, plus a few steps per input character, so
// that a walk that is long only because the line is long stays a walk.
constexpr long kPlainSteps = 1 << 16;
constexpr long kPlainStepsPerChar = 4;

std::atomic<bool> g_force_table{false};

// The input is UTF-16 code units (Char) or bytes (Byte), each byte the
// character of its code: a line of ASCII bytes is matched as it stands,
// with the same tests on the same codes at the same positions.
using Byte = unsigned char;

inline bool InSet(const GrepOp& op, Char c) {
  return c < 256 && ((op.set[c >> 6] >> (c & 63)) & 1);
}

template <bool kFold>
inline Char Fold(Char c) {
  if constexpr (kFold) {
    return AsciiLower(c);
  } else {
    return c;
  }
}

#if defined(__SSE2__)
// One bit per character from the lane masks of 8 + 8 characters (lanes
// all ones or all zero).
inline unsigned Bits16(__m128i a, __m128i b) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
}

// The smallest position q in p..last for which `hits(block)` marks the
// character at q, where `hits` looks at the eight characters from `block`
// and returns a lane mask (all ones for a hit); last + 1 when there is none.
// With kWide, blocks of sixteen come first (one branch for twice the
// characters; the better choice where a hit usually ends the scan), then one
// of eight.  The end is checked with one last block of eight that overlaps
// the ones before, not character by character, so `last` must be at least 8.
template <bool kWide, class Hits>
inline int ScanBlocks(const Char* s, int p, int last, Hits hits) {
  if constexpr (kWide) {
    for (; p + 15 <= last; p += 16) {
      const unsigned mask = Bits16(hits(s + p - 1), hits(s + p + 7));
      if (mask != 0) return p + __builtin_ctz(mask);
    }
  }
  // Two mask bits per character here: no packing on the way.
  for (; p + 7 <= last; p += 8) {
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits(s + p - 1)));
    if (mask != 0) return p + __builtin_ctz(mask) / 2;
  }
  if (p > last) return last + 1;
  const int from = last - 7;  // from < p: the positions before p had no hit
  const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits(s + from - 1))) & (~0u << (2 * (p - from)));
  return mask != 0 ? from + __builtin_ctz(mask) / 2 : last + 1;
}

// The lane mask of the eight characters from `block` whose folded code lies
// in lo..hi (with kInside false: outside it).
template <bool kFold, bool kInside>
struct RangeHits {
  RangeHits(Char lo, Char hi)
      : vlo(_mm_set1_epi16(static_cast<short>(lo))),
        width(_mm_set1_epi16(static_cast<short>(hi - lo))) {}

  __m128i operator()(const Char* block) const {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    if constexpr (kFold) {
      // c - 'A' <= 25 (unsigned) marks a capital; add 0x20 to it.
      const __m128i cap_a = _mm_set1_epi16(static_cast<short>(u'A'));
      const __m128i cap_width = _mm_set1_epi16(static_cast<short>(u'Z' - u'A'));
      const __m128i is_cap = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(a, cap_a), cap_width), zero);
      a = _mm_add_epi16(a, _mm_and_si128(is_cap, _mm_set1_epi16(0x20)));
    }
    const __m128i in = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(a, vlo), width), zero);
    if constexpr (kInside) {
      return in;
    } else {
      return _mm_xor_si128(in, _mm_cmpeq_epi16(zero, zero));
    }
  }

  __m128i vlo, width;
};
#endif

// The smallest position q in p..length whose folded character lies in
// lo..hi (with kInside false: lies outside it); length + 1 when there is
// none.
template <bool kFold, bool kInside = true>
int ScanRange(const Char* s, int p, int length, Char lo, Char hi) {
#if defined(__SSE2__)
  if (length >= 8) return ScanBlocks<true>(s, p, length, RangeHits<kFold, kInside>(lo, hi));
#endif
  for (; p <= length; ++p) {
    const Char c = Fold<kFold>(s[p - 1]);
    if ((c >= lo && c <= hi) == kInside) return p;
  }
  return length + 1;
}

#if defined(__SSE2__)
// The mask (one bit per byte) of the sixteen bytes from `block` whose
// folded code lies in lo..hi.
template <bool kFold>
struct ByteRangeHits {
  ByteRangeHits(Char lo, Char hi)
      : vlo(_mm_set1_epi8(static_cast<char>(lo))), width(_mm_set1_epi8(static_cast<char>(hi - lo))) {}

  unsigned operator()(const Byte* block) const {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    if constexpr (kFold) {
      const __m128i is_cap =
          _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(a, _mm_set1_epi8('A')), _mm_set1_epi8('Z' - 'A')), zero);
      a = _mm_add_epi8(a, _mm_and_si128(is_cap, _mm_set1_epi8(0x20)));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(a, vlo), width), zero)));
  }

  __m128i vlo, width;
};
#endif

// ScanRange over bytes: sixteen at a time, one mask bit each.
template <bool kFold, bool kInside = true>
int ScanRange(const Byte* s, int p, int length, Char lo, Char hi) {
#if defined(__SSE2__)
  if (length >= 16) {
    const ByteRangeHits<kFold> inside(lo, hi);
    const auto hits = [&](const Byte* block) { return kInside ? inside(block) : ~inside(block) & 0xFFFFu; };
    for (; p + 15 <= length; p += 16) {
      const unsigned mask = hits(s + p - 1);
      if (mask != 0) return p + __builtin_ctz(mask);
    }
    if (p > length) return length + 1;
    const int from = length - 15;  // the positions before p had no hit
    const unsigned mask = hits(s + from - 1) & (~0u << (p - from));
    return mask != 0 ? from + __builtin_ctz(mask) : length + 1;
  }
#endif
  for (; p <= length; ++p) {
    const Char c = Fold<kFold>(Char{s[p - 1]});
    if ((c >= lo && c <= hi) == kInside) return p;
  }
  return length + 1;
}

#if defined(__SSE2__)
// The run search of ScanRangeRun once there are at least sixteen
// characters: `mask16(from)` gives one bit per position from..from+15 whose
// folded character lies in lo..hi.
template <bool kFold, typename Ch, typename Mask16>
int ScanRunBlocks(const Ch* s, int p, int length, Char lo, Char hi, int& run_end, Mask16 mask16) {
  // The first member in the block of sixteen from `from`, at or after
  // position `skip`; 0 when there is none.
  const auto find = [&](int from, int skip) {
    const unsigned mask = mask16(from) & (~0u << (skip - from));
    if (mask == 0) return 0;
    const int h = __builtin_ctz(mask);
    // ~mask has the bits 16 and up set, so the count stops at the block end.
    const int run = __builtin_ctz(~mask >> h);
    run_end = h + run < 16 ? from + h + run - 1 : ScanRange<kFold, false>(s, from + 16, length, lo, hi) - 1;
    return from + h;
  };
  for (; p + 15 <= length; p += 16) {
    const int q = find(p, p);
    if (q != 0) return q;
  }
  if (p > length) return length + 1;
  const int q = find(length - 15, p);  // the positions before p had no member
  return q != 0 ? q : length + 1;
}
#endif

// The scalar search of ScanRangeRun, for short inputs.
template <bool kFold, typename Ch>
int ScanRunScalar(const Ch* s, int p, int length, Char lo, Char hi, int& run_end) {
  const int q = ScanRange<kFold>(s, p, length, lo, hi);
  if (q <= length) run_end = ScanRange<kFold, false>(s, q, length, lo, hi) - 1;
  return q;
}

// As ScanRange, and when a position q is found, `run_end` receives the last
// position of the run of characters in lo..hi that starts at q.  A run that
// ends inside the block in which it starts (the usual case for short runs)
// is read off the same mask, without a second scan; the end of an input of
// at least sixteen characters is one last block overlapping the ones before.
template <bool kFold>
int ScanRangeRun(const Char* s, int p, int length, Char lo, Char hi, int& run_end) {
#if defined(__SSE2__)
  if (length >= 16) {
    const RangeHits<kFold, true> inside(lo, hi);
    return ScanRunBlocks<kFold>(s, p, length, lo, hi, run_end, [&](int from) {
      return Bits16(inside(s + from - 1), inside(s + from + 7));
    });
  }
#endif
  return ScanRunScalar<kFold>(s, p, length, lo, hi, run_end);
}

template <bool kFold>
int ScanRangeRun(const Byte* s, int p, int length, Char lo, Char hi, int& run_end) {
#if defined(__SSE2__)
  if (length >= 16) {
    const ByteRangeHits<kFold> inside(lo, hi);
    return ScanRunBlocks<kFold>(s, p, length, lo, hi, run_end,
                                [&](int from) { return inside(s + from - 1); });
  }
#endif
  return ScanRunScalar<kFold>(s, p, length, lo, hi, run_end);
}

// True when the first n bytes of `line` are ASCII (below 0x80).
inline bool AsciiFront(std::string_view line, size_t n) {
#if defined(__SSE2__)
  if (line.size() >= 16) {
    const auto high = [&](size_t at) {
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at))));
    };
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
      if (high(i) != 0) return false;
    }
    if (i == n) return true;
    // Bytes i..n-1, fewer than sixteen, from a block that lies in the line.
    const size_t from = std::min(i, line.size() - 16);
    return ((high(from) >> (i - from)) & ((1u << (n - i)) - 1)) == 0;
  }
#endif
  return AsciiPrefixLength(line.substr(0, n)) == n;
}

// True when the literal `op.str`/`op.len` stands at p in s[0..l).
template <bool kFold, class C>
bool LiteralStands(const GrepOp& op, const C* s, int l, int p) {
  return p + op.len - 1 <= l && detail::LiteralStandsAt(s + (p - 1), op.str, op.len, kFold);
}

// The last position of the run of the literal's occurrences from p (p - 1
// when none stands there).
template <bool kFold, class C>
int LiteralRunEnd(const GrepOp& op, const C* s, int l, int p) {
  while (LiteralStands<kFold>(op, s, l, p)) p += op.len;
  return p - 1;
}

template <bool kFold, class C>
class Matcher {
 public:
  Matcher(const GrepOp* ops, TGrepToken* tokens, int n, std::basic_string_view<C> s,
          std::vector<uint64_t>& table, std::vector<int32_t>& rows)
      : ops_(ops), tokens_(tokens), n_(n), s_(s.data()), l_(static_cast<int>(s.size())),
        table_(table), rows_(rows) {}

  // The first match at or after `start`; false when there is none.
  bool Search(int start);
  int end_pos() const { return end_pos_; }

 private:
  Char At(int p) const { return Fold<kFold>(Char{s_[p - 1]}); }

  bool LiteralAt(const GrepOp& op, int p) const { return LiteralStands<kFold>(op, s_, l_, p); }

  // The length of the repetition operand's occurrence at p, or -1.
  int Occurrence(const GrepOp& op, int p) const {
    switch (op.operand) {
      case kOperandAny: return p <= l_ ? 1 : -1;
      case kOperandSet: return p <= l_ && InSet(op, At(p)) ? 1 : -1;
      default: return LiteralAt(op, p) ? op.len : -1;
    }
  }

  // The last position of the run of consecutive occurrences starting at p
  // (p - 1 when there is none).
  int RunEnd(const GrepOp& op, int p) const {
    switch (op.operand) {
      case kOperandAny: return std::max(l_, p - 1);
      case kOperandSet:
        if (op.range_hi >= op.range_lo) {
          return ScanRange<kFold, false>(s_, p, l_, op.range_lo, op.range_hi) - 1;
        }
        while (p <= l_ && InSet(op, At(p))) ++p;
        return p - 1;
      default: return LiteralRunEnd<kFold>(op, s_, l_, p);
    }
  }

  // The smallest position q >= p at which token k may pass its test;
  // l_ + 2 when there is none.  Every position skipped fails the test.
  int NextCandidate(int p, int k) const;

  // Token k's own test at p (not the rest of the pattern); for a
  // one-or-more item `first` receives the length of the occurrence at p.
  bool Passes(int p, int k, int& first) const;
  // The last matched position when the last token passed at p.
  int EndAt(int p) const;

  bool Match(int p, int k);
  bool MatchHere(int p, int k);

  // The search decided by a table over every (position, token) state.
  bool SearchByTable(int start);
  bool Ok(int p, int k) const {
    const size_t bit = static_cast<size_t>(k) * width_ + static_cast<size_t>(p - base_);
    return (table_[bit >> 6] >> (bit & 63)) & 1;
  }
  void SetOk(int p, int k) {
    const size_t bit = static_cast<size_t>(k) * width_ + static_cast<size_t>(p - base_);
    table_[bit >> 6] |= uint64_t{1} << (bit & 63);
  }
  void FollowFirstMatch(int p);
  void ReplayFailedSearch(int start);

  const GrepOp* ops_;
  TGrepToken* tokens_;
  int n_;
  const C* s_;
  int l_;
  std::vector<uint64_t>& table_;
  std::vector<int32_t>& rows_;
  long steps_ = 0;
  bool force_table_ = g_force_table.load(std::memory_order_relaxed);
  bool gave_up_ = false;
  int end_pos_ = 0;
  int base_ = 1;      // the table's first position
  size_t width_ = 0;  // its positions per token
};

template <bool kFold, class C>
int Matcher<kFold, C>::NextCandidate(int p, int k) const {
  const GrepOp& op = ops_[k];
  const int none = l_ + 2;
  switch (op.kind) {
    case taBol:
      return p == 1 ? 1 : none;
    case taEol:
      return p <= l_ + 1 ? l_ + 1 : none;
    case taAnyByte:
      return p <= l_ ? p : none;
    case taMult0:
    case taOpti:
      return p;
    case taSet:
      break;
    case taMult1:
      if (op.operand == kOperandAny) return p <= l_ ? p : none;
      break;
    case taNormal:
      if (op.len == 0) return p;
      break;
  }
  if (op.operand == kOperandSet) {
    if (op.range_hi >= op.range_lo) {
      p = ScanRange<kFold>(s_, p, l_, op.range_lo, op.range_hi);
    } else {
      while (p <= l_ && !InSet(op, At(p))) ++p;
    }
    return p <= l_ ? p : none;
  }
  // A literal (or a repeated one).
  const int last_start = l_ - op.len + 1;
  if (p > last_start) return none;
  p = detail::FindLiteral(s_, p, last_start, op.probe);
  return p <= last_start ? p : none;
}

template <bool kFold, class C>
bool Matcher<kFold, C>::Search(int start) {
  const GrepOp& op0 = ops_[0];
  // '^' can pass only at the first position: one attempt there.
  if (op0.kind == taBol) {
    if (start != 1) return false;
    if (MatchHere(1, 0)) return true;
    return gave_up_ && SearchByTable(start);
  }
  for (int p = start; p <= l_ + 1;) {
    const int q = NextCandidate(p, 0);
    if (q > l_ + 1) return false;
    if (MatchHere(q, 0)) return true;
    if (gave_up_) return SearchByTable(start);
    p = q + 1;
  }
  return false;
}

template <bool kFold, class C>
bool Matcher<kFold, C>::Match(int p, int k) {
  if (gave_up_) return false;
  if (++steps_ > kPlainSteps + kPlainStepsPerChar * l_ || force_table_) {
    gave_up_ = true;
    return false;
  }
  return MatchHere(p, k);
}

template <bool kFold, class C>
bool Matcher<kFold, C>::Passes(int p, int k, int& first) const {
  const GrepOp& op = ops_[k];
  switch (op.kind) {
    case taNormal: return LiteralAt(op, p);
    case taAnyByte: return p <= l_;
    case taEol: return p > l_ && k == n_ - 1;
    case taBol: return p == 1;
    case taSet: return p <= l_ && InSet(op, At(p));
    case taMult1:
      first = Occurrence(op, p);
      return first >= 0;
    case taMult0:
    case taOpti: return true;
  }
  return false;
}

template <bool kFold, class C>
int Matcher<kFold, C>::EndAt(int p) const {
  const GrepOp& op = ops_[n_ - 1];
  switch (op.kind) {
    case taNormal: return p + op.len - 1;
    case taAnyByte:
    case taSet: return p;
    case taEol: return l_;
    case taBol: return 1;
    case taMult0:
    case taMult1: return RunEnd(op, p);
    case taOpti: {
      const int c = Occurrence(op, p);
      return c < 0 ? p - 1 : p + c - 1;
    }
  }
  return p;
}

template <bool kFold, class C>
bool Matcher<kFold, C>::MatchHere(int p, int k) {
  const GrepOp& op = ops_[k];
  int first = 0;  // taMult1: the length of the occurrence at p
  if (!Passes(p, k, first)) return false;
  tokens_[k].ValidFrom = p;

  if (k == n_ - 1) {
    end_pos_ = EndAt(p);
    return true;
  }

  switch (op.kind) {
    case taNormal: return Match(p + op.len, k + 1);
    case taAnyByte:
    case taSet: return Match(p + 1, k + 1);
    case taBol: return Match(1, k + 1);
    case taEol: return false;  // never before another token
    case taMult0:
    case taMult1: {
      // Shortest first: try the rest, else step over one more occurrence.
      int q = op.kind == taMult1 ? p + first : p;
      if (op.operand == kOperandAny) {
        // Every position up to the end holds an occurrence: go straight to
        // those where the next token can pass.
        for (;;) {
          const int next = NextCandidate(q, k + 1);
          steps_ += (next - q) >> 4;
          q = next;
          if (q > l_ + 1) return false;
          if (Match(q, k + 1)) return true;
          if (q > l_ || gave_up_) return false;
          ++q;
        }
      }
      for (;;) {
        if (Match(q, k + 1)) return true;
        if (gave_up_) return false;
        const int c = Occurrence(op, q);
        if (c < 0) return false;
        q += c;
      }
    }
    case taOpti: {
      if (Match(p, k + 1)) return true;
      const int c = Occurrence(op, p);
      return c >= 0 && Match(p + c, k + 1);
    }
  }
  return false;
}

// The table: Ok(q, k) says whether token k passes at q and the rest of the
// pattern matches after it, for every q from the search start to the end
// plus one.  It is filled from the last token and the last position
// backwards, so each entry reads only entries already filled; a
// repetition's "some step of the run leads on" is carried along the run in
// `chain`.  The work and memory grow with tokens times positions, however
// the repetitions are stacked.
template <bool kFold, class C>
bool Matcher<kFold, C>::SearchByTable(int start) {
  base_ = start;
  const int hi = l_ + 1;
  width_ = static_cast<size_t>(hi - base_ + 1);
  table_.assign((static_cast<size_t>(n_) * width_ + 63) / 64, 0);
  rows_.assign(width_ + 1, 0);
  int32_t* chain = rows_.data() - base_;  // chain[q]: some step from q leads on
  for (int k = n_ - 1; k >= 0; --k) {
    const GrepOp& op = ops_[k];
    const bool last = k == n_ - 1;
    const auto next_ok = [&](int q) { return q <= hi && Ok(q, k + 1); };
    for (int q = hi; q >= base_; --q) {
      const bool repetition = op.kind == taMult0 || op.kind == taMult1;
      if (repetition && !last) {
        const int c = Occurrence(op, q);
        chain[q] = next_ok(q) || (c >= 0 && chain[q + c]);
      }
      int first = 0;
      if (!Passes(q, k, first)) continue;
      bool ok = last;
      if (!last) {
        switch (op.kind) {
          case taNormal: ok = next_ok(q + op.len); break;
          case taAnyByte:
          case taSet: ok = next_ok(q + 1); break;
          case taBol: ok = next_ok(1); break;
          case taEol: ok = false; break;
          case taMult0: ok = chain[q] != 0; break;
          case taMult1: ok = chain[q + first] != 0; break;
          case taOpti: {
            const int c = Occurrence(op, q);
            ok = next_ok(q) || (c >= 0 && next_ok(q + c));
            break;
          }
        }
      }
      if (ok) SetOk(q, k);
    }
  }
  if (ops_[0].kind == taBol) {
    if (Ok(1, 0)) {
      FollowFirstMatch(1);
      return true;
    }
  } else {
    for (int p = base_; p <= hi; ++p) {
      if (Ok(p, 0)) {
        FollowFirstMatch(p);
        return true;
      }
    }
  }
  ReplayFailedSearch(start);
  return false;
}

// Writes the `ValidFrom` of the first match from p (which the table says
// exists) by taking at each token the first way on that the walk takes.
template <bool kFold, class C>
void Matcher<kFold, C>::FollowFirstMatch(int p) {
  for (int k = 0;; ++k) {
    const GrepOp& op = ops_[k];
    tokens_[k].ValidFrom = p;
    if (k == n_ - 1) {
      end_pos_ = EndAt(p);
      return;
    }
    int first = 0;
    Passes(p, k, first);
    switch (op.kind) {
      case taNormal: p += op.len; break;
      case taAnyByte:
      case taSet: ++p; break;
      case taBol: p = 1; break;
      case taEol: return;  // not reached: '$' is the last token
      case taMult0:
      case taMult1:
        if (op.kind == taMult1) p += first;
        while (!Ok(p, k + 1)) p += Occurrence(op, p);
        break;
      case taOpti:
        if (!Ok(p, k + 1)) p += Occurrence(op, p);
        break;
    }
  }
}

// After a failed search each token's `ValidFrom` is where the walk last
// passed its test.  A failed walk visits every state it reaches, the
// children of a state in rising positions, so for each token j the last
// visit is found from the end: `last[q]` is the position of the last pass
// of token j within the walk from state (q, k), 0 when there is none,
// worked out for k = j, j - 1, ..., 0.
template <bool kFold, class C>
void Matcher<kFold, C>::ReplayFailedSearch(int start) {
  const int hi = l_ + 1;
  const bool bol = ops_[0].kind == taBol;
  const int top_first = start, top_last = bol ? std::min(hi, 1) : hi;
  int first = 0;
  for (int p = top_last; p >= top_first; --p) {
    if (Passes(p, 0, first)) {
      tokens_[0].ValidFrom = p;
      break;
    }
  }
  const size_t w = width_ + 1;
  rows_.assign(3 * w, 0);
  int32_t* cur = rows_.data() - base_;
  int32_t* next = rows_.data() + w - base_;
  int32_t* chain = rows_.data() + 2 * w - base_;
  for (int j = 1; j < n_; ++j) {
    // A row without any pass stays so up to token 0: token j then keeps
    // its `ValidFrom`, and the rows are not worked out.
    bool any = false;
    for (int q = hi; q >= base_; --q) {
      next[q] = Passes(q, j, first) ? q : 0;
      any = any || next[q] != 0;
    }
    for (int k = j - 1; k >= 0 && any; --k) {
      any = false;
      const GrepOp& op = ops_[k];
      const auto after = [&](int q) { return q <= hi ? next[q] : 0; };
      for (int q = hi; q >= base_; --q) {
        const bool repetition = op.kind == taMult0 || op.kind == taMult1;
        int c = -1;
        if (repetition || op.kind == taOpti) c = Occurrence(op, q);
        // The walk along a run reaches its later steps last.
        if (repetition) chain[q] = c >= 0 && chain[q + c] != 0 ? chain[q + c] : after(q);
        int32_t v = 0;
        if (Passes(q, k, first)) {
          switch (op.kind) {
            case taNormal: v = after(q + op.len); break;
            case taAnyByte:
            case taSet: v = after(q + 1); break;
            case taBol: v = after(1); break;
            case taEol: v = 0; break;
            case taMult0: v = chain[q]; break;
            case taMult1: v = chain[q + first]; break;
            case taOpti: v = c >= 0 && after(q + c) != 0 ? after(q + c) : after(q); break;
          }
        }
        cur[q] = v;
        any = any || v != 0;
      }
      std::swap(cur, next);
    }
    if (!any) continue;
    // `next` now holds the rows of token 0; the last attempt that reached
    // token j decides.
    for (int p = top_last; p >= top_first; --p) {
      if (next[p] != 0) {
        tokens_[j].ValidFrom = next[p];
        break;
      }
    }
  }
}

// A pattern that is one character range, or one run of it ('[0-9]+'): the
// match is the first member at or after `start` and, for the run, the
// members after it.  Returns the match start (length + 1 when there is
// none) and sets `end`.
template <bool kFold, class C>
int RangeSearch(const GrepOp& op, std::basic_string_view<C> in, int start, int& end) {
  const int length = static_cast<int>(in.size());
  if (op.kind == taSet) {
    end = ScanRange<kFold>(in.data(), start, length, op.range_lo, op.range_hi);
    return end;
  }
  return ScanRangeRun<kFold>(in.data(), start, length, op.range_lo, op.range_hi, end);
}

// A pattern that is one literal or one run of it: the first start at which
// it stands is the match, and no start before it writes anything.  Returns
// whether there is one and sets its start `at` and `end`.
template <bool kFold, class C>
bool LiteralSearch(const GrepOp& op, std::basic_string_view<C> in, int start, int& at, int& end) {
  const C* s = in.data();
  const int length = static_cast<int>(in.size());
  const int last_start = length - op.len + 1;
  if (start > last_start) return false;
  const int q = detail::FindLiteral(s, start, last_start, op.probe);
  if (q > last_start) return false;
  at = q;
  end = op.kind == taNormal ? q + op.len - 1 : LiteralRunEnd<kFold>(op, s, length, q + op.len);
  return true;
}

}  // namespace

namespace ZEL_HIDDEN detail {
void ForceGrepTable(bool force) noexcept { g_force_table.store(force, std::memory_order_relaxed); }
}  // namespace detail

// Each search is a function of its own, so that the short ones are not
// burdened with the registers and stack of the walk.
template <class C>
bool TGrep::MatchIn(std::basic_string_view<C> Instring, int& MatchPos) {
  switch (shortcut_) {
    case kShortcutRange: return MatchRange(Instring, MatchPos);
    case kShortcutLiteral: return MatchLiteral(Instring, MatchPos);
    case kShortcutBolLiteral: return MatchBolLiteral(Instring, MatchPos);
    case kShortcutNone: break;
  }
  return MatchByWalk(Instring, MatchPos);
}

bool TGrep::MatchString(StringView Instring, int& MatchPos) { return MatchIn(Instring, MatchPos); }

// The bytes are matched as they stand where that gives what the decoded
// line gives: an ASCII byte is always its own character after decoding (it
// is never part of a multi-byte sequence), and every other byte becomes a
// character above 127, so up to the first non-ASCII byte the bytes and the
// decoded line agree character by character and position by position.
//   * An ASCII line: the whole search runs on the bytes.
//   * '^' and a literal: only the literal's length at the front matters.
//   * A single literal or range (or run of it) made of ASCII characters:
//     no occurrence in the bytes means none in the decoded line (its
//     occurrences are made of ASCII bytes, in the same order); one found
//     with only ASCII bytes up to its end is the decoded line's first one,
//     at the same positions.
// Anything else is decoded into a buffer kept for the next line.
bool TGrep::MatchUtf8(std::string_view Line, int& MatchPos) {
  const std::basic_string_view<Byte> bytes(reinterpret_cast<const Byte*>(Line.data()), Line.size());
  switch (shortcut_) {
    case kShortcutBolLiteral: {
      if (AsciiFront(Line, std::min(Line.size(), static_cast<size_t>(ops_[1].len)))) {
        return MatchBolLiteral(bytes, MatchPos);
      }
      break;
    }
    case kShortcutRange:
    case kShortcutLiteral: {
      if (!ascii_item_) break;
      // What the search writes, kept to be put back should the bytes not
      // decide (a match found in the bytes may lie before the start in
      // the decoded line).
      const int valid_from = FregExp[0].ValidFrom, start_pos = FMatchStartPos, end_pos = FMatchEndPos;
      if (!MatchIn(bytes, MatchPos)) return false;
      if (AsciiFront(Line, static_cast<size_t>(FMatchEndPos))) return true;
      FregExp[0].ValidFrom = valid_from;
      FMatchStartPos = start_pos;
      FMatchEndPos = end_pos;
      break;
    }
    case kShortcutNone: break;
  }
  if (AsciiFront(Line, Line.size())) return MatchIn(bytes, MatchPos);
  line_.clear();
  AppendFromUtf8(line_, Line);
  return MatchIn(StringView(line_), MatchPos);
}

inline bool TGrep::Report(bool found, int end, int& MatchPos) {
  if (found) FMatchEndPos = end;
  FMatchStartPos = MatchPos = FregExp[0].ValidFrom;
  return found;
}

template <class C>
[[gnu::noinline]] bool TGrep::MatchRange(std::basic_string_view<C> Instring, int& MatchPos) {
  // The same result as the general walk gives for this pattern, by one scan.
  const int start = std::max(FSrcStartPos, 1);
  int end = 0;
  const int q = FIgnoreCase ? RangeSearch<true>(ops_[0], Instring, start, end)
                            : RangeSearch<false>(ops_[0], Instring, start, end);
  const bool found = q <= static_cast<int>(Instring.size());
  if (found) FregExp[0].ValidFrom = q;
  return Report(found, end, MatchPos);
}

template <class C>
[[gnu::noinline]] bool TGrep::MatchLiteral(std::basic_string_view<C> Instring, int& MatchPos) {
  const int start = std::max(FSrcStartPos, 1);
  int at = 0, end = 0;
  const bool found = FIgnoreCase ? LiteralSearch<true>(ops_[0], Instring, start, at, end)
                                 : LiteralSearch<false>(ops_[0], Instring, start, at, end);
  if (found) FregExp[0].ValidFrom = at;
  return Report(found, end, MatchPos);
}

// '^abc': one comparison, with the walk's writes.
template <class C>
[[gnu::noinline]] bool TGrep::MatchBolLiteral(std::basic_string_view<C> Instring, int& MatchPos) {
  if (FSrcStartPos > 1) return Report(false, 0, MatchPos);
  FregExp[0].ValidFrom = 1;
  const detail::GrepOp& op = ops_[1];
  const int length = static_cast<int>(Instring.size());
  const bool found = FIgnoreCase ? LiteralStands<true>(op, Instring.data(), length, 1)
                                 : LiteralStands<false>(op, Instring.data(), length, 1);
  if (found) FregExp[1].ValidFrom = 1;
  return Report(found, op.len, MatchPos);
}

template <class C>
[[gnu::noinline]] bool TGrep::MatchByWalk(std::basic_string_view<C> Instring, int& MatchPos) {
  const int start = std::max(FSrcStartPos, 1);
  const int length = static_cast<int>(Instring.size());
  if (FLengRegExp == 1 && FregExp[0].Action == taMult0) {
    // A single zero-or-more item matches any input as a whole.
    if (length > 0 && length < FSrcStartPos) {
      FMatchStartPos = MatchPos = FregExp[0].ValidFrom;
      return false;
    }
    FMatchEndPos = length;
    FMatchStartPos = 1;
    MatchPos = 1;
    return true;
  }
  if (FLengRegExp == 0) {
    if (start > length + 1) {
      FMatchStartPos = MatchPos = 0;
      return false;
    }
    FMatchStartPos = MatchPos = start;
    FMatchEndPos = start - 1;
    return true;
  }
  bool found;
  int end;
  if (FIgnoreCase) {
    Matcher<true, C> m(ops_.get(), FregExp.data(), FLengRegExp, Instring, table_, rows_);
    found = m.Search(start);
    end = m.end_pos();
  } else {
    Matcher<false, C> m(ops_.get(), FregExp.data(), FLengRegExp, Instring, table_, rows_);
    found = m.Search(start);
    end = m.end_pos();
  }
  return Report(found, end, MatchPos);
}

}  // namespace zel
