#include "zel/streams/tagscan.h"

#include <cstdint>
#include <utility>

#include "zel/platform/casemap.h"
#include "zel/stringl/strip.h"
#include "zel/stringl/tags.h"

namespace zel {
namespace {

// Character sources for the shared reader.  `Next` delivers the next
// character or returns false at the end of the input.
class StreamSource {
 public:
  explicit StreamSource(TStream& s) : s_(s) {}
  bool Next(Char& c) {
    uint8_t b;
    if (s_.Read(&b, 1) != 1) return false;
    c = b;
    return true;
  }
  // The stream reader keeps text after the last '>' as content.
  static constexpr bool kContentEndsAtGt = false;

 private:
  TStream& s_;
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

template <class Source>
int ReadNextTag(Source& src, std::span<const String> Tags, String& Attributes,
                String& Content) {
  Attributes.clear();
  Content.clear();
  // Find the next tag that is no comment or declaration.
  String tag;
  Char c = 0;
  for (;;) {
    tag.clear();
    bool found = false;
    while (src.Next(c)) {
      if (c == u'<') {
        found = true;
        break;
      }
    }
    if (!found) break;
    while (src.Next(c)) {
      tag.push_back(c);
      if (c == u'>') break;
    }
    if (tag.empty() || tag[0] != u'!') break;
  }

  String name;
  const bool empty_element = detail::SplitTagText(tag, name, Attributes);
  if (!empty_element && !name.empty() && name[0] != u'/') {
    // Each time a '>' is read, the content may end with the closing tag.
    const String pattern = u"</" + LowerCase(name) + u">";
    size_t committed = 0;  // content up to and with its last '>'
    bool closed = false;
    while (src.Next(c)) {
      Content.push_back(c);
      if (c != u'>') continue;
      committed = Content.size();
      if (EndsWithFolded(Content, pattern)) {
        Content.resize(Content.size() - pattern.size());
        closed = true;
        break;
      }
    }
    if (!closed && Source::kContentEndsAtGt) Content.resize(committed);
  }
  return detail::LookupTag(name, Tags);
}

}  // namespace

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
