#include "zel/stringl/search.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {
namespace {

String FoldLower(StringView s) {
  String r(s);
  for (Char& c : r) c = AsciiLower(c);
  return r;
}

#ifdef __SSE2__
// The starts i..i+7 at which the first character (`first`, in every lane)
// and the last character (`final`) of a needle of m characters both stand:
// two mask bits per start.
inline unsigned CandidateMask(const Char* d, size_t i, size_t m, __m128i first, __m128i final) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i + m - 1));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(a, first), _mm_cmpeq_epi16(b, final))));
}
#endif

// The first index at or after `from` where the non-empty `sub` occurs in
// `s`, or npos.  Candidates are the places where both the first and the last
// character of `sub` match; with SSE2 eight places are tested at once, so
// text without near-misses is skipped quickly.
size_t Find(StringView s, StringView sub, size_t from) {
  const size_t n = s.size(), m = sub.size();
  if (m > n || from > n - m) return StringView::npos;
  const Char* const d = s.data();
  const Char* const w = sub.data();
  const size_t last = n - m;  // the last start that fits
  size_t i = from;
  auto matches_at = [&](size_t pos) {
    return std::memcmp(d + pos + 1, w + 1, (m - 1) * sizeof(Char)) == 0;
  };
#ifdef __SSE2__
  const __m128i first = _mm_set1_epi16(static_cast<short>(w[0]));
  const __m128i final = _mm_set1_epi16(static_cast<short>(w[m - 1]));
  for (; i + 8 <= last + 1; i += 8) {
    unsigned mask = CandidateMask(d, i, m, first, final);
    while (mask != 0) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (matches_at(i + bit / 2)) return i + bit / 2;
      mask &= ~(3u << bit);  // two mask bits per character
    }
  }
#endif
  for (; i <= last; ++i) {
    if (d[i] == w[0] && matches_at(i)) return i;
  }
  return StringView::npos;
}

// Start index (from 0) of each non-overlapping occurrence of `sub` in `s`,
// from `from` on, handed to `f` until it returns false.
template <typename F>
void ForEachMatch(StringView s, StringView sub, size_t from, F f) {
  if (sub.empty()) return;
  for (size_t pos = Find(s, sub, from); pos != StringView::npos;
       pos = Find(s, sub, pos + sub.size())) {
    if (!f(pos)) return;
  }
}

// The number of non-overlapping occurrences of `sub` in `s`, taken left to
// right as ForEachMatch takes them, in one pass: the candidate mask of each
// block of eight starts is worked through in order, and a candidate that
// lies inside the occurrence just counted is passed over, so nothing is
// scanned twice (a Find per occurrence would start a new block after each).
int CountMatches(StringView s, StringView sub) {
  const size_t n = s.size(), m = sub.size();
  if (m == 0 || m > n) return 0;
  const Char* const d = s.data();
  const Char* const w = sub.data();
  const size_t last = n - m;  // the last start that fits
  // The characters between the first and the last, compared inline: the
  // needles counted are mostly short.
  const auto middle_matches = [&](size_t pos) {
    for (size_t k = 1; k + 1 < m; ++k) {
      if (d[pos + k] != w[k]) return false;
    }
    return true;
  };
  int count = 0;
  size_t next = 0;  // the first start not inside a counted occurrence
  size_t i = 0;
#ifdef __SSE2__
  const __m128i first = _mm_set1_epi16(static_cast<short>(w[0]));
  const __m128i final = _mm_set1_epi16(static_cast<short>(w[m - 1]));
  for (; i + 8 <= last + 1; i += 8) {
    unsigned mask = CandidateMask(d, i, m, first, final);
    while (mask != 0) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      mask &= ~(3u << bit);  // two mask bits per character
      const size_t pos = i + bit / 2;
      if (pos >= next && middle_matches(pos)) {
        ++count;
        next = pos + m;
      }
    }
  }
#endif
  for (; i <= last; ++i) {
    if (i >= next && d[i] == w[0] && d[i + m - 1] == w[m - 1] && middle_matches(i)) {
      ++count;
      next = i + m;
    }
  }
  return count;
}

// The membership test of a character set with macros.  Codes 0-255 sit in a
// table; characters above 255 are kept in a sorted list.
class CharSetTable {
 public:
  explicit CharSetTable(StringView set) {
    // Expanding the macros left to right marks the same characters as
    // replacing them pass by pass: occurrences cannot overlap (each begins
    // with "//" and has no '/' after it), and no expansion contains '/' or
    // can complete a macro begun before it.
    struct Macro {
      StringView name;
      unsigned first, last;
    };
    static constexpr Macro kMacros[] = {{u"//dig", u'0', u'9'},
                                        {u"//lc", u'a', u'z'},
                                        {u"//uc", u'A', u'Z'},
                                        {u"//31dwn", 0, 31},
                                        {u"//128up", 128, 255}};
    for (size_t i = 0; i < set.size();) {
      bool expanded = false;
      if (set[i] == u'/') {
        for (const Macro& m : kMacros) {
          if (set.substr(i, m.name.size()) == m.name) {
            for (unsigned c = m.first; c <= m.last; ++c) low_.set(c);
            i += m.name.size();
            expanded = true;
            break;
          }
        }
      }
      if (expanded) continue;
      const Char c = set[i++];
      if (c < 256) {
        low_.set(c);
      } else {
        high_.push_back(c);
      }
    }
    std::sort(high_.begin(), high_.end());
  }

  bool Contains(Char c) const {
    return c < 256 ? low_.test(c) : std::binary_search(high_.begin(), high_.end(), c);
  }

 private:
  std::bitset<256> low_;
  std::vector<Char> high_;
};

}  // namespace

int NumberedPos(StringView SubStr, StringView S, int StartPos, int Num, bool IgnoreCase) {
  if (Num < 1 || SubStr.empty()) return 0;
  const size_t start = static_cast<size_t>(std::max(StartPos, 1) - 1);
  if (start >= S.size()) return 0;
  String folded_text, folded_sub;
  StringView text = S, sub = SubStr;
  size_t offset = 0;
  if (IgnoreCase) {
    // Only the part that is searched needs folding.
    folded_text = FoldLower(S.substr(start));
    folded_sub = FoldLower(SubStr);
    text = folded_text;
    sub = folded_sub;
    offset = start;
  }
  int found = 0, result = 0;
  ForEachMatch(text, sub, start - offset, [&](size_t pos) {
    if (++found < Num) return true;
    result = static_cast<int>(pos + offset) + 1;
    return false;
  });
  return result;
}

int NumberedPosBw(StringView SubStr, StringView S, int StartPos, int Num, bool IgnoreCase) {
  if (Num < 1 || SubStr.empty() || S.empty()) return 0;
  const size_t m = SubStr.size();
  const size_t end = static_cast<size_t>(std::clamp(StartPos, 1, static_cast<int>(S.size())));
  if (end < m) return 0;
  String folded_text, folded_sub;
  StringView text = S.substr(0, end), sub = SubStr;
  if (IgnoreCase) {
    folded_text = FoldLower(text);
    folded_sub = FoldLower(SubStr);
    text = folded_text;
    sub = folded_sub;
  }
  // `limit` is the last start index whose occurrence still fits.
  size_t limit = end - m;
  for (int found = 0;;) {
    const size_t pos = text.rfind(sub, limit);
    if (pos == StringView::npos) return 0;
    if (++found == Num) return static_cast<int>(pos) + 1;
    if (pos < m) return 0;
    limit = pos - m;
  }
}

int PosLast(StringView SubStr, StringView S) {
  int last = 0;
  ForEachMatch(S, SubStr, 0, [&](size_t pos) {
    last = static_cast<int>(pos) + 1;
    return true;
  });
  return last;
}

int CountStringInString(StringView SubStr, StringView S, bool CaseSensitive) {
  String folded_text, folded_sub;
  if (!CaseSensitive && !SubStr.empty()) {
    folded_text = FoldLower(S);
    folded_sub = FoldLower(SubStr);
    S = folded_text;
    SubStr = folded_sub;
  }
  return CountMatches(S, SubStr);
}

int CountCharInString(Char C, StringView S, bool CaseSensitive) {
  if (CaseSensitive) return static_cast<int>(std::count(S.begin(), S.end(), C));
  const Char up = AsciiUpper(C);
  return static_cast<int>(
      std::count_if(S.begin(), S.end(), [up](Char c) { return AsciiUpper(c) == up; }));
}

bool TestAllChar(StringView S, Char C) {
  return !S.empty() && S.find_first_not_of(C) == StringView::npos;
}

int FindFirstNonBlank(StringView S) {
  const size_t pos = S.find_first_not_of(u' ');
  return pos == StringView::npos ? 0 : static_cast<int>(pos) + 1;
}

int FindFirstDigit(StringView S) {
  const size_t pos = S.find_first_of(u"0123456789");
  return pos == StringView::npos ? 0 : static_cast<int>(pos) + 1;
}

bool StringContains(StringView S, StringView CharSet) {
  const CharSetTable set(CharSet);
  return std::any_of(S.begin(), S.end(), [&](Char c) { return set.Contains(c); });
}

bool StringContainsOtherThan(StringView S, StringView CharSet) {
  const CharSetTable set(CharSet);
  return std::any_of(S.begin(), S.end(), [&](Char c) { return !set.Contains(c); });
}

bool EqualAnsiStrings(StringView S1, StringView S2) { return AnsiSameText(S1, S2); }

String ReplaceStringInString(StringView S, StringView OldStr, StringView NewStr,
                             bool IgnoreCase) {
  if (OldStr.empty()) return String(S);
  String folded_text, folded_old;
  StringView text = S, old = OldStr;
  if (IgnoreCase) {
    folded_text = FoldLower(S);
    folded_old = FoldLower(OldStr);
    text = folded_text;
    old = folded_old;
  }
  // Folding keeps every character in its place, so positions found in the
  // folded text cut the original.
  String result;
  result.reserve(NewStr.size() > OldStr.size() ? S.size() + S.size() / 2 : S.size());
  size_t done = 0;
  ForEachMatch(text, old, 0, [&](size_t pos) {
    result.append(S.substr(done, pos - done));
    result.append(NewStr);
    done = pos + old.size();
    return true;
  });
  result.append(S.substr(done));
  return result;
}

}  // namespace zel
