// Fuzzes the HTML text and URL helpers over any text (the input, read as
// UTF-8 with invalid bytes as Windows-1252): URLDecode and URLEncode,
// CountWordsHTML with its carried tag state, the character references, and
// the body extraction and text conversion, checking what must hold for any
// input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/htmlsupport/htmlsupport.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;
using zel::StringView;

void FuzzUrl(StringView text) {
  const String decoded = zel::URLDecode(text);
  Check(decoded.size() <= text.size());
  const String encoded = zel::URLEncode(text);
  Check(encoded.size() >= text.size());
  if (text.find(u'%') == StringView::npos) Check(zel::URLDecode(encoded) == text);
  (void)zel::ExtractHTTPPath(text);
}

void FuzzCountWords(StringView text, bool ignore_numbers, bool in_tag_before) {
  bool in_tag = in_tag_before;
  const int words = zel::CountWordsHTML(text, ignore_numbers, in_tag);
  Check(words >= 0 && static_cast<size_t>(words) * 3 <= text.size());
  // The state at the end is set by the last '<' or '>', if any.
  const size_t last = text.find_last_of(u"<>");
  Check(in_tag == (last == StringView::npos ? in_tag_before : text[last] == u'<'));
  // Leaving numbers out can only lower the count.
  bool other_state = in_tag_before;
  const int other = zel::CountWordsHTML(text, !ignore_numbers, other_state);
  Check(other_state == in_tag);
  Check(ignore_numbers ? other >= words : other <= words);
}

void FuzzReferences(StringView text) {
  const String resolved = zel::ResolveHTMLEntities(text);
  Check(resolved.size() <= text.size());
  Check(zel::ResolveHTMLEntities(zel::MakeStringHTMLCompatible(text)) == text);
  if (text.size() <= 40) (void)zel::HTMLEntityToAnsi(text);
}

void FuzzBody(StringView text) {
  const String body = zel::ExtractHTMLBody(text);
  Check(text.find(body) != StringView::npos);
  const String plain = zel::ConvertHTMLBodyToText(text, u'\n');
  // Plain text without markup or references: white space collapses to
  // single blanks between words.
  if (text.find_first_of(u"<&") == StringView::npos) {
    Check(plain.find(u"  ") == String::npos);
    Check(plain.empty() || (plain.front() != u' ' && plain.back() != u' '));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const String text =
      zel::FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  FuzzUrl(text);
  FuzzCountWords(text, data[0] & 1, data[0] & 2);
  FuzzReferences(text);
  FuzzBody(text);
  return 0;
}
