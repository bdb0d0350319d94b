#include "zel/htmlsupport/producer.h"

#include <cstdint>

#include "zel/platform/casemap.h"
#include "zel/platform/textfile.h"
#include "zel/stringl/strip.h"

namespace zel {
namespace {

// The rest of `stream` as UTF-16 little-endian code units, read in blocks of
// 256 bytes while blocks come back full; an odd last byte is dropped.
String StreamAsUtf16(TStream& stream) {
  String out;
  uint8_t block[256];
  int64_t got = 0;
  do {
    got = stream.Read(block, sizeof block);
    for (int64_t i = 0; i + 1 < got; i += 2) {
      out.push_back(static_cast<Char>(block[i] | (block[i + 1] << 8)));
    }
  } while (got == static_cast<int64_t>(sizeof block));
  return out;
}

}  // namespace

THtmlProducer::THtmlProducer(TComponent* AOwner) : TComponent(AOwner) {}

THtmlProducer::~THtmlProducer() = default;

void THtmlProducer::SetTemplate(StringView Value) { FTemplate.assign(Value); }

void THtmlProducer::ReadTemplateFromFile(const String& FName) {
  FTemplate.clear();
  TextFile file(FName);
  file.Reset();
  String text, line;
  while (!file.Eof()) {
    file.ReadLn(line);
    text += line;
    text += u"\r\n";
  }
  file.Close();
  FTemplate = std::move(text);
}

void THtmlProducer::ReadTemplateFromStream(TStream& InStream) {
  InStream.SetPosition(0);
  FTemplate = StreamAsUtf16(InStream);
}

String THtmlProducer::Convert() {
  // A copy: the handler may set a new template while this one is scanned.
  const String source = FTemplate;
  const StringView tmpl = source;
  const size_t L = tmpl.size();
  FConvertedHTML.clear();
  FSPos = 0;
  while (static_cast<size_t>(FSPos) < L) {
    // Positions count from 1: the character at position p is tmpl[p - 1].
    const size_t p = static_cast<size_t>(++FSPos);
    if (tmpl[p - 1] != u'<' || p == L || tmpl[p] != u'#') {
      // Copy up to the next '<' in one piece.
      const size_t next = tmpl.find(u'<', p);
      const size_t end = next == StringView::npos ? L : next;
      FConvertedHTML.append(tmpl.substr(p - 1, end - (p - 1)));
      FSPos = static_cast<int64_t>(end);
      continue;
    }
    // A placeholder from p to its '>' (position close), or to the end of the
    // template; its contents end before `close` either way.
    const size_t gt = tmpl.find(u'>', p);
    const size_t close = gt == StringView::npos ? L + 1 : gt + 1;
    const size_t tag_end = gt == StringView::npos ? L : close;  // last position of the tag
    const size_t blank = tmpl.find(u' ', p);
    const size_t b = blank == StringView::npos ? L + 1 : blank + 1;
    const size_t name_end = b < close ? b : close;
    const String name = LowerCase(tmpl.substr(p + 1, name_end - (p + 2)));
    const String params = b + 1 < close ? StripLTBlanks(tmpl.substr(b, close - b - 1)) : String();
    String replacement(tmpl.substr(p - 1, tag_end - p + 1));
    if (FOnHTMLTag) FOnHTMLTag(this, name, params, replacement);
    FConvertedHTML += replacement;
    FSPos = static_cast<int64_t>(tag_end);
  }
  return FConvertedHTML;
}

TStringStream* THtmlProducer::ConvertedHTMLAsStream() {
  // The new stream exists before the old one is freed, so the caller never
  // gets the address of the stream it had before.
  auto fresh = std::make_unique<TStringStream>(StringView(FConvertedHTML));
  fresh->SetPosition(0);
  FStrStream = std::move(fresh);
  return FStrStream.get();
}

void THtmlProducer::WriteConvertedHTMLToFile(const String& FName) {
  TextFile file(FName);
  file.RewriteReplacing();
  file.Write(FConvertedHTML);
  file.Close();
}

}  // namespace zel
