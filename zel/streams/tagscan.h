// zel/streams/tagscan.h — reading the library's XML-like tagged text from a
// stream or a text file, one tag at a time, and picking attributes out of a
// tag's attribute text.
//
// The readers are not an XML parser.  Each call finds the next tag (text
// before its '<' is skipped), splits it into a name and its attribute text,
// looks the name up in the caller's list and, for an opening tag, returns
// everything up to the first closing tag of the same name as raw content.
// Nested elements are read by scanning that content again.
//
//   const zel::String tags[] = {u"label", u"font", u"end"};
//   zel::TStringStream s("<label name=A size=3>hello <x>y</x></LABEL>tail");
//   zel::String attr, content;
//   int i = zel::ReadNextTagInStream(s, tags, attr, content);
//   // i == 0, attr == u"name=A size=3", content == u"hello <x>y</x>",
//   // the stream stands at "tail".
//   zel::ScanForXMLAttrib(attr, u"SIZE")   == u"3"
//
// The rules, for both readers:
//  * A tag runs from '<' to the first '>' (or the end of the input).  Tags
//    whose text begins with '!' (comments, declarations) are skipped, each
//    ending at its first '>'.
//  * The name is the tag text before its first blank (code 32 only); the
//    attribute text is what follows that blank up to the closing ">" or
//    "/>", trimmed of blanks.  When the input ends inside a tag, the tag text
//    runs to the end of the input and nothing is cut from its end.
//  * Lookup: the name folded to lower case (A-Z only) is compared exactly
//    with the list entries in order; the first equal entry's index is
//    returned, else the last index.  So only lower-case entries can match,
//    and a closing tag is looked up with its '/' ("/label").
//  * A tag ending in "/>" has no content.  Any other tag whose name does not
//    begin with '/' has content: the raw text up to the first "</name>" in
//    any letter case (nesting is not considered); the input then stands
//    behind that closing tag.  Without a closing tag the content is the rest
//    of the input.
//  * At the end of the input the attribute text and the content are empty
//    and the result is the lookup of the empty name.
//
// Characters: the stream reader takes each byte as the character with the
// same code (0 to 255).  The text-file reader takes the characters the text
// file delivers (line ends as CR and LF), and its content only ever grows
// up to a '>': text after the last '>' of the file is never content.
//
// Malformed input never raises; errors of the stream or text file
// propagate.
#ifndef ZEL_STREAMS_TAGSCAN_H_
#define ZEL_STREAMS_TAGSCAN_H_

#include <span>

#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/stringlist.h"
#include "zel/platform/string.h"
#include "zel/platform/textfile.h"

namespace ZEL_EXPORT zel {

// Reads the next tag from the current position of `Stream` (see above).
// `Tags` must not be empty (an empty list gives -1).
int ReadNextTagInStream(TStream& Stream, std::span<const String> Tags,
                        String& Attributes, String& Content);

// The same from a text file open for reading.
int ReadNextTagInTextFile(TextFile& F, std::span<const String> Tags,
                          String& Attributes, String& Content);

// Result codes of `ScanXMLAttribPair`.
inline constexpr int xapOK = 0;               // a pair was read
inline constexpr int xapQuoteInName = 1;      // '"' inside a name
inline constexpr int xapDoubleEquals = 2;     // "=" again right after "=" (blanks allowed)
inline constexpr int xapEqualsInValue = 3;    // "=" inside an unquoted value
inline constexpr int xapEndOfText = 4;        // the position is already past the end

// Reads one `name=value` pair of the attribute text `Attr` from position
// `Pos` (from 1; below 1 counts as 1) and moves `Pos` behind it.
//   * Blanks before the name are dropped; the name is trimmed of blanks.
//   * A value in double quotes keeps blanks and '='; the closing quote ends
//     it (there is no escape).  An unquoted value ends at a blank or '"'.
//     The character that ends the value is consumed.
//   * A name without '=' at the end of the text gives code 0, empty value.
// Single quotes and character entities have no special meaning.  On any
// code but 0 the pair is incomplete; `Name` and `Value` hold what was read.
int ScanXMLAttribPair(StringView Attr, int& Pos, String& Name, String& Value);

// The value of the attribute `AttrName` (any letter case, A-Z folding) in
// `Attr`, case kept; empty when it is absent or when a malformed pair comes
// before it.
String ScanForXMLAttrib(StringView Attr, StringView AttrName);

// Tag searches on a stream, by the rules above.

// Reads tags from the position until one named `TagName` (any letter case)
// and returns true with its attribute text and content; the stream then
// stands behind the element (behind its closing tag, or behind the tag for
// an empty element or a closing tag).  Other tags are stepped over one at a
// time, without their content, so an element nested in others is found.
// False, with both texts empty and the stream at its end, when there is none.
bool ScanStreamForXMLTag(TStream& Stream, StringView TagName, String& Attributes,
                         String& Content);

// Reads until the next tag whose lower-cased name equals an entry of
// `Tags` and returns the text before it; the stream is left on the tag's
// '<', so a tag reader can read it next, and `Index` is the entry's index.
// Comments and unlisted tags are part of the returned text.  Without such a
// tag, `Index` is -1, the result is the rest of the stream and the stream is
// at its end.  Unlike the tag readers there is no "last index" default.
String ReadStreamUntilTagList(TStream& Stream, std::span<const String> Tags, int& Index);

// Copies every element of `Stream` (from its position to its end) whose
// name is in `TagNames` (compared after folding A-Z) to `Dest` at its
// position, whole and as read: the tag, the content and the closing tag.
// An element without closing tag runs to the end of the stream.  Other tags
// are stepped over without their content, so listed elements nested in
// unlisted ones are found; the content of a copied element is not searched
// again.  Returns the number of elements copied.
int ExtractFromStream(TStream& Stream, TMemoryStream& Dest, const TStringList& TagNames);

}  // namespace zel

#endif  // ZEL_STREAMS_TAGSCAN_H_
