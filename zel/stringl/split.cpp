#include "zel/stringl/split.h"

#include <algorithm>
#include <utility>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/internal/lineend.h"
#include "zel/stringl/search.h"
#include "zel/stringl/strip.h"

namespace ZEL_EXPORT zel {
namespace {

// The most tokens `Tokenize` makes; the last one takes the remainder.
constexpr size_t kMaxTokens = 1000;

size_t FindNonEmpty(StringView s, StringView sub, size_t from = 0) {
  return sub.empty() ? StringView::npos : s.find(sub, from);
}

String MaybeTrim(StringView s, bool trim) { return trim ? StripLTBlanks(s) : String(s); }

}  // namespace

String ExtractAfterTrigger(StringView S, StringView Trigger, bool Trim) {
  const size_t pos = FindNonEmpty(S, Trigger);
  if (pos == StringView::npos) return String();
  return MaybeTrim(S.substr(pos + Trigger.size()), Trim);
}

String ExtractBeforeTrigger(StringView S, StringView Trigger, bool Trim) {
  const size_t pos = FindNonEmpty(S, Trigger);
  if (pos == StringView::npos) return String();
  return MaybeTrim(S.substr(0, pos), Trim);
}

void SplitString(StringView S, StringView Delim, bool Trim, String& Left, String& Right) {
  // `S` may view `Left` or `Right`: both parts are cut before either is set.
  String left, right;
  const size_t pos = FindNonEmpty(S, Delim);
  if (pos != StringView::npos) {
    left = MaybeTrim(S.substr(0, pos), Trim);
    right = MaybeTrim(S.substr(pos + Delim.size()), Trim);
  }
  Left = std::move(left);
  Right = std::move(right);
}

String ExtractSubString(StringView S, int Index, StringView Delim) {
  S = S.substr(0, S.find(u'\0'));  // read as a null-terminated string
  if (Index < 0 || S.empty() || Delim.empty()) return String();
  if (Index == 0 && Delim.size() == 1 && S[0] == Delim[0]) return String();
  size_t cur = 0;
  for (int i = 0; i < Index; ++i) {
    const size_t pos = S.find(Delim, cur);
    if (pos == StringView::npos) return String();
    cur = pos + Delim.size();
    if (cur >= S.size()) return String();
  }
  const size_t next = S.find(Delim, cur + 1);
  const StringView field = S.substr(cur, next == StringView::npos ? StringView::npos : next - cur);
  if (field.size() >= Delim.size() && AnsiSameText(field.substr(0, Delim.size()), Delim)) {
    return String();
  }
  return String(field);
}

int Tokenize(StringView S, StringView Delim, TOpenStringArray& Tokens) {
  // Cut into a new array: `S` may view one of the old tokens.
  TOpenStringArray tokens;
  size_t rest = 0;
  while (tokens.size() + 1 < kMaxTokens) {
    const size_t pos = FindNonEmpty(S, Delim, rest);
    if (pos == StringView::npos) break;
    tokens.emplace_back(S.substr(rest, pos - rest));
    rest = pos + Delim.size();
  }
  tokens.emplace_back(S.substr(rest));
  Tokens = std::move(tokens);
  return static_cast<int>(Tokens.size());
}

int Tokenize(StringView S, StringView Delim, Char EscChar, TOpenStringArray& Tokens) {
  // Cut into a new array: `S` may view one of the old tokens.
  TOpenStringArray tokens;
  size_t rest = 0;
  while (tokens.size() + 1 < kMaxTokens) {
    // The first occurrence in the rest that is not escaped; the character
    // before the rest's start does not count.
    size_t pos = FindNonEmpty(S, Delim, rest);
    while (pos != StringView::npos && pos > rest && S[pos - 1] == EscChar) {
      pos = S.find(Delim, pos + 1);
    }
    if (pos == StringView::npos) break;
    tokens.emplace_back(S.substr(rest, pos - rest));
    rest = pos + Delim.size();
  }
  tokens.emplace_back(S.substr(rest));

  const String esc(1, EscChar);
  const String esc_esc(2, EscChar);
  const String esc_delim = esc + String(Delim);
  for (String& token : tokens) {
    if (token.find(EscChar) == String::npos) continue;
    token = ReplaceStringInString(token, esc_esc, esc, true);
    token = ReplaceStringInString(token, esc_delim, Delim, true);
  }
  Tokens = std::move(tokens);
  return static_cast<int>(Tokens.size());
}

String ReadLnString(StringView S, int& StartPos, bool& EndReached, int Mode) {
  EndReached = false;
  if (StartPos < 1) StartPos = 1;
  String line;
  const size_t len = S.size();
  Char prev = 0;
  while (static_cast<size_t>(StartPos) <= len) {
    const Char c = S[static_cast<size_t>(StartPos) - 1];
    ++StartPos;
    if (c >= 32) {
      line += c;
    } else if (detail::EndsLine(Mode, c, prev)) {
      break;
    }
    prev = c;
  }
  EndReached = static_cast<size_t>(StartPos) > len;
  return line;
}

bool ParseQuotedName(Char C, Char Quote, String& Name, TQuotedStrState& State) {
  switch (State) {
    case vsStart:
      if (C == u' ') return true;
      if (C == Quote) {
        State = vs1stQuote;
      } else {
        Name += C;
        State = vsNormal;
      }
      return true;
    case vs1stQuote:
      if (C == Quote) {
        State = vsQuote;
      } else {
        Name += C;
      }
      return true;
    case vsQuote:
      if (C == Quote) {  // a doubled quote stands for one
        Name += C;
        State = vs1stQuote;
        return true;
      }
      State = vsEnd;
      return false;
    case vsNormal:
      if (C == u' ') {
        State = vsEnd;
        return false;
      }
      Name += C;
      return true;
    case vsEnd:
    default:
      State = vsEnd;
      return false;
  }
}

String ExtractParam(StringView S, int Index, Char Delim, Char Quote, StringView Default) {
  if (Index < 1) return String(Default);
  const bool quoting = Quote != 0;
  // Find the raw text of parameter `Index`: delimiters inside quotes do
  // not count.
  int number = 1;
  size_t begin = 0, i = 0;
  bool quoted = false;
  for (; i < S.size(); ++i) {
    const Char c = S[i];
    if (quoting && c == Quote) {
      quoted = !quoted;
    } else if (c == Delim && !quoted) {
      if (number == Index) break;
      ++number;
      begin = i + 1;
    }
  }
  if (number != Index) return String(Default);
  const String raw = StripLTBlanks(S.substr(begin, i - begin));
  String value;
  value.reserve(raw.size());
  quoted = false;
  for (size_t k = 0; k < raw.size(); ++k) {
    const Char c = raw[k];
    if (!quoting || c != Quote) {
      value += c;
    } else if (quoted && k + 1 < raw.size() && raw[k + 1] == Quote) {
      value += c;  // a doubled quote inside quotes
      ++k;
    } else {
      quoted = !quoted;
    }
  }
  return value.empty() ? String(Default) : value;
}

}  // namespace zel
