// TGrep::MatchString: a recursive backtracking walk over the tokens, one
// level per token.  The input is never copied: with IgnoreCase each input
// character is folded as it is read (the pattern was folded when compiled).
// Start positions at which the first token cannot pass its test are skipped
// by a scan (a character search for literals, the set bitmap for sets);
// such attempts would fail at once and write nothing, so skipping them
// changes no result.  A pattern that is a single character range or a run
// of one ('[0-9]+', the usual search for a number) skips the walk: one scan
// finds the first member and the end of its run.
#include <algorithm>

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

// Calls of the recursive test before failed states are remembered.
constexpr long kPlainSteps = 1 << 16;

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

// The smallest position q in p..last at which `str[0]` (and, with `two`,
// `str[1]` at q + 1) stands, comparing folded input characters with the
// pattern's; last + 1 when there is none.  The caller ensures that
// `two` implies last + 1 <= the input length.
template <bool kFold>
int ScanPrefix(const Char* s, int p, int last, const Char* str, bool two) {
  const Char c0 = str[0];
  const Char c1 = two ? str[1] : Char{0};
#if defined(__SSE2__)
  if (last >= 8) {
    // With folding, a small letter of the pattern also accepts its capital.
    const __m128i lo0 = _mm_set1_epi16(static_cast<short>(c0));
    const __m128i up0 = _mm_set1_epi16(static_cast<short>(kFold ? AsciiUpper(c0) : c0));
    const auto first = [&](const Char* block) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
      __m128i hit = _mm_cmpeq_epi16(a, lo0);
      if constexpr (kFold) hit = _mm_or_si128(hit, _mm_cmpeq_epi16(a, up0));
      return hit;
    };
    // A pair is rarer than one character, so its scans run longer: blocks of
    // eight measured faster for it, blocks of sixteen for one character.
    if (!two) return ScanBlocks<true>(s, p, last, first);
    const __m128i lo1 = _mm_set1_epi16(static_cast<short>(c1));
    const __m128i up1 = _mm_set1_epi16(static_cast<short>(kFold ? AsciiUpper(c1) : c1));
    return ScanBlocks<false>(s, p, last, [&](const Char* block) {
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 1));
      __m128i hit1 = _mm_cmpeq_epi16(b, lo1);
      if constexpr (kFold) hit1 = _mm_or_si128(hit1, _mm_cmpeq_epi16(b, up1));
      return _mm_and_si128(first(block), hit1);
    });
  }
#endif
  for (; p <= last; ++p) {
    if (Fold<kFold>(s[p - 1]) == c0 && (!two || Fold<kFold>(s[p]) == c1)) return p;
  }
  return last + 1;
}

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
    // The first member in the block of sixteen from `from`, at or after
    // position `skip`; 0 when there is none.
    const auto find = [&](int from, int skip) {
      const unsigned mask = Bits16(inside(s + from - 1), inside(s + from + 7)) & (~0u << (skip - from));
      if (mask == 0) return 0;
      const int h = __builtin_ctz(mask);
      // ~mask has the bits 16 and up set, so the count stops at the block end.
      const int run = __builtin_ctz(~mask >> h);
      run_end = h + run < 16 ? from + h + run - 1
                             : ScanRange<kFold, false>(s, from + 16, length, lo, hi) - 1;
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
  const int q = ScanRange<kFold>(s, p, length, lo, hi);
  if (q <= length) run_end = ScanRange<kFold, false>(s, q, length, lo, hi) - 1;
  return q;
}

template <bool kFold>
class Matcher {
 public:
  Matcher(const GrepOp* ops, TGrepToken* tokens, int n, StringView s, std::vector<uint64_t>& failed)
      : ops_(ops), tokens_(tokens), n_(n), s_(s.data()), l_(static_cast<int>(s.size())),
        failed_(failed) {}

  // The first match at or after `start`; false when there is none.
  bool Search(int start);
  int end_pos() const { return end_pos_; }

 private:
  Char At(int p) const { return Fold<kFold>(s_[p - 1]); }

  // True when the literal `op.str`/`op.len` stands at p.
  bool LiteralAt(const GrepOp& op, int p) const {
    if (p + op.len - 1 > l_) return false;
    const Char* in = s_ + (p - 1);
    for (int i = 0; i < op.len; ++i) {
      if (Fold<kFold>(in[i]) != op.str[i]) return false;
    }
    return true;
  }

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
      default:
        while (LiteralAt(op, p)) p += op.len;
        return p - 1;
    }
  }

  // The smallest position q >= p at which token k may pass its test;
  // l_ + 2 when there is none.  Every position skipped fails the test.
  int NextCandidate(int p, int k) const;

  bool Match(int p, int k);
  bool MatchHere(int p, int k);

  bool Failed(int p, int k) const {
    const size_t bit = static_cast<size_t>(p) * static_cast<size_t>(n_) + static_cast<size_t>(k);
    return (failed_[bit >> 6] >> (bit & 63)) & 1;
  }
  void SetFailed(int p, int k) {
    const size_t bit = static_cast<size_t>(p) * static_cast<size_t>(n_) + static_cast<size_t>(k);
    failed_[bit >> 6] |= uint64_t{1} << (bit & 63);
  }

  const GrepOp* ops_;
  TGrepToken* tokens_;
  int n_;
  const Char* s_;
  int l_;
  std::vector<uint64_t>& failed_;
  long steps_ = 0;
  bool remember_ = false;
  int end_pos_ = 0;
};

template <bool kFold>
int Matcher<kFold>::NextCandidate(int p, int k) const {
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
  // A literal (or a repeated one): look for its first two characters.
  const int last_start = l_ - op.len + 1;
  if (p > last_start) return none;
  p = ScanPrefix<kFold>(s_, p, last_start, op.str, op.len >= 2);
  return p <= last_start ? p : none;
}

template <bool kFold>
bool Matcher<kFold>::Search(int start) {
  // '^' can pass only at the first position: one attempt there.
  if (ops_[0].kind == taBol) return start == 1 && MatchHere(1, 0);
  for (int p = start; p <= l_ + 1;) {
    const int q = NextCandidate(p, 0);
    if (q > l_ + 1) return false;
    if (MatchHere(q, 0)) return true;
    p = q + 1;
  }
  return false;
}

template <bool kFold>
bool Matcher<kFold>::Match(int p, int k) {
  if (remember_) {
    if (Failed(p, k)) return false;
    if (MatchHere(p, k)) return true;
    SetFailed(p, k);
    return false;
  }
  if (++steps_ > kPlainSteps) {
    // Long backtracking: from now on a (position, token) state that failed
    // once is not tried again.  Whether it fails depends on nothing else.
    failed_.assign((static_cast<size_t>(l_ + 2) * static_cast<size_t>(n_) + 63) / 64, 0);
    remember_ = true;
  }
  return MatchHere(p, k);
}

template <bool kFold>
bool Matcher<kFold>::MatchHere(int p, int k) {
  const GrepOp& op = ops_[k];
  const bool last = k == n_ - 1;
  int first = 0;  // taMult1: the length of the occurrence at p
  switch (op.kind) {
    case taNormal:
      if (!LiteralAt(op, p)) return false;
      break;
    case taAnyByte:
      if (p > l_) return false;
      break;
    case taEol:
      if (p <= l_ || !last) return false;
      break;
    case taBol:
      if (p != 1) return false;
      break;
    case taSet:
      if (p > l_ || !InSet(op, At(p))) return false;
      break;
    case taMult1:
      first = Occurrence(op, p);
      if (first < 0) return false;
      break;
    case taMult0:
    case taOpti:
      break;
  }
  tokens_[k].ValidFrom = p;

  if (last) {
    switch (op.kind) {
      case taNormal: end_pos_ = p + op.len - 1; break;
      case taAnyByte:
      case taSet: end_pos_ = p; break;
      case taEol: end_pos_ = l_; break;
      case taBol: end_pos_ = 1; break;
      case taMult0:
      case taMult1: end_pos_ = RunEnd(op, p); break;
      case taOpti: {
        const int c = Occurrence(op, p);
        end_pos_ = c < 0 ? p - 1 : p + c - 1;
        break;
      }
    }
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
          q = NextCandidate(q, k + 1);
          if (q > l_ + 1) return false;
          if (Match(q, k + 1)) return true;
          if (q > l_) return false;
          ++q;
        }
      }
      for (;;) {
        if (Match(q, k + 1)) return true;
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

// A pattern that is one character range, or one run of it ('[0-9]+'): the
// match is the first member at or after `start` and, for the run, the
// members after it.  Returns the match start (length + 1 when there is
// none) and sets `end`.
template <bool kFold>
int RangeSearch(const GrepOp& op, StringView in, int start, int& end) {
  const int length = static_cast<int>(in.size());
  if (op.kind == taSet) {
    end = ScanRange<kFold>(in.data(), start, length, op.range_lo, op.range_hi);
    return end;
  }
  return ScanRangeRun<kFold>(in.data(), start, length, op.range_lo, op.range_hi, end);
}

}  // namespace

bool TGrep::MatchString(StringView Instring, int& MatchPos) {
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
  const int start = std::max(FSrcStartPos, 1);
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
  int end = 0;
  if (range_search_) {
    // The same result as the general walk gives for this pattern, by one scan.
    const int q = FIgnoreCase ? RangeSearch<true>(ops_[0], Instring, start, end)
                              : RangeSearch<false>(ops_[0], Instring, start, end);
    found = q <= length;
    if (found) FregExp[0].ValidFrom = q;
  } else if (FIgnoreCase) {
    Matcher<true> m(ops_.get(), FregExp.data(), FLengRegExp, Instring, failed_);
    found = m.Search(start);
    end = m.end_pos();
  } else {
    Matcher<false> m(ops_.get(), FregExp.data(), FLengRegExp, Instring, failed_);
    found = m.Search(start);
    end = m.end_pos();
  }
  if (found) FMatchEndPos = end;
  FMatchStartPos = MatchPos = FregExp[0].ValidFrom;
  return found;
}

}  // namespace zel
