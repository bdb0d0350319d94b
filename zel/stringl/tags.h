// zel/stringl/tags.h — line and column of a position, and the library's
// XML-like tags read from a string.
//
// The tagged text is the one the stream and text-file tag readers read: a
// tag runs from '<' to the first '>' after it; tags beginning with '!'
// (comments, declarations) are skipped; the tag name is everything before
// the first blank, compared with a caller's list of names after folding
// A-Z to lower case; the attribute text is what follows the first blank,
// trimmed.  (When the text ends inside a tag, the tag runs to the end of
// the text.)  A tag ending in "/>" has no content; any other opening tag has
// as content the raw text up to the first closing tag of the same name in
// any letter case, nesting not considered.  A name not in the list gives
// the list's last index.
//
//   const String tags[] = {u"label", u"font", u"end"};
//   int pos = 1;
//   String attr, content;
//   int i = zel::ReadNextTagInString(
//       u"<label name=A>hi <x/></LABEL>tail", pos, tags, attr, content);
//   // i == 0, attr == u"name=A", content == u"hi <x/>", pos at "tail"
//
//   int line, col;
//   zel::TextLineCoords(u"ab\r\ncd", 5, line, col);   // line 2, column 1
#ifndef ZEL_STRINGL_TAGS_H_
#define ZEL_STRINGL_TAGS_H_

#include <span>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The line and column (both from 1) of character position `Pos` of `S`.
// Lines end at LF, CR, or CR LF (one break); a line-break character belongs
// to the line it ends.  `Pos` may also be Length(S) + 1, the place right
// after the text.  Any other `Pos` gives `Line` = `Column` = 0.
void TextLineCoords(StringView S, int Pos, int& Line, int& Column);

// Reads the next tag of `S` from position `Pos` (from 1; below 1 counts as
// 1) and leaves `Pos` on the first character not read: behind the tag, or
// behind its closing tag when content was read.  Returns the index of the
// tag's name in `Tags` (a closing tag is looked up with its '/', such as
// "/label"); `Attributes` and `Content` are set as described above.  When no
// tag is left, both are empty and the result is the lookup of the empty
// name.  Content whose closing tag is missing runs to the end of `S`.
// `S` may view `Attributes` or `Content`, so nested tags can be read by
// passing the content back in.
int ReadNextTagInString(StringView S, int& Pos, std::span<const String> Tags,
                        String& Attributes, String& Content);

// Finds the next tag of `S` at or after `StartPos` (from 1; below 1 counts
// as 1) without reading content.  On success `StartPos` is the position of
// its '<' and `EndPos` that of its '>' (or Length(S) when the text ends
// inside the tag), so the next search starts at `EndPos` + 1;
// `Attributes` is the attribute text, `IsEndTag` tells a closing tag
// ("</name>"), and the result is the index in `Tags` of the name without
// its '/' (the last index for an unknown name).  When no tag is left the
// result is -1, `StartPos` and `EndPos` are 0, `Attributes` is empty and
// `IsEndTag` false.  `S` may view `Attributes`.
int DetectNextTagInString(StringView S, int& StartPos, int& EndPos,
                          std::span<const String> Tags, String& Attributes,
                          bool& IsEndTag);

}  // namespace zel

#endif  // ZEL_STRINGL_TAGS_H_
