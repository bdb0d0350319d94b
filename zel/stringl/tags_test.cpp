#include "zel/stringl/tags.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(TextLineCoords, Table) {
  const String s = u"ab\r\ncd\ne\rf";  // a b CR LF c d LF e CR f
  const struct {
    int pos, line, column;
  } cases[] = {
      {1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 1, 4},  // CR LF belong to line 1
      {5, 2, 1}, {6, 2, 2}, {7, 2, 3},             // the LF ends line 2
      {8, 3, 1}, {9, 3, 2},                        // a lone CR ends line 3
      {10, 4, 1}, {11, 4, 2},                      // right after the end
      {0, 0, 0}, {12, 0, 0}, {-3, 0, 0},
  };
  for (const auto& c : cases) {
    int line = -1, column = -1;
    TextLineCoords(s, c.pos, line, column);
    EXPECT_EQ(line, c.line) << "pos " << c.pos;
    EXPECT_EQ(column, c.column) << "pos " << c.pos;
  }
  int line = -1, column = -1;
  TextLineCoords(u"", 1, line, column);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(column, 1);
}

class ReadTag : public ::testing::Test {
 protected:
  // Reads the next tag of `text_` and returns its index.
  int Next() { return ReadNextTagInString(text_, pos_, tags_, attr_, content_); }

  const String tags_[3] = {u"label", u"font", u"end"};
  String text_;
  int pos_ = 1;
  String attr_ = u"stale", content_ = u"stale";
};

TEST_F(ReadTag, ElementWithContent) {
  text_ = u"<label name=A size=3>hello <x>y</x></LABEL>tail";
  EXPECT_EQ(Next(), 0);
  EXPECT_EQ(attr_, u"name=A size=3");
  EXPECT_EQ(content_, u"hello <x>y</x>");
  EXPECT_EQ(text_.substr(static_cast<size_t>(pos_) - 1), u"tail");
  // Nothing is left: empty results, the lookup of the empty name.
  EXPECT_EQ(Next(), 2);
  EXPECT_EQ(attr_, u"");
  EXPECT_EQ(content_, u"");
  EXPECT_EQ(pos_, static_cast<int>(text_.size()) + 1);
}

TEST_F(ReadTag, EmptyElementsCommentsAndUnknownNames) {
  text_ = u"<font size=3/><FONT/><!-- note --><end><para x=1>t</para></label>";
  EXPECT_EQ(Next(), 1);
  EXPECT_EQ(attr_, u"size=3");
  EXPECT_EQ(content_, u"");
  EXPECT_EQ(Next(), 1);
  EXPECT_EQ(attr_, u"");
  // The comment is skipped; <end> has no closing tag, so its content is
  // all the rest.
  EXPECT_EQ(Next(), 2);
  EXPECT_EQ(content_, u"<para x=1>t</para></label>");
  pos_ = static_cast<int>(text_.find(u"<para")) + 1;
  EXPECT_EQ(Next(), 2);  // unknown: the last index
  EXPECT_EQ(attr_, u"x=1");
  EXPECT_EQ(content_, u"t");
  // A closing tag on its own: looked up as "/label", no content.
  EXPECT_EQ(Next(), 2);
  EXPECT_EQ(content_, u"");
  EXPECT_EQ(pos_, static_cast<int>(text_.size()) + 1);
}

TEST_F(ReadTag, Declarations) {
  text_ = u"<?xml version=1.0?><label>a</label>";
  EXPECT_EQ(Next(), 2);  // an opening tag named "?xml"
  EXPECT_EQ(attr_, u"version=1.0?");
  EXPECT_EQ(content_, u"<label>a</label>");
}

TEST_F(ReadTag, TextEndingInsideATag) {
  text_ = u"x <label name=A";
  EXPECT_EQ(Next(), 0);
  EXPECT_EQ(attr_, u"name=A");
  EXPECT_EQ(content_, u"");
  text_ = u"<font";
  pos_ = 1;
  EXPECT_EQ(Next(), 1);
  text_ = u"abc <";
  pos_ = 1;
  EXPECT_EQ(Next(), 2);
  EXPECT_EQ(pos_, 6);
}

// Nested tags are read by passing the content back in, as text and as the
// string that receives the new content.
TEST_F(ReadTag, ContentMayBeTheText) {
  text_ = u"<label name=A><font size=3>some text long enough for the heap</font></label>";
  EXPECT_EQ(Next(), 0);
  EXPECT_EQ(content_, u"<font size=3>some text long enough for the heap</font>");
  pos_ = 1;
  EXPECT_EQ(ReadNextTagInString(content_, pos_, tags_, attr_, content_), 1);
  EXPECT_EQ(attr_, u"size=3");
  EXPECT_EQ(content_, u"some text long enough for the heap");
  String text = u"<font face=a long attribute text for the heap>rest";
  pos_ = 1;
  EXPECT_EQ(ReadNextTagInString(text, pos_, tags_, text, content_), 1);
  EXPECT_EQ(text, u"face=a long attribute text for the heap");
  EXPECT_EQ(content_, u"rest");
}

TEST_F(ReadTag, EmptyNameEntry) {
  const String tags[] = {u"a", u"", u"b"};
  int pos = 1;
  EXPECT_EQ(ReadNextTagInString(u"no tags", pos, tags, attr_, content_), 1);
}

TEST(DetectNextTagInString, WalksTheTags) {
  const String tags[] = {u"label", u"font", u"end"};
  const String s = u"x <label a=1>hi</Label> <!--c--> <font/><b>";
  int start = 0, end = 0;
  String attr;
  bool is_end = true;
  EXPECT_EQ(DetectNextTagInString(s, start, end, tags, attr, is_end), 0);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 13);
  EXPECT_EQ(attr, u"a=1");
  EXPECT_FALSE(is_end);

  start = end + 1;
  EXPECT_EQ(DetectNextTagInString(s, start, end, tags, attr, is_end), 0);
  EXPECT_EQ(s.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(end - start + 1)),
            u"</Label>");
  EXPECT_TRUE(is_end);
  EXPECT_EQ(attr, u"");

  start = end + 1;
  EXPECT_EQ(DetectNextTagInString(s, start, end, tags, attr, is_end), 1);
  EXPECT_EQ(s.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(end - start + 1)),
            u"<font/>");
  EXPECT_FALSE(is_end);

  start = end + 1;
  EXPECT_EQ(DetectNextTagInString(s, start, end, tags, attr, is_end), 2);  // unknown "b"
  EXPECT_EQ(end, static_cast<int>(s.size()));

  start = end + 1;
  EXPECT_EQ(DetectNextTagInString(s, start, end, tags, attr, is_end), -1);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
}

TEST(DetectNextTagInString, AttributesMayBeTheText) {
  const String tags[] = {u"label"};
  String text = u"<label a=1 and an attribute text long enough for the heap>";
  int start = 1, end = 0;
  bool is_end = true;
  EXPECT_EQ(DetectNextTagInString(text, start, end, tags, text, is_end), 0);
  EXPECT_EQ(text, u"a=1 and an attribute text long enough for the heap");
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 58);
  EXPECT_FALSE(is_end);
}

TEST(DetectNextTagInString, UnterminatedTag) {
  const String tags[] = {u"label"};
  int start = 1, end = 0;
  String attr;
  bool is_end = false;
  EXPECT_EQ(DetectNextTagInString(u"ab<label x=1", start, end, tags, attr, is_end), 0);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 12);
  EXPECT_EQ(attr, u"x=1");
}

}  // namespace
}  // namespace zel
