// Tour section of HTML support: a template filled by a handler, character
// references, page text and URL helpers.
#include "tools/zel/cli.h"
#include "zel/htmlsupport/htmlsupport.h"

namespace zel::cli {
namespace {

void TourHtml() {
  TourHeading("htmlsupport", "HTML template producer, references, URLs");
  THtmlProducer producer(nullptr);
  producer.SetTemplate(u"<p>Hello <#user>, <#count unit=files > waiting. <#other></p>");
  producer.SetOnHTMLTag([](TObject*, const String& name, const String& params, String& r) {
    if (name == u"user") r = MakeStringHTMLCompatible(u"Zoë & co");
    if (name == u"count") r = u"3 " + params.substr(params.find(u'=') + 1);
  });
  TourShow("Template()", producer.Template());
  TourShow("Convert() (user, count filled; other kept)", producer.Convert());
  TourShow("ConvertedHTMLAsStream()->Size()", producer.ConvertedHTMLAsStream()->Size());
  TourShow("ResolveHTMLEntities(u\"&lt;&eacute;&#x20AC;&gt;\")",
           ResolveHTMLEntities(u"&lt;&eacute;&#x20AC;&gt;"));
  bool in_tag = false;
  TourShow("CountWordsHTML(u\"<p>one two </p>\", false, in_tag)",
           CountWordsHTML(u"<p>one two </p>", false, in_tag));
  TourShow("ConvertHTMLBodyToText(u\"<h1>Hi</h1><p>a &amp; b</p>\", '|')",
           ConvertHTMLBodyToText(u"<h1>Hi</h1><p>a &amp; b</p>", u'|'));
  TourShow("ExtractHTTPPath(u\"http://host/dir/page.htm\")",
           ExtractHTTPPath(u"http://host/dir/page.htm"));
  TourShow("URLEncode(u\"a b&c/d\")", URLEncode(u"a b&c/d"));
  TourShow("URLDecode(u\"a%20b%2541\") (two passes)", URLDecode(u"a%20b%2541"));
}

const TourSection kHtml(70, &TourHtml);

}  // namespace
}  // namespace zel::cli
