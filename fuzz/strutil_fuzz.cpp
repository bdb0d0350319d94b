// Fuzzes the string utilities that cut, read and decode text: Tokenize
// (plain and with an escape character), ReadLnString in every mode,
// ExtractSubString, the numbered searches, ReplaceStringInString, the tag
// reader and the UU decoder, checking what must hold for any input.
//
// Input layout: byte 0 picks the delimiter length (0-3) and the escape
// character, byte 1 a field index and a start position; the rest, read as
// UTF-8 (invalid bytes as Windows-1252), is the delimiter followed by the
// text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/platform/casemap.h"
#include "zel/stringl/stringl.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;
using zel::StringView;

void FuzzTokenize(StringView text, StringView delim, zel::Char esc) {
  zel::TOpenStringArray tokens;
  const int n = zel::Tokenize(text, delim, tokens);
  Check(n >= 1 && n <= 1000 && static_cast<size_t>(n) == tokens.size());
  // Joining the tokens at the delimiter gives the text back.
  String joined = tokens[0];
  for (size_t i = 1; i < tokens.size(); ++i) joined.append(delim).append(tokens[i]);
  Check(joined == text);

  const int m = zel::Tokenize(text, delim, esc, tokens);
  Check(m >= 1 && m <= 1000 && static_cast<size_t>(m) == tokens.size());
  Check(m <= n || delim.empty());  // escaping never adds cuts
}

void FuzzReadLn(StringView text) {
  size_t printable = 0;
  for (zel::Char c : text) printable += c >= 32;
  for (int mode = 0; mode <= 5; ++mode) {
    int pos = 1;
    bool end = false;
    size_t total = 0, calls = 0;
    while (!end) {
      const int before = pos;
      const String line = zel::ReadLnString(text, pos, end, mode);
      Check(pos > before || end);
      for (zel::Char c : line) Check(c >= 32);
      total += line.size();
      Check(++calls <= text.size() + 1);
    }
    Check(total == printable);  // every printable character lands in one line
  }
}

void FuzzSearch(StringView text, StringView sub, int start) {
  const int fwd = zel::NumberedPos(sub, text, start, 1, false);
  if (fwd != 0) {
    Check(fwd >= std::max(start, 1) && text.substr(static_cast<size_t>(fwd) - 1, sub.size()) == sub);
  }
  const int bw = zel::NumberedPosBw(sub, text, start, 2, true);
  if (bw != 0) {
    Check(bw >= 1 && static_cast<size_t>(bw) - 1 + sub.size() <= text.size());
    Check(zel::LowerCase(text.substr(static_cast<size_t>(bw) - 1, sub.size())) == zel::LowerCase(sub));
  }
  const String field = zel::ExtractSubString(text, start % 8, sub);
  Check(text.find(field) != StringView::npos);

  const int count = zel::CountStringInString(sub, text, true);
  const String repl = zel::ReplaceStringInString(text, sub, u"#", false);
  Check(repl.size() == text.size() - static_cast<size_t>(count) * (sub.size() - 1) ||
        sub.empty());
}

void FuzzTags(StringView text) {
  static const String kTags[] = {u"label", u"font", u"end"};
  int pos = 1;
  String attr, content;
  for (;;) {
    const int before = pos;
    const int i = zel::ReadNextTagInString(text, pos, kTags, attr, content);
    Check(i >= 0 && i <= 2);
    Check(pos >= 1 && static_cast<size_t>(pos) <= text.size() + 1);
    if (pos == before) {  // only at the end: nothing left
      Check(static_cast<size_t>(pos) == text.size() + 1);
      break;
    }
    Check(pos > before);
  }
  int start = 1, end = 0;
  bool is_end = false;
  while (zel::DetectNextTagInString(text, start, end, kTags, attr, is_end) >= 0) {
    Check(start >= 1 && end >= start && static_cast<size_t>(end) <= text.size());
    Check(text[static_cast<size_t>(start) - 1] == u'<');
    start = end + 1;
  }
}

void FuzzUU(StringView text) {
  (void)zel::UUDecodeStr(text);
  if (zel::FromUtf8(zel::ToUtf8(text)) == text) {
    Check(zel::UUDecodeStr(zel::UUEncodeStr(text)) == text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t delim_len = data[0] & 3;
  const zel::Char esc = (data[0] & 4) ? u'\\' : static_cast<zel::Char>(data[0] >> 3);
  const int start = data[1] % 64 - 4;
  const String all = zel::FromUtf8(
      std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
  const StringView view = all;
  const StringView delim = view.substr(0, delim_len);
  const StringView text = view.substr(delim.size());

  FuzzTokenize(text, delim, esc);
  FuzzReadLn(text);
  FuzzSearch(text, delim, start);
  FuzzTags(text);
  FuzzUU(text);
  int line = 0, column = 0;
  zel::TextLineCoords(text, start, line, column);
  Check((line == 0) == (start < 1 || static_cast<size_t>(start) > text.size() + 1));
  return 0;
}
