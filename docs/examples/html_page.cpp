// Fills an HTML template: each <#name params> placeholder asks the program.
#include <iostream>

#include "zel/zel.h"

int main() {
  zel::THtmlProducer page(nullptr);
  page.SetTemplate(u"<p>Report of <#date> by <#author>, <#unknown>.</p>");
  page.SetOnHTMLTag([](zel::TObject*, const zel::String& name, const zel::String&, zel::String& replacement) {
    if (name == u"date") replacement = u"1 May 2026";
    // Text from outside goes through MakeStringHTMLCompatible.
    if (name == u"author") replacement = zel::MakeStringHTMLCompatible(u"Smith & Söhne <Ltd>");
    // A placeholder left alone stays in the page.
  });
  std::cout << zel::ToUtf8(page.Convert()) << '\n';
  std::cout << zel::ToUtf8(zel::URLEncode(u"a b&c")) << " -> " << zel::ToUtf8(zel::URLDecode(u"a%20b%26c")) << '\n';
  return 0;
}
