#include "zel/streams/xmlrefs.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(ResolveXMLReferences, ResolvesTheXmlNamesAndNumericReferences) {
  struct Case {
    const char16_t* text;
    const char16_t* want;
  };
  const Case cases[] = {
      {u"a &lt;b&gt; &amp; &quot;q&quot; &apos;", u"a <b> & \"q\" '"},
      {u"&#233;&#x41;&#X4a;&#0065;", u"\u00e9AJA"},
      {u"&#65535;&#xFFFF;", u"\uffff\uffff"},
      {u"&#31;&#128;", u"\u001f\u0080"},
      {u"&amp;lt;", u"&lt;"},  // one level only
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveXMLReferences(c.text), c.want);
}

TEST(ResolveXMLReferences, LeavesEverythingElseAsWritten) {
  const char16_t* kept[] = {
      u"&nbsp;",    u"& x;",      u"&amp",  u"&#;",        u"&#x;",     u"&#12a;",
      u"&#65536;",  u"&#x10000;", u"&",     u"tail &",     u"&#xG1;",
      u"&#00000000000065;",  // longer than any reference name
  };
  for (const char16_t* text : kept) EXPECT_EQ(ResolveXMLReferences(text), text);
}

TEST(XMLCharReferences, EscapesTheMarkupCharactersAndResolvesBack) {
  EXPECT_EQ(XMLCharReferences(u"plain text, 'quoted'", true), u"plain text, 'quoted'");
  EXPECT_EQ(XMLCharReferences(u"a<b> & \"c\" &lt;", false), u"a&lt;b&gt; &amp; \"c\" &amp;lt;");
  EXPECT_EQ(XMLCharReferences(u"\"&\"", true), u"&quot;&amp;&quot;");
  for (const char16_t* text : {u"&amp;lt; <x> \"y\"", u"&", u"&#65;&", u""}) {
    EXPECT_EQ(ResolveXMLReferences(XMLCharReferences(text, true)), text);
    EXPECT_EQ(ResolveXMLReferences(XMLCharReferences(text, false)), text);
  }
}

}  // namespace
}  // namespace zel
