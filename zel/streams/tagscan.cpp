#include "zel/streams/tagscan.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/streams/internal/bytereader.h"
#include "zel/streams/streamio.h"
#include "zel/stringl/internal/tagtext.h"
#include "zel/stringl/strip.h"
#include "zel/stringl/tags.h"

namespace ZEL_EXPORT zel {
namespace {

// Character sources for the shared reader.  `Next` delivers the next
// character or returns false at the end of the input.
class StreamSource {
 public:
  explicit StreamSource(TStream& s) : reader_(s) {}
  bool Next(Char& c) {
    uint8_t b;
    if (!reader_.Next(b)) return false;
    c = b;
    return true;
  }
  // The stream reader keeps text after the last '>' as content.
  static constexpr bool kContentEndsAtGt = false;

 private:
  detail::ByteReader reader_;
};

class TextFileSource {
 public:
  explicit TextFileSource(TextFile& f) : f_(f) {}
  bool Next(Char& c) {
    if (f_.Eof()) return false;
    f_.Read(c);
    return true;
  }
  static constexpr bool kContentEndsAtGt = true;

 private:
  TextFile& f_;
};

// True if `s` ends with `lower_pattern` after folding A-Z.
bool EndsWithFolded(const String& s, const String& lower_pattern) {
  if (s.size() < lower_pattern.size()) return false;
  const size_t at = s.size() - lower_pattern.size();
  for (size_t i = 0; i < lower_pattern.size(); ++i) {
    if (AsciiLower(s[at + i]) != lower_pattern[i]) return false;
  }
  return true;
}

// Reads up to and with the next '<'; the characters before it are added
// to `skipped` when given.  False at the end of the input.
template <class Source>
bool SkipToTag(Source& src, String* skipped) {
  Char c;
  while (src.Next(c)) {
    if (c == u'<') return true;
    if (skipped != nullptr) skipped->push_back(c);
  }
  return false;
}

// Reads the tag text after a '<': up to and with the first '>', or to the
// end of the input.
template <class Source>
String ReadTagText(Source& src) {
  String tag;
  Char c;
  while (src.Next(c)) {
    tag.push_back(c);
    if (c == u'>') break;
  }
  return tag;
}

bool IsDeclaration(const String& tag) { return !tag.empty() && tag[0] == u'!'; }

// Whether a tag with this name and kind has content.
bool HasContent(const String& name, bool empty_element) {
  return !empty_element && !name.empty() && name[0] != u'/';
}

// Reads the content of the element `name` and its closing tag, and appends
// both, as read, to `raw`.  Returns the length of `raw` without the closing
// tag; without one, everything read is content (for a text file only up to
// its last '>').
template <class Source>
size_t ReadContent(Source& src, StringView name, String& raw) {
  // Each time a '>' is read, the text may end with the closing tag.
  const String pattern = u"</" + LowerCase(name) + u">";
  size_t committed = raw.size();  // up to and with the last '>'
  Char c;
  while (src.Next(c)) {
    raw.push_back(c);
    if (c != u'>') continue;
    committed = raw.size();
    if (EndsWithFolded(raw, pattern)) return raw.size() - pattern.size();
  }
  if (Source::kContentEndsAtGt) raw.resize(committed);
  return raw.size();
}

template <class Source>
int ReadNextTag(Source& src, std::span<const String> Tags, String& Attributes,
                String& Content) {
  Attributes.clear();
  Content.clear();
  String tag;
  while (SkipToTag(src, nullptr)) {
    tag = ReadTagText(src);
    if (!IsDeclaration(tag)) break;
    tag.clear();
  }
  String name;
  const bool empty_element = detail::SplitTagText(tag, name, Attributes);
  if (HasContent(name, empty_element)) Content.resize(ReadContent(src, name, Content));
  return detail::LookupTag(name, Tags);
}

// The tag name of a tag text (what `SplitTagText` gives), ASCII-lower-cased,
// and whether the tag is an empty element.
String LowerTagName(const String& tag, bool& empty_element) {
  String name, attributes;
  empty_element = detail::SplitTagText(tag, name, attributes);
  return LowerCase(name);
}

}  // namespace

bool ScanStreamForXMLTag(TStream& Stream, StringView TagName, String& Attributes,
                         String& Content) {
  Attributes.clear();
  Content.clear();
  const String wanted = LowerCase(TagName);
  StreamSource src(Stream);
  while (SkipToTag(src, nullptr)) {
    const String tag = ReadTagText(src);
    if (IsDeclaration(tag)) continue;
    String name;
    const bool empty_element = detail::SplitTagText(tag, name, Attributes);
    if (LowerCase(name) != wanted) continue;
    if (HasContent(name, empty_element)) Content.resize(ReadContent(src, name, Content));
    return true;
  }
  Attributes.clear();
  return false;
}

String ReadStreamUntilTagList(TStream& Stream, std::span<const String> Tags, int& Index) {
  Index = -1;
  String text;
  StreamSource src(Stream);
  while (SkipToTag(src, &text)) {
    const int64_t lt_pos = Stream.Position() - 1;
    const String tag = ReadTagText(src);
    if (!IsDeclaration(tag)) {
      bool empty_element;
      const auto it = std::find(Tags.begin(), Tags.end(), LowerTagName(tag, empty_element));
      if (it != Tags.end()) {
        Index = static_cast<int>(it - Tags.begin());
        Stream.SetPosition(lt_pos);
        return text;
      }
    }
    text.push_back(u'<');
    text += tag;
  }
  return text;
}

int ExtractFromStream(TStream& Stream, TMemoryStream& Dest, const TStringList& TagNames) {
  std::vector<String> wanted;
  for (int i = 0; i < TagNames.Count(); ++i) wanted.push_back(LowerCase(TagNames[i]));
  int copied = 0;
  StreamSource src(Stream);
  while (SkipToTag(src, nullptr)) {
    const String tag = ReadTagText(src);
    if (IsDeclaration(tag)) continue;
    bool empty_element;
    const String name = LowerTagName(tag, empty_element);
    if (std::find(wanted.begin(), wanted.end(), name) == wanted.end()) continue;
    String element = u"<" + tag;
    if (HasContent(name, empty_element)) ReadContent(src, name, element);
    WriteStringStream(Dest, element);
    ++copied;
  }
  return copied;
}

int ReadNextTagInStream(TStream& Stream, std::span<const String> Tags,
                        String& Attributes, String& Content) {
  StreamSource src(Stream);
  return ReadNextTag(src, Tags, Attributes, Content);
}

int ReadNextTagInTextFile(TextFile& F, std::span<const String> Tags,
                          String& Attributes, String& Content) {
  TextFileSource src(F);
  return ReadNextTag(src, Tags, Attributes, Content);
}

int ScanXMLAttribPair(StringView Attr, int& Pos, String& Name, String& Value) {
  Name.clear();
  Value.clear();
  if (Pos < 1) Pos = 1;
  if (static_cast<size_t>(Pos) > Attr.size()) return xapEndOfText;
  enum State { kName, kAfterEquals, kQuoted, kUnquoted };
  State state = kName;
  int code = xapOK;
  bool done = false;
  while (!done && static_cast<size_t>(Pos) <= Attr.size()) {
    const Char c = Attr[static_cast<size_t>(Pos) - 1];
    ++Pos;
    switch (state) {
      case kName:
        if (c == u'"') {
          code = xapQuoteInName;
          done = true;
        } else if (c == u'=') {
          state = kAfterEquals;
        } else {
          Name.push_back(c);
        }
        break;
      case kAfterEquals:
        if (c == u' ') {
        } else if (c == u'"') {
          state = kQuoted;
        } else if (c == u'=') {
          code = xapDoubleEquals;
          done = true;
        } else {
          Value.push_back(c);
          state = kUnquoted;
        }
        break;
      case kQuoted:
        if (c == u'"') {
          done = true;
        } else {
          Value.push_back(c);
        }
        break;
      case kUnquoted:
        if (c == u' ' || c == u'"') {
          done = true;
        } else if (c == u'=') {
          code = xapEqualsInValue;
          done = true;
        } else {
          Value.push_back(c);
        }
        break;
    }
  }
  Name = StripLTBlanks(Name);
  return code;
}

String ScanForXMLAttrib(StringView Attr, StringView AttrName) {
  const String wanted = LowerCase(AttrName);
  int pos = 1;
  String name, value;
  while (ScanXMLAttribPair(Attr, pos, name, value) == xapOK) {
    if (LowerCase(name) == wanted) return value;
  }
  return String();
}

}  // namespace zel
