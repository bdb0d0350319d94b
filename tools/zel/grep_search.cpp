#include "tools/zel/grep_search.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "tools/zel/host.h"

namespace zel::cli {
namespace {

constexpr size_t kBlockSize = 256 * 1024;

// The SGR sequences GNU grep uses: file name magenta, line number green,
// separators cyan, matched text bold red.
constexpr std::string_view kColorName = "\33[35m\33[K";
constexpr std::string_view kColorLineNumber = "\33[32m\33[K";
constexpr std::string_view kColorSeparator = "\33[36m\33[K";
constexpr std::string_view kColorMatch = "\33[01;31m\33[K";
constexpr std::string_view kColorEnd = "\33[m\33[K";

// How common a byte is in text and source code: its position in this list
// (bytes not listed are rarer than all listed ones).  The literal search
// looks for the rarest byte of a literal first.
constexpr std::string_view kCommonBytes =
    " etaoinsrhldcumfpgwybvkxjqz\n\t.,_;:()=\"'-/0123456789ETAOINSRHLDCUMFPGWYBVKXJQZ{}<>*#&|+[]!?";

int Commonness(unsigned char c) {
  const size_t at = kCommonBytes.find(static_cast<char>(c));
  return at == std::string_view::npos ? -1 : static_cast<int>(kCommonBytes.size() - at);
}

// Finds an ASCII literal in a block: `memchr` for its rarest byte, then a
// comparison around each candidate.  When candidates turn out to be dense
// and false (the "rare" byte is common in this input), it switches to
// `memmem` for the rest of the run.
class LiteralFinder {
 public:
  explicit LiteralFinder(std::string needle) : needle_(std::move(needle)) {
    for (size_t i = 0; i < needle_.size(); ++i) {
      if (Commonness(static_cast<unsigned char>(needle_[i])) <
          Commonness(static_cast<unsigned char>(needle_[rare_])))
        rare_ = i;
    }
  }

  // The first occurrence in [begin, end), or null.
  const char* Find(const char* begin, const char* end) {
    const size_t n = needle_.size();
    if (static_cast<size_t>(end - begin) < n) return nullptr;
    if (use_memmem_) {
      return static_cast<const char*>(FindBytes(begin, static_cast<size_t>(end - begin),
                                                needle_.data(), n));
    }
    const char rare = needle_[rare_];
    const char* p = begin + rare_;
    const char* const last = end - n + rare_;  // the last place the rare byte can be
    while (p <= last) {
      p = static_cast<const char*>(std::memchr(p, rare, static_cast<size_t>(last - p) + 1));
      if (p == nullptr) break;
      const char* start = p - rare_;
      if (std::memcmp(start, needle_.data(), n) == 0) {
        scanned_ += static_cast<uint64_t>(start - begin);
        return start;
      }
      ++false_hits_;
      ++p;
    }
    scanned_ += static_cast<uint64_t>(end - begin);
    // More than one false candidate per 32 bytes: memmem's shifts do better.
    if (false_hits_ > 1024 && false_hits_ * 32 > scanned_) use_memmem_ = true;
    return nullptr;
  }

 private:
  std::string needle_;
  size_t rare_ = 0;
  uint64_t false_hits_ = 0;
  uint64_t scanned_ = 0;
  bool use_memmem_ = false;
};

// The hint for an escape that means nothing here, by its character.
std::string_view EscapeHint(char c) {
  switch (c) {
    case 'd': return "for a digit write [0-9]";
    case 'D': return "for a non-digit write [^0-9]";
    case 'w': return "for a word character write [0-9A-Za-z_]";
    case 'W': return "for a non-word character write [^0-9A-Za-z_]";
    case 's': return "for a blank write [ \\#09]";
    case 'S': return "for a non-blank write [^ \\#09]";
    case 't': return "for a tab write \\#09";
    case 'n': case 'r': return "lines are matched without their line end";
    case 'b': case 'B': case '<': case '>': return "there are no word boundaries";
    default: break;
  }
  if (c >= '0' && c <= '9') return "there are no back-references";
  return "escapes only quote the character after them; \\#hh gives the character with hexadecimal code hh";
}

// Appends `field` and the ':' after it, coloured with `color` when set.
void AppendField(std::string& out, std::string_view field, std::string_view color, bool colored) {
  if (colored) out.append(color);
  out.append(field);
  if (colored) out.append(kColorEnd).append(kColorSeparator);
  out += ':';
  if (colored) out.append(kColorEnd);
}

}  // namespace

std::vector<std::string> GrepEscapeWarnings(std::string_view pattern) {
  std::vector<std::string> warnings;
  std::string seen;
  for (size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '\\') continue;
    const char c = pattern[i + 1];
    if (c == '#' && i + 3 < pattern.size()) {  // \#hh, a character by its code
      i += 3;
      continue;
    }
    ++i;  // the escaped character is taken as it stands
    const bool meaningless = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                             (c >= 'a' && c <= 'z') || c == '<' || c == '>';
    if (!meaningless || seen.find(c) != std::string::npos) continue;
    seen += c;
    warnings.push_back("warning: '\\" + std::string(1, c) + "' matches the character '" +
                       std::string(1, c) + "' in this syntax (" + std::string(EscapeHint(c)) +
                       "; see 'zel grep --help')");
  }
  return warnings;
}

struct GrepSearcher::Pattern {
  TGrep grep{nullptr};
  // For a pattern that is one ASCII literal: its finder, and the next hit
  // in the block being searched (valid when `known`).
  std::unique_ptr<LiteralFinder> finder;
  const char* next = nullptr;
  bool known = false;
};

struct GrepSearcher::Scan {
  std::string* out;
  std::string_view name;
  const std::function<void(std::string&)>* flush;
  int64_t matches = 0;
  int64_t line_number = 0;    // lines that end before `counted`
  const char* counted = nullptr;
  bool stop = false;
};

GrepSearcher::GrepSearcher(const std::vector<std::string>& patterns, const GrepOptions& options)
    : options_(options) {
  literal_search_ = !patterns.empty() && !options.ignore_case;
  for (const std::string& text : patterns) {
    auto p = std::make_unique<Pattern>();
    p->grep.SetName(u"grep");
    p->grep.SetIgnoreCase(options.ignore_case);
    p->grep.SetRegExp(FromUtf8(text));
    // One literal token of ASCII characters without a line end: its bytes
    // in the raw line are a match.
    const TGrepToken token = p->grep.GetRegExpToken(1);
    bool literal = p->grep.NrOfRegExpTokens() == 1 && token.Action == taNormal &&
                   token.NumChars > 0;
    std::string bytes;
    for (int i = 1; literal && i <= token.NumChars; ++i) {
      const Char c = token.Params[i];
      literal = c < 0x80 && c != '\n' && c != '\r';
      bytes += static_cast<char>(c);
    }
    if (literal) {
      p->finder = std::make_unique<LiteralFinder>(bytes);
    } else {
      literal_search_ = false;
    }
    patterns_.push_back(std::move(p));
  }
  buf_.resize(kBlockSize);
}

GrepSearcher::~GrepSearcher() = default;

bool GrepSearcher::LineMatches(std::string_view raw) {
  for (auto& p : patterns_) {
    int pos = 0;
    if (p->grep.MatchUtf8(raw, pos)) return true;
  }
  return false;
}

void GrepSearcher::DecodeForPrinting(std::string_view raw, bool& ascii) {
  ascii = AsciiPrefixLength(raw) == raw.size();
  if (ascii && !options_.color) return;  // printed as it stands
  line_.clear();
  if (ascii) {
    AppendByteChars(line_, raw);
  } else {
    AppendFromUtf8(line_, raw);
  }
}

// Appends `text` to `out` with the stretches of every pattern's matches
// (positions counted from 1 in the decoded line) in the match colour.
void GrepSearcher::PrintLine(Scan& scan, std::string_view raw, bool ascii, int64_t line_number) {
  std::string& out = *scan.out;
  if (options_.with_names) AppendField(out, scan.name, kColorName, options_.color);
  if (options_.line_numbers)
    AppendField(out, std::to_string(line_number), kColorLineNumber, options_.color);
  if (!options_.color) {
    // An ASCII line is its own UTF-8 form; others are written as decoded.
    if (ascii) {
      out.append(raw);
    } else {
      out.append(ToUtf8(line_));
    }
    out += '\n';
    return;
  }
  std::vector<std::pair<int, int>> spans;  // [first, last], from 1
  const int length = static_cast<int>(line_.size());
  for (auto& p : patterns_) {
    for (int from = 1; from <= length;) {
      p->grep.SetSearchStartPos(from);
      int pos = 0;
      if (!p->grep.MatchString(line_, pos)) break;
      const int first = p->grep.MatchStartPos(), last = p->grep.MatchEndPos();
      if (last >= first) spans.emplace_back(first, last);
      const int next = std::max(first, last) + 1;
      if (next <= from) break;
      from = next;
    }
    p->grep.SetSearchStartPos(1);
  }
  std::sort(spans.begin(), spans.end());
  const auto piece = [&](int first, int last) {  // characters first..last
    if (last < first) return;
    if (ascii) {
      out.append(raw.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
    } else {
      out.append(ToUtf8(StringView(line_).substr(static_cast<size_t>(first - 1),
                                                 static_cast<size_t>(last - first + 1))));
    }
  };
  int done = 0;  // characters written
  for (size_t i = 0; i < spans.size();) {
    int first = std::max(spans[i].first, done + 1), last = spans[i].second;
    for (++i; i < spans.size() && spans[i].first <= last + 1; ++i) last = std::max(last, spans[i].second);
    if (last < first) continue;
    piece(done + 1, first - 1);
    out.append(kColorMatch);
    piece(first, last);
    out.append(kColorEnd);
    done = last;
  }
  piece(done + 1, length);
  out += '\n';
}

// A matching line [begin, end) (without its LF) at `scan.line_number`.
void GrepSearcher::HandleLine(Scan& scan, const char* begin, const char* end) {
  std::string_view raw(begin, static_cast<size_t>(end - begin));
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  // A literal search reaches here only for lines that hold the literal.
  if (!literal_search_ && !LineMatches(raw)) return;
  bool ascii = true;
  if (options_.mode == GrepMode::kLines) DecodeForPrinting(raw, ascii);
  ++scan.matches;
  switch (options_.mode) {
    case GrepMode::kLines:
      PrintLine(scan, raw, ascii, scan.line_number);
      if (scan.out->size() >= kBlockSize && *scan.flush) (*scan.flush)(*scan.out);
      break;
    case GrepMode::kCount:
      break;
    case GrepMode::kFilesMatching:
    case GrepMode::kQuiet:
      scan.stop = true;
      break;
  }
}

void GrepSearcher::ProcessLiteralHits(Scan& scan, const char* begin, const char* end) {
  for (auto& p : patterns_) p->known = false;
  const char* pos = begin;
  scan.counted = begin;
  while (pos < end && !scan.stop) {
    const char* hit = end;
    for (auto& p : patterns_) {
      if (!p->known || (p->next != nullptr && p->next < pos)) {
        p->next = p->finder->Find(pos, end);
        p->known = true;
      }
      if (p->next != nullptr && p->next < hit) hit = p->next;
    }
    if (hit == end) break;
    const auto* lf_before = FindLastByte(pos, '\n', static_cast<size_t>(hit - pos));
    const char* line_begin = lf_before == nullptr ? pos : lf_before + 1;
    const auto* lf = static_cast<const char*>(std::memchr(hit, '\n', static_cast<size_t>(end - hit)));
    const char* line_end = lf == nullptr ? end : lf;
    if (options_.line_numbers) {
      scan.line_number += std::count(scan.counted, line_begin, '\n');
      scan.counted = line_begin;
    }
    const int64_t before = scan.line_number;
    ++scan.line_number;  // the line of the hit
    HandleLine(scan, line_begin, line_end);
    scan.line_number = before;
    pos = line_end == end ? end : line_end + 1;
  }
  if (options_.line_numbers) scan.line_number += std::count(scan.counted, end, '\n');
}

void GrepSearcher::ProcessLines(Scan& scan, const char* begin, const char* end) {
  if (literal_search_) {
    ProcessLiteralHits(scan, begin, end);
    return;
  }
  for (const char* p = begin; p < end && !scan.stop;) {
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* line_end = lf == nullptr ? end : lf;
    ++scan.line_number;
    HandleLine(scan, p, line_end);
    p = lf == nullptr ? end : lf + 1;
  }
}

GrepFileResult GrepSearcher::SearchFd(int fd, std::string_view name, std::string& out,
                                      const std::function<void(std::string&)>& flush) {
  GrepFileResult result;
  Scan scan{.out = &out, .name = name, .flush = &flush};
  if (buf_.size() > 4 * kBlockSize) buf_.resize(kBlockSize);  // after a very long line
  size_t have = 0;
  bool first_block = true;
  for (;;) {
    if (have == buf_.size()) buf_.resize(buf_.size() * 2);  // a line longer than the buffer
    const ssize_t n = ::read(fd, buf_.data() + have, buf_.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = errno;
      break;
    }
    const char* data = buf_.data();
    if (n == 0) {
      if (have > 0) ProcessLines(scan, data, data + have);
      break;
    }
    if (first_block && options_.skip_binary &&
        std::memchr(data + have, '\0', static_cast<size_t>(n)) != nullptr) {
      result.binary = true;
      return result;
    }
    first_block = false;
    have += static_cast<size_t>(n);
    const auto* last_lf = FindLastByte(data, '\n', have);
    if (last_lf == nullptr) continue;
    const size_t whole = static_cast<size_t>(last_lf - data) + 1;
    ProcessLines(scan, data, data + whole);
    if (scan.stop) break;
    std::memmove(buf_.data(), data + whole, have - whole);
    have -= whole;
  }
  result.matches = scan.matches;
  if (result.error == 0 || scan.matches > 0) {
    if (options_.mode == GrepMode::kCount) {
      if (options_.with_names) AppendField(out, name, kColorName, options_.color);
      out.append(std::to_string(scan.matches)).append("\n");
    } else if (options_.mode == GrepMode::kFilesMatching && scan.matches > 0) {
      if (options_.color) out.append(kColorName);
      out.append(name);
      if (options_.color) out.append(kColorEnd);
      out += '\n';
    }
  }
  return result;
}

}  // namespace zel::cli
