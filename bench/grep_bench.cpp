// TGrep beside PCRE2 with its JIT compiler, RE2 and Hyperscan.
//
// The six searches: the first match in every line of a 16 MiB text of
// ASCII lines, fed line by line as bytes the way a program reading a file
// gets them.  TGrep::MatchUtf8 on the bytes (/zel) beside PCRE2's 8-bit JIT
// (/anchor), RE2 (/re2) and Hyperscan (/hyperscan, when built with them).
// For reference: what a caller of the UTF-16 MatchString pays (/zel_decode:
// each line widened into a reused String first, as the command-line tool
// did; /zel_utf16: the text widened beforehand) and PCRE2's 16-bit JIT on
// the widened text (/pcre2_16bit).  All must find the same lines at the
// same start positions (the ends may differ: TGrep's repetitions before
// further pattern take as few characters as they can); Hyperscan, asked
// for no start of match (its fastest mode), is checked on the lines only.
//
// The growth: stacked repetitions on one line of 25,000, 50,000 and 100,000
// a's (no match, or one at the very end), TGrep alone.  The time should
// about double from one size to the next.
// Both code unit widths are named explicitly below.
#define PCRE2_CODE_UNIT_WIDTH 0
#include <benchmark/benchmark.h>
#include <pcre2.h>
#if defined(ZEL_BENCH_RE2)
#include <re2/re2.h>
#endif
#if defined(ZEL_BENCH_HYPERSCAN)
#include <hs/hs.h>
#endif

#include <map>
#include <memory>
#include <random>
#include <string_view>
#include <string>
#include <vector>

#include "zel/stringl/grep.h"

namespace {

constexpr size_t kTextLength = size_t{16} << 20;

struct Corpus {
  std::string bytes;                             // for PCRE2
  std::u16string chars;                          // the same text for TGrep
  std::vector<std::pair<size_t, size_t>> lines;  // start, length
};

// Words of letters (the first eight more often) and numbers, lines of 20 to
// 120 characters.
const Corpus& Text() {
  static const Corpus corpus = [] {
    Corpus c;
    std::mt19937 rng(7);
    c.bytes.reserve(kTextLength);
    while (c.bytes.size() < kTextLength) {
      const size_t start = c.bytes.size();
      const size_t want = 20 + rng() % 101;
      while (c.bytes.size() - start < want) {
        if (rng() % 5 == 0) {
          for (int n = 1 + rng() % 4; n > 0; --n) c.bytes += static_cast<char>('0' + rng() % 10);
        } else {
          for (int n = 2 + rng() % 7; n > 0; --n) {
            c.bytes += static_cast<char>(rng() % 2 ? 'a' + rng() % 8 : 'a' + rng() % 26);
          }
        }
        c.bytes += ' ';
      }
      c.lines.emplace_back(start, c.bytes.size() - start);
      c.bytes += '\n';
    }
    c.chars.assign(c.bytes.begin(), c.bytes.end());
    return c;
  }();
  return corpus;
}

zel::String Wide(const char* pattern) {
  return zel::String(pattern, pattern + std::char_traits<char>::length(pattern));
}

// The matched lines and the sum of their match starts, per pattern, from
// whichever side ran first; the other side must agree.
struct Result {
  long lines = 0;
  long long starts = 0;
};

// A search: the pattern in TGrep's language, the same in PCRE2's and RE2's
// (where they write it differently), and whether case is ignored.
struct Search {
  const char* zel;
  const char* perl;
  bool ignore_case = false;
};

void Compare(benchmark::State& state, const Search& s, const Result& r, bool lines_only = false) {
  static std::map<std::pair<std::string, bool>, long> seen_lines;
  static std::map<std::pair<std::string, bool>, long long> seen_starts;
  const auto key = std::make_pair(std::string(s.zel), s.ignore_case);
  if (r.lines == 0) state.SkipWithError("no line matched");
  const auto [lines, first] = seen_lines.emplace(key, r.lines);
  if (!first && lines->second != r.lines) state.SkipWithError("the engines disagree on the lines");
  if (!lines_only) {
    const auto [starts, first_starts] = seen_starts.emplace(key, r.starts);
    if (!first_starts && starts->second != r.starts) state.SkipWithError("the engines disagree on the starts");
  }
  state.counters["lines"] = static_cast<double>(r.lines);
}

void Bytes(benchmark::State& state, const Corpus& c) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bytes.size()));
}

zel::TGrep* NewGrep(const Search& s) {
  auto* grep = new zel::TGrep(nullptr);
  grep->SetIgnoreCase(s.ignore_case);
  grep->SetRegExp(Wide(s.zel));
  return grep;
}

// TGrep over every line; `match(grep, i, start, length, pos)` searches
// line i (which starts at `start` in the text and has `length` units).
template <class MatchLine>
void RunZel(benchmark::State& state, const Search& s, MatchLine match) {
  const Corpus& c = Text();
  std::unique_ptr<zel::TGrep> grep(NewGrep(s));
  Result r;
  for (auto _ : state) {
    r = Result{};
    for (const auto& [start, length] : c.lines) {
      int pos = 0;
      if (match(*grep, start, length, pos)) {
        ++r.lines;
        r.starts += pos;
      }
    }
    benchmark::DoNotOptimize(r);
  }
  Compare(state, s, r);
  Bytes(state, c);
}

// The lines as bytes, matched as bytes.
void BM_Zel(benchmark::State& state, Search s) {
  const std::string_view text = Text().bytes;
  RunZel(state, s, [&](zel::TGrep& grep, size_t start, size_t length, int& pos) {
    return grep.MatchUtf8(text.substr(start, length), pos);
  });
}

// The lines as bytes, each widened into one reused String for MatchString.
void BM_ZelDecode(benchmark::State& state, Search s) {
  const std::string_view text = Text().bytes;
  zel::String line;
  RunZel(state, s, [&](zel::TGrep& grep, size_t start, size_t length, int& pos) {
    line.clear();
    zel::AppendFromUtf8(line, text.substr(start, length));
    return grep.MatchString(line, pos);
  });
}

// The text widened beforehand.
void BM_ZelUtf16(benchmark::State& state, Search s) {
  const std::u16string_view text = Text().chars;
  RunZel(state, s, [&](zel::TGrep& grep, size_t start, size_t length, int& pos) {
    return grep.MatchString(text.substr(start, length), pos);
  });
}

// A pattern compiled by PCRE2 with its JIT, for 8-bit or 16-bit code units.
template <int kBits>
struct Pcre2Api;

template <>
struct Pcre2Api<8> {
  using Unit = char;
  using Code = pcre2_code_8;
  using Data = pcre2_match_data_8;
  static Code* Compile(const char* pattern, uint32_t options, int* error, PCRE2_SIZE* offset) {
    return pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(pattern), PCRE2_ZERO_TERMINATED, options, error,
                           offset, nullptr);
  }
  static int Jit(Code* c) { return pcre2_jit_compile_8(c, PCRE2_JIT_COMPLETE); }
  static Data* NewData(Code* c) { return pcre2_match_data_create_from_pattern_8(c, nullptr); }
  static int Match(Code* c, const Unit* s, size_t n, Data* d) {
    return pcre2_jit_match_8(c, reinterpret_cast<PCRE2_SPTR8>(s), n, 0, 0, d, nullptr);
  }
  static PCRE2_SIZE Start(Data* d) { return pcre2_get_ovector_pointer_8(d)[0]; }
  static void Free(Code* c, Data* d) {
    pcre2_match_data_free_8(d);
    pcre2_code_free_8(c);
  }
};

template <>
struct Pcre2Api<16> {
  using Unit = char16_t;
  using Code = pcre2_code_16;
  using Data = pcre2_match_data_16;
  static Code* Compile(const char* pattern, uint32_t options, int* error, PCRE2_SIZE* offset) {
    const std::u16string wide(pattern, pattern + std::char_traits<char>::length(pattern));
    return pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(wide.c_str()), wide.size(), options, error,
                            offset, nullptr);
  }
  static int Jit(Code* c) { return pcre2_jit_compile_16(c, PCRE2_JIT_COMPLETE); }
  static Data* NewData(Code* c) { return pcre2_match_data_create_from_pattern_16(c, nullptr); }
  static int Match(Code* c, const Unit* s, size_t n, Data* d) {
    return pcre2_jit_match_16(c, reinterpret_cast<PCRE2_SPTR16>(s), n, 0, 0, d, nullptr);
  }
  static PCRE2_SIZE Start(Data* d) { return pcre2_get_ovector_pointer_16(d)[0]; }
  static void Free(Code* c, Data* d) {
    pcre2_match_data_free_16(d);
    pcre2_code_free_16(c);
  }
};

template <int kBits>
class Pcre2 {
  using Api = Pcre2Api<kBits>;

 public:
  Pcre2(const char* pattern, bool ignore_case) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = Api::Compile(pattern, ignore_case ? PCRE2_CASELESS : 0, &error, &offset);
    if (code_ != nullptr) jit_ = Api::Jit(code_) == 0;
    if (code_ != nullptr) data_ = Api::NewData(code_);
  }
  ~Pcre2() { Api::Free(code_, data_); }
  Pcre2(const Pcre2&) = delete;
  Pcre2& operator=(const Pcre2&) = delete;

  bool ready() const { return code_ != nullptr && jit_; }
  // The match start (0-based) in s[0, n), or -1.
  long Find(const typename Api::Unit* s, size_t n) {
    const int rc = Api::Match(code_, s, n, data_);
    return rc > 0 ? static_cast<long>(Api::Start(data_)) : -1;
  }

 private:
  typename Api::Code* code_ = nullptr;
  typename Api::Data* data_ = nullptr;
  bool jit_ = false;
};

template <int kBits>
void BM_Pcre2(benchmark::State& state, const Search& s) {
  const Corpus& c = Text();
  Pcre2<kBits> re(s.perl, s.ignore_case);
  if (!re.ready()) {
    state.SkipWithError("PCRE2 could not compile the pattern with its JIT");
    return;
  }
  const auto* text = kBits == 8 ? static_cast<const void*>(c.bytes.data()) : c.chars.data();
  Result r;
  for (auto _ : state) {
    r = Result{};
    for (const auto& [start, length] : c.lines) {
      const long at = re.Find(static_cast<const typename Pcre2Api<kBits>::Unit*>(text) + start, length);
      if (at >= 0) {
        ++r.lines;
        r.starts += at + 1;
      }
    }
    benchmark::DoNotOptimize(r);
  }
  Compare(state, s, r);
  Bytes(state, c);
}

void BM_Pcre2Wide(benchmark::State& state, Search s) { BM_Pcre2<16>(state, s); }
void BM_Pcre2Bytes(benchmark::State& state, Search s) { BM_Pcre2<8>(state, s); }

#if defined(ZEL_BENCH_RE2)
void BM_Re2(benchmark::State& state, Search s) {
  const Corpus& c = Text();
  RE2::Options options;
  options.set_case_sensitive(!s.ignore_case);
  const RE2 re(s.perl, options);
  if (!re.ok()) {
    state.SkipWithError("RE2 could not compile the pattern");
    return;
  }
  Result r;
  for (auto _ : state) {
    r = Result{};
    for (const auto& [start, length] : c.lines) {
      const re2::StringPiece line(c.bytes.data() + start, length);
      re2::StringPiece match;
      if (re.Match(line, 0, line.size(), RE2::UNANCHORED, &match, 1)) {
        ++r.lines;
        r.starts += match.data() - line.data() + 1;
      }
    }
    benchmark::DoNotOptimize(r);
  }
  Compare(state, s, r);
  Bytes(state, c);
}
#endif

#if defined(ZEL_BENCH_HYPERSCAN)
// Block mode, one scan per line, stopped at the first match.
void BM_Hyperscan(benchmark::State& state, Search s) {
  const Corpus& c = Text();
  hs_database_t* db = nullptr;
  hs_compile_error_t* error = nullptr;
  const unsigned flags = HS_FLAG_SINGLEMATCH | (s.ignore_case ? HS_FLAG_CASELESS : 0u);
  if (hs_compile(s.perl, flags, HS_MODE_BLOCK, nullptr, &db, &error) != HS_SUCCESS) {
    hs_free_compile_error(error);
    state.SkipWithError("Hyperscan could not compile the pattern");
    return;
  }
  hs_scratch_t* scratch = nullptr;
  if (hs_alloc_scratch(db, &scratch) != HS_SUCCESS) {
    hs_free_database(db);
    state.SkipWithError("Hyperscan scratch");
    return;
  }
  const auto on_match = [](unsigned, unsigned long long, unsigned long long, unsigned, void*) {
    return 1;  // stop: the line matched
  };
  Result r;
  for (auto _ : state) {
    r = Result{};
    for (const auto& [start, length] : c.lines) {
      const hs_error_t rc = hs_scan(db, c.bytes.data() + start, static_cast<unsigned>(length), 0, scratch,
                                    on_match, nullptr);
      if (rc == HS_SCAN_TERMINATED) ++r.lines;
    }
    benchmark::DoNotOptimize(r);
  }
  hs_free_scratch(scratch);
  hs_free_database(db);
  Compare(state, s, r, /*lines_only=*/true);
  Bytes(state, c);
}
#endif

// One line of `state.range(0)` a's, with `tail` after it.
void BM_Long(benchmark::State& state, const char* pattern, const char16_t* tail, bool found) {
  zel::String line(static_cast<size_t>(state.range(0)), u'a');
  line += tail;
  zel::TGrep grep(nullptr);
  grep.SetRegExp(Wide(pattern));
  for (auto _ : state) {
    int pos = 0;
    if (grep.MatchString(line, pos) != found) state.SkipWithError("unexpected result");
    benchmark::DoNotOptimize(pos);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

#define ZEL_GREP_ONE(fn, name, tag, ...) \
  BENCHMARK_CAPTURE(fn, name, Search{__VA_ARGS__})->Name("BM_Grep_" #name "/" tag)->Unit(benchmark::kMillisecond)
#if defined(ZEL_BENCH_RE2)
#define ZEL_GREP_RE2(name, ...) ZEL_GREP_ONE(BM_Re2, name, "re2", __VA_ARGS__)
#else
#define ZEL_GREP_RE2(name, ...) static_assert(true)
#endif
#if defined(ZEL_BENCH_HYPERSCAN)
#define ZEL_GREP_HYPERSCAN(name, ...) ZEL_GREP_ONE(BM_Hyperscan, name, "hyperscan", __VA_ARGS__)
#else
#define ZEL_GREP_HYPERSCAN(name, ...) static_assert(true)
#endif
#define ZEL_GREP_ALL(name, ...)                               \
  ZEL_GREP_ONE(BM_Zel, name, "zel", __VA_ARGS__);             \
  ZEL_GREP_ONE(BM_Pcre2Bytes, name, "anchor", __VA_ARGS__);   \
  ZEL_GREP_RE2(name, __VA_ARGS__);                            \
  ZEL_GREP_HYPERSCAN(name, __VA_ARGS__);                      \
  ZEL_GREP_ONE(BM_ZelDecode, name, "zel_decode", __VA_ARGS__); \
  ZEL_GREP_ONE(BM_ZelUtf16, name, "zel_utf16", __VA_ARGS__);  \
  ZEL_GREP_ONE(BM_Pcre2Wide, name, "pcre2_16bit", __VA_ARGS__)

ZEL_GREP_ALL(abc, "abc", "abc");
ZEL_GREP_ALL(digits, "[0-9]+", "[0-9]+");
ZEL_GREP_ALL(a_any_c, "a.*c", "a.*c");
ZEL_GREP_ALL(ab_plus, "(ab)+", "(?:ab)+");
ZEL_GREP_ALL(bol_abc, "^abc", "^abc");
ZEL_GREP_ALL(abc_i, "abc", "abc", true);

#define ZEL_GREP_LONG(name, pattern, tail, found)                   \
  BENCHMARK_CAPTURE(BM_Long, name, pattern, tail, found)            \
      ->Name("BM_GrepLongLine_" #name "/zel")                       \
      ->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)

ZEL_GREP_LONG(a_star_b, "a*b", u"", false);
ZEL_GREP_LONG(set_star_x, "[a-z]*x", u"", false);
ZEL_GREP_LONG(a_star5_b, "a*a*a*a*a*b", u"", false);
ZEL_GREP_LONG(a_plus5_b, "a+a+a+a+a+b", u"", false);
ZEL_GREP_LONG(any_star3_eq, ".*.*.*=.*", u"", false);
ZEL_GREP_LONG(set_star5_b, "[a]*[a]*[a]*[a]*[a]*b", u"", false);
ZEL_GREP_LONG(a_star5_b_found, "a*a*a*a*a*b", u"b", true);

}  // namespace

BENCHMARK_MAIN();
