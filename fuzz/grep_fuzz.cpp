// Fuzzes TGrep: compiles a pattern, checks the token list, matches an input
// and lists the tokens.  The match is checked against a plain reference
// walk over the public token records (no start-position scan, no remembered
// failures, the input folded as a copy), so a fault in the matcher's
// shortcuts shows as a difference.  The input is also matched as bytes
// (MatchUtf8 on the raw UTF-8), which must agree with MatchString on the
// decoded input in every result, position and token, over two searches in
// a row.
//
// Input layout: byte 0 holds the flags (bit 0 IgnoreCase, bits 1-3 the
// search start - 1, bit 4 every backtracking search through the matcher's
// table, bits 5-6 how many widths below the widest the literal scan keeps
// to); the rest, read as UTF-8 (invalid bytes as
// Windows-1252), is the pattern, a line feed, and the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/stringl/grep.h"
#include "zel/stringl/internal/grepop.h"
#include "zel/stringl/internal/grepscan.h"

namespace {

using zel::Char;
using zel::String;
using zel::TGrepToken;

void Check(bool ok) {
  if (!ok) std::abort();
}

// The documented walk, item by item.  `budget` bounds the work; when it runs
// out the answer is unknown.
class Reference {
 public:
  Reference(std::vector<TGrepToken>& t, const String& s) : t_(t), s_(s), l_(static_cast<int>(s.size())) {}

  long budget = 50000;
  int end = 0;

  bool Search(int start) {
    for (int p = start; p <= l_ + 1; ++p) {
      if (M(p, 0)) return true;
      if (t_[0].Action == zel::taBol) return false;
    }
    return false;
  }

 private:
  bool Member(const TGrepToken& t, int p) const {
    return p <= l_ && s_[p - 1] < 256 && t.Params[s_[p - 1]] == u'*';
  }
  bool Lit(const TGrepToken& t, int p) const {
    if (p - 1 + t.NumChars > l_) return false;
    for (int i = 0; i < t.NumChars; ++i) {
      if (s_[p - 1 + i] != t.Params[1 + i]) return false;
    }
    return true;
  }
  // Length of the repetition operand at p, or -1.
  int Occ(const TGrepToken& t, int p) const {
    if (t.NumChars < 0) return Member(t, p) ? 1 : -1;
    if (t.NumChars == 0) return p <= l_ ? 1 : -1;
    return Lit(t, p) ? t.NumChars : -1;
  }

  bool M(int p, size_t k) {
    if (--budget < 0) return false;
    TGrepToken& t = t_[k];
    const bool last = k + 1 == t_.size();
    bool pass = true;
    switch (t.Action) {
      case zel::taNormal: pass = Lit(t, p); break;
      case zel::taAnyByte: pass = p <= l_; break;
      case zel::taEol: pass = p > l_ && last; break;
      case zel::taBol: pass = p == 1; break;
      case zel::taSet: pass = Member(t, p); break;
      case zel::taMult1: pass = Occ(t, p) > 0; break;
      default: break;
    }
    if (!pass) return false;
    t.ValidFrom = p;
    const bool rep = t.Action == zel::taMult0 || t.Action == zel::taMult1;
    if (last) {
      if (t.Action == zel::taNormal) end = p + t.NumChars - 1;
      if (t.Action == zel::taAnyByte || t.Action == zel::taSet) end = p;
      if (t.Action == zel::taEol) end = l_;
      if (t.Action == zel::taBol) end = 1;
      if (rep) {
        int q = p;
        for (int c; (c = Occ(t, q)) > 0;) q += c;
        end = q - 1;
      }
      if (t.Action == zel::taOpti) end = Occ(t, p) > 0 ? p + Occ(t, p) - 1 : p - 1;
      return true;
    }
    switch (t.Action) {
      case zel::taNormal: return M(p + t.NumChars, k + 1);
      case zel::taAnyByte:
      case zel::taSet: return M(p + 1, k + 1);
      case zel::taBol: return M(1, k + 1);
      case zel::taOpti: return M(p, k + 1) || (Occ(t, p) > 0 && M(p + Occ(t, p), k + 1));
      case zel::taEol: return false;
      default: break;
    }
    int q = p;
    if (t.Action == zel::taMult1) q += Occ(t, p);
    for (;;) {
      if (M(q, k + 1)) return true;
      const int c = Occ(t, q);
      if (c <= 0) return false;
      q += c;
    }
  }

  std::vector<TGrepToken>& t_;
  const String& s_;
  int l_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool ignore_case = data[0] & 1;
  const int search_start = ((data[0] >> 1) & 7) - 1;
  zel::detail::ForceGrepTable((data[0] >> 4) & 1);
  // Before the pattern is compiled: its literals take the scan chosen then.
  zel::detail::LimitGrepVector(static_cast<zel::detail::GrepVector>(zel::detail::kGrepAvx512 - ((data[0] >> 5) & 3)));
  const String all = zel::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const size_t cut = all.find(u'\n');
  const String pattern = all.substr(0, cut);
  const String input = cut == String::npos ? String() : all.substr(cut + 1);

  zel::TGrep grep(nullptr);
  grep.SetStopOnError(false);
  grep.SetIgnoreCase(ignore_case);
  grep.SetRegExp(pattern);
  const int n = grep.NrOfRegExpTokens();
  Check(n >= 0 && n <= zel::kGrepMaxTokens);
  Check(grep.LastError() >= 0 && grep.LastError() <= zel::grepErrTooLong);
  std::vector<TGrepToken> tokens;
  for (int k = 1; k <= n; ++k) {
    const TGrepToken t = grep.GetRegExpToken(k);
    Check(t.NumChars >= -1 && t.NumChars <= 255);
    Check(t.Action <= zel::taOpti);
    if (t.Action == zel::taSet) Check(t.NumChars == -1);
    if (t.Action == zel::taNormal) Check(t.NumChars >= 0);
    if (t.Action == zel::taAnyByte || t.Action == zel::taBol || t.Action == zel::taEol) Check(t.NumChars == 0);
    if (t.NumChars == -1) {
      for (Char c : t.Params) Check(c == u'*' || c == u' ');
    }
    Check(t.Action != zel::taEol || k == n);
    tokens.push_back(t);
  }
  const std::vector<String> listing = grep.RegExpListing();
  Check(listing.size() == static_cast<size_t>(n) + 1);
  Check(listing.back() == zel::GrepErrorMessage(grep.LastError()));

  // The byte search beside the UTF-16 one, on two more instances.  ASCII
  // bytes are never part of a UTF-8 sequence, so the raw input is what
  // follows the first line feed byte.
  {
    const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t raw_cut = raw.find('\n');
    const std::string_view raw_input =
        raw_cut == std::string_view::npos ? std::string_view() : raw.substr(raw_cut + 1);
    Check(zel::FromUtf8(raw_input) == input);
    zel::TGrep chars(nullptr), bytes(nullptr);
    for (zel::TGrep* g : {&chars, &bytes}) {
      g->SetStopOnError(false);
      g->SetIgnoreCase(ignore_case);
      g->SetRegExp(pattern);
    }
    for (const int start : {search_start, 1}) {
      chars.SetSearchStartPos(start);
      bytes.SetSearchStartPos(start);
      int pos_chars = -1, pos_bytes = -1;
      Check(chars.MatchString(input, pos_chars) == bytes.MatchUtf8(raw_input, pos_bytes));
      Check(pos_chars == pos_bytes);
      Check(chars.MatchStartPos() == bytes.MatchStartPos());
      Check(chars.MatchEndPos() == bytes.MatchEndPos());
      for (int k = 1; k <= n; ++k) Check(chars.GetRegExpToken(k).ValidFrom == bytes.GetRegExpToken(k).ValidFrom);
    }
  }

  grep.SetSearchStartPos(search_start);
  int pos = -1;
  const bool found = grep.MatchString(input, pos);
  Check(pos == grep.MatchStartPos());
  const int length = static_cast<int>(input.size());
  if (found) {
    Check(pos >= 1 && pos <= length + 1);
    // A lone '^' ends at 1, even on the empty input.
    const bool bol_last = n > 0 && tokens[n - 1].Action == zel::taBol;
    Check(grep.MatchEndPos() >= pos - 1 && grep.MatchEndPos() <= std::max(length, bol_last ? 1 : 0));
  }
  if (n == 0 || (n == 1 && tokens[0].Action == zel::taMult0)) return 0;

  // The same search by the reference walk.
  const String folded = ignore_case ? zel::LowerCase(input) : input;
  std::vector<TGrepToken> ref_tokens = tokens;
  for (auto& t : ref_tokens) t.ValidFrom = 0;
  Reference ref(ref_tokens, folded);
  const bool ref_found = ref.Search(std::max(search_start, 1));
  if (ref.budget < 0) return 0;
  Check(ref_found == found);
  Check(ref_tokens[0].ValidFrom == pos);
  if (found) Check(ref.end == grep.MatchEndPos());
  // Found or not, every token stands where the walk last passed it.
  for (int k = 1; k <= n; ++k) Check(ref_tokens[k - 1].ValidFrom == grep.GetRegExpToken(k).ValidFrom);
  return 0;
}
