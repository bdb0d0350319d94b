#include "zel/htmlsupport/htmltext.h"

#include <algorithm>
#include <array>

#include "zel/htmlsupport/entities.h"
#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/charclass.h"
#include "zel/stringl/words.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr StringView kCrLf = u"\r\n";

// Elements whose tags (start or end) begin a new block of text.
constexpr std::array<StringView, 30> kBlockElements = {
    u"p",      u"div",     u"h1",      u"h2",         u"h3",      u"h4",
    u"h5",     u"h6",      u"ul",      u"ol",         u"li",      u"dl",
    u"dt",     u"dd",      u"table",   u"tr",         u"hr",      u"pre",
    u"blockquote", u"address", u"center", u"form",    u"section", u"article",
    u"header", u"footer",  u"nav",     u"main",       u"aside",   u"caption"};

bool IsHtmlSpace(Char c) noexcept {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// The position of `needle` (lower case) in `hay` from `from` on, ignoring
// ASCII case; npos when absent.
size_t FindNoCase(StringView hay, StringView needle, size_t from) {
  if (needle.size() > hay.size()) return StringView::npos;
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && AsciiLower(hay[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return i;
  }
  return StringView::npos;
}

// True when the tag name `name` (lower case) starts at `at` and ends there:
// the next character is no letter or digit.
bool NameEndsAt(StringView s, size_t at) {
  return at >= s.size() || !IsDigitLetter(s[at]);
}

// The first `<name` start or end tag (`close` picks "</name") at or after
// `from`, matched as a whole name; npos when there is none.
size_t FindTag(StringView s, StringView name, bool close, size_t from) {
  const String open = (close ? String(u"</") : String(u"<")) + String(name);
  for (size_t at = FindNoCase(s, open, from); at != StringView::npos;
       at = FindNoCase(s, open, at + 1)) {
    if (NameEndsAt(s, at + open.size())) return at;
  }
  return StringView::npos;
}

// Builds the plain text of a body, one piece at a time.
class TextWriter {
 public:
  explicit TextWriter(Char line_break) : break_(line_break) {}

  // Text outside `pre`: blanks between words, breaks before blocks.
  void Word(StringView word) {
    if (pending_break_) {
      out_.push_back(break_);
    } else if (pending_space_ && !AtLineStart()) {
      out_.push_back(u' ');
    }
    pending_break_ = pending_space_ = false;
    out_ += ResolveHTMLEntities(word);
  }
  void Space() { pending_space_ = true; }
  // A block boundary: one break before the next text, none at the start.
  void Block() {
    if (!AtLineStart()) pending_break_ = true;
    pending_space_ = false;
  }
  // An explicit break (`<br>`, a line end inside `pre`).
  void Break() {
    out_.push_back(break_);
    pending_break_ = pending_space_ = false;
  }
  // Starts a `pre` element: a line end right after its start tag is not
  // part of the text.
  void StartPre() { skip_line_end_ = true; }
  // Text inside `pre`: kept as it is, but for its line ends.
  void Preformatted(StringView text) {
    if (text.empty()) return;
    if (skip_line_end_) {
      skip_line_end_ = false;
      if (text.substr(0, 2) == kCrLf) {
        text.remove_prefix(2);
      } else if (text[0] == u'\r' || text[0] == u'\n') {
        text.remove_prefix(1);
      }
    }
    if (pending_break_) Break();
    pending_space_ = false;
    for (size_t i = 0; i < text.size();) {
      if (text[i] == u'\r' || text[i] == u'\n') {
        i += text.substr(i, 2) == kCrLf ? 2 : 1;
        Break();
        continue;
      }
      const size_t end = std::min(text.find_first_of(u"\r\n", i), text.size());
      out_ += ResolveHTMLEntities(text.substr(i, end - i));
      i = end;
    }
  }
  String Take() { return std::move(out_); }

 private:
  bool AtLineStart() const { return out_.empty() || out_.back() == break_; }

  Char break_;
  String out_;
  bool pending_space_ = false;
  bool pending_break_ = false;
  bool skip_line_end_ = false;
};

}  // namespace

int CountWordsHTML(StringView S, bool IgnoreNumbers, bool& InTag) {
  int words = 0, run = 0;
  bool starts_with_digit = false;
  for (Char c : S) {
    if (c == u'<') {
      InTag = true;
    } else if (c == u'>') {
      InTag = false;
    }
    if (InTag) continue;
    if (IsWordSep(c)) {
      if (run >= 2 && !(IgnoreNumbers && starts_with_digit)) ++words;
      run = 0;
    } else {
      if (run == 0) starts_with_digit = IsDigit(c);
      ++run;
    }
  }
  return words;
}

String DefaultHTMLHead(StringView Title, StringView Description, StringView Keywords,
                       StringView StyleSheet, bool OpenBody) {
  String head = u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<title>";
  head += MakeStringHTMLCompatible(Title);
  head += u"</title>\r\n";
  const auto line = [&head](StringView open, StringView text) {
    if (text.empty()) return;
    head += open;
    head += MakeStringHTMLCompatible(text);
    head += u"\">\r\n";
  };
  line(u"<meta name=\"description\" content=\"", Description);
  line(u"<meta name=\"keywords\" content=\"", Keywords);
  line(u"<link rel=\"stylesheet\" href=\"", StyleSheet);
  head += u"</head>\r\n";
  if (OpenBody) head += u"<body>\r\n";
  return head;
}

String DefaultHTMLFoot(bool CloseBody) {
  String foot = CloseBody ? String(u"</body>") + String(kCrLf) : String();
  return foot + u"</html>" + String(kCrLf);
}

String ExtractHTMLBody(StringView Page) {
  const size_t open = FindTag(Page, u"body", false, 0);
  if (open == StringView::npos) return String(Page);
  const size_t gt = Page.find(u'>', open);
  if (gt == StringView::npos) return String();
  const size_t start = gt + 1;
  const size_t close = FindTag(Page, u"body", true, start);
  return String(Page.substr(start, close == StringView::npos ? StringView::npos : close - start));
}

String ConvertHTMLBodyToText(StringView Body, Char LineBreak) {
  TextWriter out(LineBreak);
  int pre_depth = 0;
  size_t i = 0;
  while (i < Body.size()) {
    const Char c = Body[i];
    if (c != u'<') {
      const size_t end = std::min(Body.find(u'<', i), Body.size());
      if (pre_depth > 0) {
        out.Preformatted(Body.substr(i, end - i));
        i = end;
        continue;
      }
      // Words and the white space between them.
      while (i < end) {
        if (IsHtmlSpace(Body[i])) {
          out.Space();
          ++i;
          continue;
        }
        size_t w = i;
        while (w < end && !IsHtmlSpace(Body[w])) ++w;
        out.Word(Body.substr(i, w - i));
        i = w;
      }
      continue;
    }
    if (Body.substr(i, 4) == u"<!--") {
      const size_t close = Body.find(u"-->", i + 4);
      i = close == StringView::npos ? Body.size() : close + 3;
      continue;
    }
    const size_t gt = Body.find(u'>', i);
    const size_t tag_end = gt == StringView::npos ? Body.size() : gt + 1;
    size_t n = i + 1;
    const bool closing = n < Body.size() && Body[n] == u'/';
    if (closing) ++n;
    size_t name_end = n;
    while (name_end < Body.size() && IsDigitLetter(Body[name_end])) ++name_end;
    const String name = LowerCase(Body.substr(n, name_end - n));
    i = tag_end;
    if (name.empty()) continue;
    if (!closing && (name == u"script" || name == u"style")) {
      const size_t close = FindTag(Body, name, true, i);
      if (close == StringView::npos) {
        i = Body.size();
      } else {
        const size_t close_gt = Body.find(u'>', close);
        i = close_gt == StringView::npos ? Body.size() : close_gt + 1;
      }
      continue;
    }
    if (name == u"br") {
      out.Break();
    } else if (name == u"td" || name == u"th") {
      out.Space();
    } else if (std::find(kBlockElements.begin(), kBlockElements.end(), name) !=
               kBlockElements.end()) {
      out.Block();
      if (name == u"pre") {
        pre_depth = std::max(0, pre_depth + (closing ? -1 : 1));
        if (!closing) out.StartPre();
      }
    }
  }
  return out.Take();
}

}  // namespace zel
