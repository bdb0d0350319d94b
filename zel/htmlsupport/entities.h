// zel/htmlsupport/entities.h — characters and HTML character references.
//
// The named references this unit knows are the four of the markup itself
// ("&lt;" "&gt;" "&amp;" "&quot;") and the 96 Latin-1 names of
// `HTMLLat1Entities` ("&nbsp;" for 160 up to "&yuml;" for 255).  Numeric
// references are read in decimal ("&#233;") and hexadecimal ("&#xE9;",
// "&#XE9;") form.  Names are case-sensitive, as in HTML ("&Eacute;" is 'É',
// "&EACUTE;" is nothing), and a reference needs its closing ";".
//
//   zel::AnsiToHTMLEntity(u'<')                       == u"&lt;"
//   zel::AnsiToHTMLEntity(u'é')                       == u"&eacute;"
//   zel::AnsiToHTMLEntity(u'a')                       == u"a"
//   zel::MakeStringHTMLCompatible(u"Größe < 5 & 'x'") == u"Gr&ouml;&szlig;e &lt; 5 &amp; &#39;x&#39;"
//   zel::HTMLEntityToAnsi(u"&eacute;")                == u"é"
//   zel::HTMLEntityToAnsi(u"&#x20AC;")                == u"€"
//   zel::HTMLEntityToAnsi(u"&bogus;")                 == u""    // not a reference
//   zel::ResolveHTMLEntities(u"a&lt;b &amp;lt; &x;")  == u"a<b &lt; &x;"
//
// `MakeStringHTMLCompatible` and `ResolveHTMLEntities` are inverse: any
// string survives `ResolveHTMLEntities(MakeStringHTMLCompatible(s))`.
#ifndef ZEL_HTMLSUPPORT_ENTITIES_H_
#define ZEL_HTMLSUPPORT_ENTITIES_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The text that stands for `C` in HTML text and in quoted attribute values:
// "&lt;", "&gt;", "&amp;", "&quot;", "&#39;" for the apostrophe (HTML 4 has
// no name for it), the Latin-1 name for codes 160-255, and `C` itself for
// every other character (characters above 255 need no reference in a page
// whose encoding holds them).
String AnsiToHTMLEntity(Char C);

// `S` with every character replaced by `AnsiToHTMLEntity`: safe to put
// between tags and inside single- or double-quoted attribute values.
String MakeStringHTMLCompatible(StringView S);

// The character a whole reference stands for ("&amp;" gives "&", "&#65;"
// "A"), or "" when `Entity` is not a reference this unit knows.  A numeric
// reference must name a Unicode scalar value other than 0 (1..0x10FFFF, no
// surrogate); values above 0xFFFF give the two characters of a surrogate
// pair.
String HTMLEntityToAnsi(StringView Entity);

// `S` with every reference `HTMLEntityToAnsi` knows replaced by its
// character, in one pass from left to right (so "&amp;lt;" gives "&lt;").
// An '&' that starts no known reference is kept as it is.
String ResolveHTMLEntities(StringView S);

}  // namespace zel

#endif  // ZEL_HTMLSUPPORT_ENTITIES_H_
