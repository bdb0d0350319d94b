#include "zel/htmlsupport/entities.h"

#include <gtest/gtest.h>

#include "zel/zelbase/nametables.h"

namespace zel {
namespace {

TEST(AnsiToHTMLEntity, MarkupLatin1AndPlainCharacters) {
  const struct {
    Char c;
    StringView want;
  } cases[] = {
      {u'<', u"&lt;"},       {u'>', u"&gt;"},      {u'&', u"&amp;"},   {u'"', u"&quot;"},
      {u'\'', u"&#39;"},     {160, u"&nbsp;"},     {0xE9, u"&eacute;"}, {0xC6, u"&AElig;"},
      {255, u"&yuml;"},      {u'a', u"a"},         {u' ', u" "},       {159, u"\u009f"},
      {0x20AC, u"\u20ac"},   {0, StringView(u"\0", 1)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiToHTMLEntity(c.c), c.want) << "code " << int(c.c);
  }
}

TEST(HTMLEntityToAnsi, NamedAndNumericReferences) {
  const struct {
    StringView ref;
    StringView want;
  } cases[] = {
      {u"&amp;", u"&"},        {u"&lt;", u"<"},          {u"&gt;", u">"},
      {u"&quot;", u"\""},      {u"&eacute;", u"\u00e9"}, {u"&Eacute;", u"\u00c9"},
      {u"&nbsp;", u"\u00a0"},  {u"&#65;", u"A"},         {u"&#0065;", u"A"},
      {u"&#x41;", u"A"},       {u"&#X4a;", u"J"},        {u"&#39;", u"'"},
      {u"&#x20AC;", u"\u20ac"}, {u"&#128512;", u"\U0001F600"},
      {u"&#x10FFFF;", u"\U0010FFFF"},
      // Not references: unknown or wrongly cased names, missing parts, values
      // that are no Unicode scalar, digits of the wrong base, huge numbers.
      {u"&EACUTE;", u""},      {u"&bogus;", u""},        {u"&eacute", u""},
      {u"eacute;", u""},       {u"&;", u""},             {u"&#;", u""},
      {u"&#x;", u""},          {u"&#0;", u""},           {u"&#xD800;", u""},
      {u"&#x110000;", u""},    {u"&#99999999999999999999;", u""},
      {u"&#12a;", u""},        {u"&#xG1;", u""},         {u"&apos;", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HTMLEntityToAnsi(c.ref), c.want) << ToUtf8(c.ref);
  }
}

TEST(HTMLEntityToAnsi, ReadsBackEveryReferenceItWrites) {
  for (int c = 0; c < 0x800; ++c) {
    const String ref = AnsiToHTMLEntity(static_cast<Char>(c));
    if (ref.size() == 1) continue;  // written as itself
    EXPECT_EQ(HTMLEntityToAnsi(ref), String(1, static_cast<Char>(c))) << ToUtf8(ref);
  }
  for (int c = HTMLLat1Entities.Low(); c <= HTMLLat1Entities.High(); ++c) {
    EXPECT_EQ(AnsiToHTMLEntity(static_cast<Char>(c)), HTMLLat1Entities[c]);
  }
}

TEST(MakeStringHTMLCompatible, EscapesMarkupAndLatin1) {
  EXPECT_EQ(MakeStringHTMLCompatible(u"Gr\u00f6\u00dfe < 5 & 'x' \"y\" \u20ac"),
            u"Gr&ouml;&szlig;e &lt; 5 &amp; &#39;x&#39; &quot;y&quot; \u20ac");
  EXPECT_EQ(MakeStringHTMLCompatible(u""), u"");
}

TEST(ResolveHTMLEntities, ReplacesKnownReferencesInOnePass) {
  const struct {
    StringView in;
    StringView want;
  } cases[] = {
      {u"a&lt;b &amp;lt; &x;", u"a<b &lt; &x;"},
      {u"&#233;&eacute;&#xE9;", u"\u00e9\u00e9\u00e9"},
      {u"&&amp;", u"&&"},              // the first '&' starts no reference
      {u"&am&amp;", u"&am&"},          // a second '&' cuts the first off
      {u"& text; &amp", u"& text; &amp"},  // blank inside, ';' missing
      {u"&amp;amp;", u"&amp;"},
      {u"no references", u"no references"},
      {u"&", u"&"},
      {u"&aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa;", u"&aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa;"},
      {u"&#00000000000000000000000065;", u"A"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveHTMLEntities(c.in), c.want) << ToUtf8(c.in);
  }
}

TEST(ResolveHTMLEntities, UndoesMakeStringHTMLCompatible) {
  String all;
  for (int c = 1; c < 0x3000; ++c) all.push_back(static_cast<Char>(c));
  all += u"&amp; &lt;&#65; &eacute;";  // text that already looks like references
  const String safe = MakeStringHTMLCompatible(all);
  EXPECT_EQ(safe.find_first_of(u"<>\"'"), String::npos);
  EXPECT_EQ(ResolveHTMLEntities(safe), all);
}

}  // namespace
}  // namespace zel
