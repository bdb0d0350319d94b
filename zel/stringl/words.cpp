#include "zel/stringl/words.h"

#include <algorithm>

#include "zel/platform/export.h"
#include "zel/stringl/search.h"
#include "zel/zelbase/csvdelim.h"

namespace ZEL_EXPORT zel {
namespace {

std::bitset<256> InitialWordSeps() {
  std::bitset<256> seps;
  for (Char c : StringView(u"\n\r \"#%'()*+,-./:;<=>[\\]{}")) seps.set(c);
  seps.set(0);
  return seps;
}

}  // namespace

// Initialised before the library's other dynamic initialisers, so that
// nothing can see it empty.
std::bitset<256> WordSeps __attribute__((init_priority(101))) = InitialWordSeps();

int CountWords(StringView S) {
  int words = 0, run = 0;
  for (Char c : S) {
    if (IsWordSep(c)) {
      if (run >= 2) ++words;
      run = 0;
    } else {
      ++run;
    }
  }
  return words;
}

bool IsAbbreviation(StringView S) {
  int run = 0, longest = 0, small = 0;
  for (Char c : S) {
    if (c >= u'A' && c <= u'Z') {
      longest = std::max(longest, ++run);
      continue;
    }
    run = 0;
    if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) ++small;
  }
  return longest >= 2 && small < longest;
}

String ExtractWordFromString(StringView S, int Pos) {
  int start, end;
  return ExtractWordFromString(S, Pos, start, end);
}

String ExtractWordFromString(StringView S, int Pos, int& StartPos, int& EndPos) {
  StartPos = EndPos = 0;
  if (Pos < 1 || static_cast<size_t>(Pos) > S.size()) return String();
  const size_t at = static_cast<size_t>(Pos) - 1;
  if (IsWordSep(S[at])) {
    StartPos = EndPos = Pos;
    return String(1, S[at]);
  }
  size_t first = at, last = at;
  while (first > 0 && !IsWordSep(S[first - 1])) --first;
  while (last + 1 < S.size() && !IsWordSep(S[last + 1])) ++last;
  StartPos = static_cast<int>(first) + 1;
  EndPos = static_cast<int>(last) + 1;
  return String(S.substr(first, last - first + 1));
}

TCSVDelimiters DetectCSVDelimiter(StringView S) {
  TCSVDelimiters best = csvUnknown;
  int best_count = 0;
  for (int d = csvUnknown; d <= csvTab; ++d) {
    const int count = CountCharInString(CSVDELIMITERS[static_cast<size_t>(d)], S, true);
    if (count > best_count) {
      best_count = count;
      best = static_cast<TCSVDelimiters>(d);
    }
  }
  return best;
}

}  // namespace zel
