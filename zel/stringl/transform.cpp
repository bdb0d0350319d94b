#include "zel/stringl/transform.h"

#include <algorithm>
#include <bitset>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/charclass.h"

namespace ZEL_EXPORT zel {

namespace {

// Applies `f` to every character of a copy of `S`.
template <class F>
String MapChars(StringView S, F f) {
  String out(S);
  for (Char& c : out) c = f(c);
  return out;
}

// Copies the characters of `S` that `keep` accepts.
template <class F>
String KeepChars(StringView S, F keep) {
  String out;
  out.reserve(S.size());
  for (Char c : S) {
    if (keep(c)) out += c;
  }
  return out;
}

bool IsHighSurrogate(Char c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(Char c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The first `n` code units of `S`, one fewer when the cut would split a
// surrogate pair (a character outside the basic plane) in two.
StringView Head(StringView S, size_t n) {
  if (n >= S.size()) return S;
  if (n > 0 && IsHighSurrogate(S[n - 1]) && IsLowSurrogate(S[n])) --n;
  return S.substr(0, n);
}

}  // namespace

String ReplaceCharInString(StringView S, Char OldChar, Char NewChar) {
  return MapChars(S, [&](Char c) { return c == OldChar ? NewChar : c; });
}

String RemoveCharInString(StringView S, Char C) {
  return KeepChars(S, [&](Char c) { return c != C; });
}

String RemoveMultiChars(StringView S, Char C) {
  bool previous_was_c = false;
  return KeepChars(S, [&](Char c) {
    const bool keep = c != C || !previous_was_c;
    previous_was_c = c == C;
    return keep;
  });
}

String RemoveControlChars(StringView S) {
  return KeepChars(S, [](Char c) { return c >= 32; });
}

String ReverseString(StringView S) {
  String out(S.rbegin(), S.rend());
  // A surrogate pair reversed reads low, high: put its halves back in order.
  for (size_t i = 0; i + 1 < out.size(); ++i) {
    if (IsLowSurrogate(out[i]) && IsHighSurrogate(out[i + 1])) {
      std::swap(out[i], out[i + 1]);
      ++i;
    }
  }
  return out;
}

String MultiChar(Char C, int N) { return String(static_cast<size_t>(std::clamp(N, 1, 255)), C); }

String ChangeCase(StringView S) {
  return MapChars(S, [](Char c) {
    if (c < 0x80) {  // most text: no call
      return static_cast<Char>((c | 0x20) >= u'a' && (c | 0x20) <= u'z' ? c ^ 0x20 : c);
    }
    const Char upper = AnsiUpperChar(c);
    return upper != c ? upper : AnsiLowerChar(c);
  });
}

String CapitalizeString(StringView S) {
  bool word_start = true;
  return MapChars(S, [&](Char c) {
    if (IsLetter(c) || c > 127) {
      if (word_start) c = AsciiUpper(c);
      word_start = false;
    } else if (!IsDigitLetter(c) && c < 8364) {
      word_start = true;
    } else {
      word_start = false;
    }
    return c;
  });
}

String ExpandDiphthongs(StringView S) {
  String out;
  out.reserve(S.size() + S.size() / 4);
  for (size_t i = 0; i < S.size(); ++i) {
    const Char c = S[i];
    // The capitals take a small 'e' only before a small letter.
    const bool small_next = i + 1 < S.size() && S[i + 1] >= u'a' && S[i + 1] <= u'z';
    const Char big_e = small_next ? u'e' : u'E';
    switch (c) {
      case 228: out += u"ae"; break;
      case 246: out += u"oe"; break;
      case 252: out += u"ue"; break;
      case 223: out += u"ss"; break;
      case 196: out += u'A'; out += big_e; break;
      case 214: out += u'O'; out += big_e; break;
      case 220: out += u'U'; out += big_e; break;
      case 181: out += u'u'; break;
      default: out += c; break;
    }
  }
  return out;
}

String ReduceStringToAZ09(StringView S) {
  return MapChars(S, [](Char c) { return IsDigitLetter(c) ? c : u'_'; });
}

String ReduceStringToFN83CompliantChars(StringView S) {
  static const std::bitset<128> kSafe = [] {
    std::bitset<128> safe;
    for (Char c : StringView(u"!#$%&'()-.@^_`{}~")) safe.set(c);
    for (int c = 0; c < 128; ++c) {
      if (IsDigitLetter(static_cast<Char>(c))) safe.set(static_cast<size_t>(c));
    }
    return safe;
  }();
  return MapChars(S, [](Char c) { return c < 128 && kSafe[c] ? c : u'_'; });
}

String LeftString(StringView S, uint8_t Width) {
  String out(Head(S, Width));
  out.resize(Width, u' ');
  return out;
}

String RightString(StringView S, uint8_t Width) {
  if (S.size() >= Width) return LeftString(S, Width);
  return String(Width - S.size(), u' ') + String(S);
}

String CenterString(StringView S, uint8_t Width) {
  if (S.size() >= Width) return LeftString(S, Width);
  const size_t n = Width - S.size();
  return String(n / 2, u' ') + String(S) + String(n - n / 2, u' ');
}

String AbbrevString(StringView S, int MaxLen) {
  if (MaxLen >= 0 && S.size() <= static_cast<size_t>(MaxLen)) return String(S);
  return String(Head(S, static_cast<size_t>(std::max(MaxLen - 2, 0)))) + u"..";
}

}  // namespace zel
