// zel/streams/xmlrefs.h — character references in tagged text.
//
// Writers of the library's XML-like files put '&', '<', '>' (and, where
// their layout needs it, '"' and characters outside printable ASCII) into
// element text and attribute values as references; readers undo that with
// `ResolveXMLReferences`:
//
//   zel::ResolveXMLReferences(u"a &lt;b&gt; &amp; &#233;&#x41;")  == u"a <b> & éA"
//   zel::ResolveXMLReferences(u"&nbsp; & &#x110000;")  // unchanged: unknown,
//                                                      // bare, beyond U+FFFF
//
// Writers that only need the markup characters escaped use
// `XMLCharReferences`:
//
//   zel::XMLCharReferences(u"a<b & \"c\"", false) == u"a&lt;b &amp; \"c\""
//   zel::XMLCharReferences(u"a<b & \"c\"", true)  == u"a&lt;b &amp; &quot;c&quot;"
//
// Only the five XML names (amp, lt, gt, quot, apos) and decimal or
// hexadecimal numeric references up to U+FFFF (one 16-bit character) are
// resolved; anything else stays as written, so no text is lost.  HTML's
// named entities are the HTML unit's business (`ResolveHTMLEntities`).
#ifndef ZEL_STREAMS_XMLREFS_H_
#define ZEL_STREAMS_XMLREFS_H_

#include "zel/platform/string.h"

namespace zel {

String ResolveXMLReferences(StringView text);

// `text` with '&', '<' and '>' (and '"' when `quotes`) written as "&amp;",
// "&lt;", "&gt;" and "&quot;"; every other character as it is.
String XMLCharReferences(StringView text, bool quotes);

}  // namespace zel

#endif  // ZEL_STREAMS_XMLREFS_H_
