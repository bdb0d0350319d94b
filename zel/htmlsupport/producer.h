// zel/htmlsupport/producer.h — `THtmlProducer`, which fills an HTML template
// by asking the application for the text of each placeholder.
//
// A placeholder is '<' immediately followed by '#', a name, optional
// parameters after a blank, and a closing '>':
//
//   <p>Printed on <#date>; <#table border=1 >.</p>
//
// has the placeholders 'date' (no parameters) and 'table' (parameters
// 'border=1').  The name ends at the first blank or at the '>', and is
// folded to lower case (ASCII letters only); the parameters are the text
// between that blank and the '>', with leading and trailing blanks removed
// (`StripLTBlanks`).  A placeholder without its '>' runs to the end of the
// template.  Everything else, a '<' not followed by '#' included, is copied
// as it is.
//
//   zel::THtmlProducer page(nullptr);
//   page.SetTemplate(u"<p>Printed on <#date>.</p>");
//   page.SetOnHTMLTag([](zel::TObject*, const zel::String& name,
//                        const zel::String& params, zel::String& replacement) {
//     if (name == u"date") replacement = u"1 May 2026";
//   });
//   page.Convert();                        // u"<p>Printed on 1 May 2026.</p>"
//   page.WriteConvertedHTMLToFile(u"out.html");
//
// The handler receives the whole placeholder ('<#date>') as `Replacement`:
// leaving it alone keeps the placeholder in the page, setting it to ""
// removes it.  With no handler the page equals the template.  An exception
// from the handler passes through `Convert`; `ConvertedHTML()` then holds
// the page up to the failing placeholder.
//
// Encodings: `ReadTemplateFromFile` reads a text file (UTF-8, or old 8-bit
// Windows-1252 text), `ReadTemplateFromStream` reads UTF-16 little-endian
// code units, `WriteConvertedHTMLToFile` writes UTF-8, and
// `ConvertedHTMLAsStream` gives a `TStringStream`, which holds one
// Windows-1252 byte per character ('?' for a character the code page lacks;
// write such characters as references, e.g. with `MakeStringHTMLCompatible`
// or "&#NNNN;", where that matters).
//
// A producer must not be used by two threads at once.
#ifndef ZEL_HTMLSUPPORT_PRODUCER_H_
#define ZEL_HTMLSUPPORT_PRODUCER_H_

#include <cstdint>
#include <functional>
#include <memory>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Asked for the text of one placeholder: `TagName` in lower case, `Params`
// trimmed, and `Replacement` holding the placeholder's own text on entry.
using TOnHTMLTagEvent = std::function<void(TObject* Sender, const String& TagName,
                                           const String& Params, String& Replacement)>;

class THtmlProducer : public TComponent {
 public:
  explicit THtmlProducer(TComponent* AOwner);
  // Frees the stream last handed out by `ConvertedHTMLAsStream`.
  ~THtmlProducer() override;

  // The HTML template with its placeholders (empty at first).
  const String& Template() const noexcept { return FTemplate; }
  void SetTemplate(StringView Value);

  // Replaces the template by the lines of the text file `FName`, each
  // followed by CR LF (the last one too).  The template is cleared first; a
  // file that cannot be opened or read raises `EInOutError`.
  void ReadTemplateFromFile(const String& FName);

  // Replaces the template by the content of `InStream` from its start, read
  // as UTF-16 little-endian code units (an odd last byte is dropped).
  void ReadTemplateFromStream(TStream& InStream);

  // Converts the template (see the top of this file), keeps the result as
  // `ConvertedHTML()` and returns it.
  String Convert();

  // The result of the last `Convert` ("" before the first).
  const String& ConvertedHTML() const noexcept { return FConvertedHTML; }

  // A string stream holding `ConvertedHTML()`, positioned at 0.  The
  // producer owns it: it stays valid until the next call (which frees it)
  // or the producer's destruction.  The caller must not free it.
  TStringStream* ConvertedHTMLAsStream();

  // Creates or overwrites the file `FName` with `ConvertedHTML()` exactly
  // (no line end added).  Raises `EInOutError` when the file cannot be
  // created or written.
  void WriteConvertedHTMLToFile(const String& FName);

  // The handler `Convert` asks for each placeholder's text (none at first).
  const TOnHTMLTagEvent& OnHTMLTag() const noexcept { return FOnHTMLTag; }
  void SetOnHTMLTag(TOnHTMLTagEvent Handler) { FOnHTMLTag = std::move(Handler); }

 private:
  String FTemplate;
  TOnHTMLTagEvent FOnHTMLTag;
  int64_t FSPos = 0;  // the scan position (1-based) while converting
  String FConvertedHTML;
  std::unique_ptr<TStringStream> FStrStream;
};

}  // namespace zel

#endif  // ZEL_HTMLSUPPORT_PRODUCER_H_
