// TGrep beside PCRE2 with its JIT compiler.
//
// The five patterns: the first match in every line of a 16 MiB text (as
// UTF-16), TGrep beside PCRE2's 16-bit JIT on the same characters, and
// PCRE2's 8-bit JIT on the text as bytes for reference.  All must find the same lines at the same start positions (the ends may
// differ: TGrep's repetitions before further pattern take as few
// characters as they can).
//
// The growth: stacked repetitions on one line of 25,000, 50,000 and 100,000
// a's (no match, or one at the very end), TGrep alone.  The time should
// about double from one size to the next.
// Both code unit widths are named explicitly below.
#define PCRE2_CODE_UNIT_WIDTH 0
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <map>
#include <random>
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

void Compare(benchmark::State& state, const char* pattern, const Result& r) {
  static std::map<std::string, Result> seen;
  const auto [it, first] = seen.emplace(pattern, r);
  if (r.lines == 0) state.SkipWithError("no line matched");
  if (!first && (it->second.lines != r.lines || it->second.starts != r.starts)) {
    state.SkipWithError("TGrep and PCRE2 disagree");
  }
  state.counters["lines"] = static_cast<double>(r.lines);
}

void BM_Zel(benchmark::State& state, const char* pattern) {
  const Corpus& c = Text();
  zel::TGrep grep(nullptr);
  grep.SetRegExp(Wide(pattern));
  Result r;
  for (auto _ : state) {
    r = Result{};
    for (const auto& [start, length] : c.lines) {
      int pos = 0;
      if (grep.MatchString(std::u16string_view(c.chars).substr(start, length), pos)) {
        ++r.lines;
        r.starts += pos;
      }
    }
    benchmark::DoNotOptimize(r);
  }
  Compare(state, pattern, r);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bytes.size()));
}

// A pattern compiled by PCRE2 with its JIT, for 8-bit or 16-bit code units.
template <int kBits>
struct Pcre2Api;

template <>
struct Pcre2Api<8> {
  using Unit = char;
  using Code = pcre2_code_8;
  using Data = pcre2_match_data_8;
  static Code* Compile(const char* pattern, int* error, PCRE2_SIZE* offset) {
    return pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(pattern), PCRE2_ZERO_TERMINATED, 0, error,
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
  static Code* Compile(const char* pattern, int* error, PCRE2_SIZE* offset) {
    const std::u16string wide(pattern, pattern + std::char_traits<char>::length(pattern));
    return pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(wide.c_str()), wide.size(), 0, error,
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
  explicit Pcre2(const char* pattern) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = Api::Compile(pattern, &error, &offset);
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
void BM_Pcre2(benchmark::State& state, const char* pattern) {
  const Corpus& c = Text();
  Pcre2<kBits> re(pattern);
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
  Compare(state, pattern, r);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bytes.size()));
}

void BM_Pcre2Wide(benchmark::State& state, const char* pattern) { BM_Pcre2<16>(state, pattern); }
void BM_Pcre2Bytes(benchmark::State& state, const char* pattern) { BM_Pcre2<8>(state, pattern); }

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

// The anchor reads the same UTF-16 text as TGrep; PCRE2 on the 8-bit text
// (half the memory to read) runs beside them for reference.
#define ZEL_GREP_PAIR(name, pattern)                                                         \
  BENCHMARK_CAPTURE(BM_Zel, name, pattern)->Name("BM_Grep_" #name "/zel")->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(BM_Pcre2Wide, name, pattern)                                             \
      ->Name("BM_Grep_" #name "/anchor")->Unit(benchmark::kMillisecond);                     \
  BENCHMARK_CAPTURE(BM_Pcre2Bytes, name, pattern)                                              \
      ->Name("BM_Grep_" #name "/pcre2_8bit")->Unit(benchmark::kMillisecond)

ZEL_GREP_PAIR(abc, "abc");
ZEL_GREP_PAIR(digits, "[0-9]+");
ZEL_GREP_PAIR(a_any_c, "a.*c");
ZEL_GREP_PAIR(ab_plus, "(ab)+");
ZEL_GREP_PAIR(bol_abc, "^abc");

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
