#include "zel/stringl/tags.h"

#include <algorithm>
#include <utility>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/internal/tagtext.h"
#include "zel/stringl/strip.h"

namespace ZEL_EXPORT zel {
namespace ZEL_HIDDEN detail {

bool SplitTagText(StringView text, String& name, String& attributes) {
  const bool empty_element = text.size() >= 2 && text.substr(text.size() - 2) == u"/>";
  size_t body = text.size();  // the tag without its closing "/>" or ">"
  if (empty_element) {
    body -= 2;
  } else if (!text.empty() && text.back() == u'>') {
    body -= 1;
  }
  const size_t blank = text.substr(0, body).find(u' ');
  if (blank == StringView::npos) {
    name = String(text.substr(0, body));
    attributes.clear();
  } else {
    name = String(text.substr(0, blank));
    attributes = StripLTBlanks(text.substr(blank + 1, body - blank - 1));
  }
  return empty_element;
}

int LookupTag(StringView name, std::span<const String> tags) {
  const String lower = LowerCase(name);
  const auto it = std::find(tags.begin(), tags.end(), lower);
  if (it != tags.end()) return static_cast<int>(it - tags.begin());
  return static_cast<int>(tags.size()) - 1;
}

}  // namespace detail

namespace {

using detail::LookupTag;
using detail::SplitTagText;

// One tag as found in the text: `text` runs from after '<' up to and with
// the first '>' (or to the end of the text), `lt` is the index of '<' and
// `next` the index of the first character behind the tag.
struct RawTag {
  StringView text;
  size_t lt = 0;
  size_t next = 0;
};

// The next tag at or after index `from` that does not begin with '!'.
// False, with `next` at the end, when no '<' is left or the text ends
// right after it.
bool FindRawTag(StringView s, size_t from, RawTag& tag) {
  for (;;) {
    const size_t lt = s.find(u'<', from);
    if (lt == StringView::npos || lt + 1 == s.size()) {
      tag = RawTag{StringView(), s.size(), s.size()};
      return false;
    }
    const size_t gt = s.find(u'>', lt + 1);
    const size_t end = gt == StringView::npos ? s.size() : gt + 1;
    tag = RawTag{s.substr(lt + 1, end - lt - 1), lt, end};
    if (tag.text[0] != u'!') return true;
    from = end;  // a comment or declaration, up to its first '>'
  }
}

// True if `s[at..]` begins with `lower_pattern` after ASCII folding.
bool MatchesFolded(StringView s, size_t at, StringView lower_pattern) {
  if (at + lower_pattern.size() > s.size()) return false;
  for (size_t i = 0; i < lower_pattern.size(); ++i) {
    if (AsciiLower(s[at + i]) != lower_pattern[i]) return false;
  }
  return true;
}

size_t StartIndex(StringView s, int pos) {
  return pos < 1 ? 0 : std::min(static_cast<size_t>(pos) - 1, s.size());
}

}  // namespace

void TextLineCoords(StringView S, int Pos, int& Line, int& Column) {
  Line = Column = 0;
  if (Pos < 1 || static_cast<size_t>(Pos) > S.size() + 1) return;
  const size_t at = static_cast<size_t>(Pos) - 1;
  int line = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < at; ++i) {
    const Char c = S[i];
    // CR LF is one break, counted at its LF.
    if (c == u'\n' || (c == u'\r' && (i + 1 >= S.size() || S[i + 1] != u'\n'))) {
      ++line;
      line_start = i + 1;
    }
  }
  Line = line;
  Column = static_cast<int>(at - line_start) + 1;
}

int ReadNextTagInString(StringView S, int& Pos, std::span<const String> Tags,
                        String& Attributes, String& Content) {
  // `S` may view `Attributes` or `Content` (nested tags are read from the
  // content), so both are set only at the end.
  String attributes, content;
  RawTag tag;
  String name;
  bool empty_element = false;
  if (FindRawTag(S, StartIndex(S, Pos), tag)) {
    empty_element = SplitTagText(tag.text, name, attributes);
  }
  size_t next = tag.next;
  if (!empty_element && !name.empty() && name[0] != u'/') {
    // The content ends before the first "</name>" in any letter case.  Each
    // candidate ends at a '>', so only the '>'s need looking at.
    const String pattern = u"</" + LowerCase(name) + u">";
    size_t gt = S.find(u'>', next);
    for (; gt != StringView::npos; gt = S.find(u'>', gt + 1)) {
      if (gt + 1 - next >= pattern.size() &&
          MatchesFolded(S, gt + 1 - pattern.size(), pattern)) {
        break;
      }
    }
    if (gt == StringView::npos) {
      content = String(S.substr(next));
      next = S.size();
    } else {
      content = String(S.substr(next, gt + 1 - pattern.size() - next));
      next = gt + 1;
    }
  }
  Attributes = std::move(attributes);
  Content = std::move(content);
  Pos = static_cast<int>(next) + 1;
  return LookupTag(name, Tags);
}

int DetectNextTagInString(StringView S, int& StartPos, int& EndPos,
                          std::span<const String> Tags, String& Attributes,
                          bool& IsEndTag) {
  IsEndTag = false;
  RawTag tag;
  if (!FindRawTag(S, StartIndex(S, StartPos), tag)) {
    Attributes.clear();
    StartPos = EndPos = 0;
    return -1;
  }
  // `S` may view `Attributes`: it is set once the tag has been read.
  String name, attributes;
  SplitTagText(tag.text, name, attributes);
  Attributes = std::move(attributes);
  if (!name.empty() && name[0] == u'/') {
    IsEndTag = true;
    name.erase(0, 1);
  }
  StartPos = static_cast<int>(tag.lt) + 1;
  EndPos = static_cast<int>(tag.next);
  return LookupTag(name, Tags);
}

}  // namespace zel
