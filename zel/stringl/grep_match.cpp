// TGrep::MatchString: a recursive backtracking walk over the tokens, one
// level per token.  The input is never copied: with IgnoreCase each input
// character is folded as it is read (the pattern was folded when compiled).
// Start positions at which the first token cannot pass its test are skipped
// by a scan (a character search for literals, the set bitmap for sets);
// such attempts would fail at once and write nothing, so skipping them
// changes no result.
#include <algorithm>
#include <cstring>

#include "zel/platform/casemap.h"
#include "zel/stringl/grep.h"

namespace zel {
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
    if constexpr (!kFold) {
      return std::memcmp(in, op.str, static_cast<size_t>(op.len) * sizeof(Char)) == 0;
    } else {
      for (int i = 0; i < op.len; ++i) {
        if (Fold<kFold>(in[i]) != op.str[i]) return false;
      }
      return true;
    }
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
        while (p <= l_ && InSet(op, At(p))) ++p;
        return p - 1;
      default:
        while (LiteralAt(op, p)) p += op.len;
        return p - 1;
    }
  }

  // The smallest position q >= p at which token 1 may pass its test;
  // l_ + 2 when there is none.
  int NextCandidate(int p) const;

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
int Matcher<kFold>::NextCandidate(int p) const {
  const GrepOp& op = ops_[0];
  const int none = l_ + 2;
  switch (op.kind) {
    case taBol:
      return p == 1 ? 1 : none;
    case taEol:
      return l_ + 1;
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
    while (p <= l_ && !InSet(op, At(p))) ++p;
    return p <= l_ ? p : none;
  }
  // A literal (or a repeated one): look for its first character.
  const Char first = op.str[0];
  const int last_start = l_ - op.len + 1;
  if constexpr (kFold) {
    const Char upper = AsciiUpper(first);
    for (; p <= last_start; ++p) {
      const Char c = s_[p - 1];
      if (c == first || c == upper) return p;
    }
  } else {
    for (; p <= last_start; ++p) {
      if (s_[p - 1] == first) return p;
    }
  }
  return none;
}

template <bool kFold>
bool Matcher<kFold>::Search(int start) {
  for (int p = start; p <= l_ + 1;) {
    const int q = NextCandidate(p);
    if (q > l_ + 1) return false;
    if (Match(q, 0)) return true;
    if (ops_[0].kind == taBol) return false;
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
  if (FIgnoreCase) {
    Matcher<true> m(ops_.data(), FregExp.data(), FLengRegExp, Instring, failed_);
    found = m.Search(start);
    end = m.end_pos();
  } else {
    Matcher<false> m(ops_.data(), FregExp.data(), FLengRegExp, Instring, failed_);
    found = m.Search(start);
    end = m.end_pos();
  }
  if (found) FMatchEndPos = end;
  FMatchStartPos = MatchPos = FregExp[0].ValidFrom;
  return found;
}

}  // namespace zel
