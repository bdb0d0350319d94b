// Fuzzes THtmlProducer::Convert over any template (the input, read as UTF-8
// with invalid bytes as Windows-1252), with handlers that keep, remove and
// replace every placeholder, checking what must hold for any template: each
// placeholder stands in the template where the page has reached, names and
// parameters follow the syntax, and the result stream holds the page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/htmlsupport/producer.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;
using zel::StringView;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String tmpl = zel::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  zel::THtmlProducer producer(nullptr);
  producer.SetTemplate(tmpl);

  // A handler that keeps every placeholder: the page so far is then the
  // template up to the placeholder, which must stand there in full.
  size_t tag_chars = 0, tags = 0;
  producer.SetOnHTMLTag([&](zel::TObject* sender, const String& name, const String& params,
                            String& replacement) {
    Check(sender == &producer);
    const size_t at = producer.ConvertedHTML().size();
    Check(tmpl.compare(0, at, producer.ConvertedHTML()) == 0);
    Check(tmpl.compare(at, replacement.size(), replacement) == 0);
    Check(replacement.size() >= 2 && replacement[0] == u'<' && replacement[1] == u'#');
    // It ends at its first '>', or at the end of the template.
    const size_t gt = replacement.find(u'>');
    Check(gt == replacement.size() - 1 || (gt == String::npos && at + replacement.size() == tmpl.size()));
    // The name runs to the first blank or '>', in lower case; the
    // parameters follow the blank, trimmed.
    const StringView inner = StringView(replacement).substr(2, gt == String::npos ? String::npos : gt - 2);
    const size_t blank = inner.find(u' ');
    const StringView raw_name = inner.substr(0, blank);
    Check(name.size() == raw_name.size());
    for (size_t i = 0; i < name.size(); ++i) {
      const zel::Char c = raw_name[i];
      Check(name[i] == ((c >= u'A' && c <= u'Z') ? c + 32 : c));
    }
    Check(params.find(u'>') == String::npos);
    Check(params.empty() || (params.front() != u' ' && params.back() != u' '));
    if (blank == StringView::npos) {
      Check(params.empty());
    } else {
      Check(inner.substr(blank).find(params) != StringView::npos);
    }
    tag_chars += replacement.size();
    ++tags;
  });
  Check(producer.Convert() == tmpl);
  Check(producer.ConvertedHTML() == tmpl);

  // Removing every placeholder shortens the page by their total length;
  // replacing each by one character leaves one character per placeholder.
  producer.SetOnHTMLTag([](zel::TObject*, const String&, const String&, String& r) { r.clear(); });
  Check(producer.Convert().size() == tmpl.size() - tag_chars);
  producer.SetOnHTMLTag([](zel::TObject*, const String&, const String&, String& r) { r = u"#"; });
  Check(producer.Convert().size() == tmpl.size() - tag_chars + tags);

  zel::TStringStream* stream = producer.ConvertedHTMLAsStream();
  Check(stream->Size() == static_cast<int64_t>(producer.ConvertedHTML().size()));
  Check(stream->Position() == 0);
  return 0;
}
