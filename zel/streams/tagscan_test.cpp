#include "zel/streams/tagscan.h"

#include <gtest/gtest.h>

#include <string>

#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

const String kTags[3] = {u"label", u"font", u"end"};

struct Tag {
  int index;
  String attr, content;
};

// Reads one tag with either reader into a record preset with stale values.
class TagReaders : public ::testing::Test {
 protected:
  Tag FromStream(TStream& s) {
    Tag t{-9, u"stale", u"stale"};
    t.index = ReadNextTagInStream(s, kTags, t.attr, t.content);
    return t;
  }
  Tag FromFile(TextFile& f) {
    Tag t{-9, u"stale", u"stale"};
    t.index = ReadNextTagInTextFile(f, kTags, t.attr, t.content);
    return t;
  }
  testutil::TempDir dir_{"tagscan"};
};

TEST_F(TagReaders, ElementAttributesContentAndWhatFollows) {
  const std::string input = "junk <label name=A size=3>hello <x>y</x></LABEL>tail";
  TStringStream s(input);
  Tag t = FromStream(s);
  EXPECT_EQ(t.index, 0);
  EXPECT_EQ(t.attr, u"name=A size=3");
  EXPECT_EQ(t.content, u"hello <x>y</x>");
  EXPECT_EQ(s.Position(), static_cast<int64_t>(input.find("tail")));

  dir_.Put("in.xml", input + "<end>");
  TextFile f(dir_.Path("in.xml"));
  f.Reset();
  t = FromFile(f);
  EXPECT_EQ(t.index, 0);
  EXPECT_EQ(t.attr, u"name=A size=3");
  EXPECT_EQ(t.content, u"hello <x>y</x>");
  String rest;
  f.ReadLn(rest);
  EXPECT_EQ(rest, u"tail<end>");
}

TEST_F(TagReaders, TagKindsAndLookup) {
  const struct {
    const char* input;
    int index;
    const char16_t* attr;
    const char16_t* content;
    const char* rest;  // what the stream still holds
  } cases[] = {
      {"<font size=3/>x", 1, u"size=3", u"", "x"},
      {"<font/>x", 1, u"", u"", "x"},
      {"<FONT   a=1  />x", 1, u"a=1", u"", "x"},
      {"<!-- note --><!DOCTYPE x><end></end>", 2, u"", u"", ""},
      {"<other a=1>b</other>c", 2, u"a=1", u"b", "c"},        // unknown: last index
      {"</label>x", 2, u"", u"", "x"},                         // closing tag, no content
      {"<?xml version=1.0?>abc", 2, u"version=1.0?", u"abc", ""},
      {"<label>a</labelx></label>b", 0, u"", u"a</labelx>", "b"},
      {"<label>a<label>b</label>c</label>", 0, u"", u"a<label>b", "c</label>"},
      {"<label>unclosed <b>", 0, u"", u"unclosed <b>", ""},
      {"no tags at all", 2, u"", u"", ""},
      {"", 2, u"", u"", ""},
      {"<label a=\xE9>\xFF</label>", 0, u"a=\u00E9", u"\u00FF", ""},  // bytes are codes 0-255
  };
  for (const auto& c : cases) {
    TStringStream s{std::string(c.input)};
    const Tag t = FromStream(s);
    EXPECT_EQ(t.index, c.index) << c.input;
    EXPECT_EQ(t.attr, c.attr) << c.input;
    EXPECT_EQ(t.content, c.content) << c.input;
    std::string rest(static_cast<size_t>(s.Size() - s.Position()), '\0');
    ASSERT_EQ(s.Read(rest.data(), static_cast<int64_t>(rest.size())), static_cast<int64_t>(rest.size()));
    EXPECT_EQ(rest, c.rest) << c.input;
  }
}

TEST_F(TagReaders, EmptyNameMatchesAnEmptyEntry) {
  const String tags[] = {u"a", u"", u"z"};
  TStringStream s("nothing");
  String attr, content;
  EXPECT_EQ(ReadNextTagInStream(s, tags, attr, content), 1);
}

TEST_F(TagReaders, TextFileContentStopsAtTheLastGt) {
  // The stream keeps text after the last '>' of an unclosed element; the
  // text file does not.  Line ends are read as CR and LF.
  const std::string input = "<label>\r\nline <b>tail";
  TStringStream s(input);
  EXPECT_EQ(FromStream(s).content, u"\r\nline <b>tail");

  dir_.Put("t.xml", input);
  TextFile f(dir_.Path("t.xml"));
  f.Reset();
  const Tag t = FromFile(f);
  EXPECT_EQ(t.index, 0);
  EXPECT_EQ(t.content, u"\r\nline <b>");
  EXPECT_TRUE(f.Eof());
  const Tag end = FromFile(f);
  EXPECT_EQ(end.index, 2);
  EXPECT_EQ(end.attr, u"");
  EXPECT_EQ(end.content, u"");
}

TEST_F(TagReaders, SequenceThroughAFile) {
  dir_.Put("seq.xml",
           "<?xml version=\"1.0\"?>\n<!-- c -->\n<label name=\"a b\">x</label>\n"
           "<font size=2/>\n<end>\n</end>\n");
  TextFile f(dir_.Path("seq.xml"));
  f.Reset();
  EXPECT_EQ(FromFile(f).index, 2);  // ?xml runs to the end: no </?xml>
  EXPECT_TRUE(f.Eof());
  f.Reset();
  String attr, content;
  const String tags[] = {u"?xml", u"label", u"font", u"end", u""};
  // With "?xml" listed its content is all the rest; read it again.
  EXPECT_EQ(ReadNextTagInTextFile(f, tags, attr, content), 0);
  EXPECT_EQ(attr, u"version=\"1.0\"?");
  TStringStream inner(content);
  EXPECT_EQ(ReadNextTagInStream(inner, tags, attr, content), 1);
  EXPECT_EQ(ScanForXMLAttrib(attr, u"name"), u"a b");
  EXPECT_EQ(content, u"x");
  EXPECT_EQ(ReadNextTagInStream(inner, tags, attr, content), 2);
  EXPECT_EQ(attr, u"size=2");
  EXPECT_EQ(ReadNextTagInStream(inner, tags, attr, content), 3);
  EXPECT_EQ(content, u"\n");
  EXPECT_EQ(ReadNextTagInStream(inner, tags, attr, content), 4);
}

TEST(ScanXMLAttribPair, Table) {
  const struct {
    const char16_t* attr;
    int pos;
    int code;
    const char16_t* name;
    const char16_t* value;
    int next;
  } cases[] = {
      {u"name=A size=3", 1, xapOK, u"name", u"A", 8},
      {u"name=A size=3", 8, xapOK, u"size", u"3", 14},
      {u"name=A size=3", 14, xapEndOfText, u"", u"", 14},
      {u"   a = \"1 = 2\"b=c", 1, xapOK, u"a", u"1 = 2", 15},
      {u"a=\"open", 1, xapOK, u"a", u"open", 8},
      {u"lonely", 1, xapOK, u"lonely", u"", 7},
      {u"a=", 1, xapOK, u"a", u"", 3},
      {u"a\"b=1", 1, xapQuoteInName, u"a", u"", 3},
      {u"a= =1", 1, xapDoubleEquals, u"a", u"", 5},
      {u"x=1=2", 1, xapEqualsInValue, u"x", u"1", 5},
      {u"a=1\"b=2", 1, xapOK, u"a", u"1", 5},
      {u"k=v", 0, xapOK, u"k", u"v", 4},  // below 1 counts as 1
      {u"", 1, xapEndOfText, u"", u"", 1},
  };
  for (const auto& c : cases) {
    int pos = c.pos;
    String name = u"stale", value = u"stale";
    EXPECT_EQ(ScanXMLAttribPair(c.attr, pos, name, value), c.code) << ToUtf8(c.attr);
    EXPECT_EQ(name, c.name) << ToUtf8(c.attr);
    EXPECT_EQ(value, c.value) << ToUtf8(c.attr);
    EXPECT_EQ(pos, c.next) << ToUtf8(c.attr);
  }
}

TEST(ScanForXMLAttrib, FindsByFoldedNameAndStopsAtErrors) {
  EXPECT_EQ(ScanForXMLAttrib(u"name=A size=3", u"SIZE"), u"3");
  EXPECT_EQ(ScanForXMLAttrib(u"name=A size=3", u"name"), u"A");
  EXPECT_EQ(ScanForXMLAttrib(u"NAME=Abc", u"name"), u"Abc");
  EXPECT_EQ(ScanForXMLAttrib(u"name=A size=3", u"colour"), u"");
  EXPECT_EQ(ScanForXMLAttrib(u"v=\"1=2\"", u"v"), u"1=2");
  EXPECT_EQ(ScanForXMLAttrib(u"a==1 b=2", u"b"), u"");
  EXPECT_EQ(ScanForXMLAttrib(u"a=1=2 b=2", u"b"), u"");
  EXPECT_EQ(ScanForXMLAttrib(u"a=1 b=2 a=3", u"a"), u"1");  // the first wins
  EXPECT_EQ(ScanForXMLAttrib(u"", u""), u"");
}

std::string Rest(TStringStream& s) {
  return std::string(s.DataBytes().substr(static_cast<size_t>(s.Position())));
}

TEST(ScanStreamForXMLTag, FindsNestedElementsAndReportsTheEnd) {
  TStringStream s(
      "<doc><!-- <Item a=0> --><group><ITEM a=1>one</item><item a=2/></group>"
      "<item>three");
  String attr = u"stale", content = u"stale";
  ASSERT_TRUE(ScanStreamForXMLTag(s, u"Item", attr, content));
  EXPECT_EQ(attr, u"a=1");
  EXPECT_EQ(content, u"one");
  ASSERT_TRUE(ScanStreamForXMLTag(s, u"item", attr, content));
  EXPECT_EQ(attr, u"a=2");
  EXPECT_EQ(content, u"");
  EXPECT_EQ(Rest(s), "</group><item>three");
  ASSERT_TRUE(ScanStreamForXMLTag(s, u"item", attr, content));
  EXPECT_EQ(content, u"three");  // no closing tag: the rest
  EXPECT_FALSE(ScanStreamForXMLTag(s, u"item", attr, content));
  EXPECT_EQ(attr, u"");
  EXPECT_EQ(content, u"");
}

TEST(ReadStreamUntilTagList, StopsOnTheTagSoATagReaderReadsItNext) {
  TStringStream s("text <!-- <end> --><b>x</b> more <FONT size=2/>tail");
  int index = -9;
  const String list[] = {u"label", u"font"};
  EXPECT_EQ(ReadStreamUntilTagList(s, list, index), u"text <!-- <end> --><b>x</b> more ");
  EXPECT_EQ(index, 1);
  String attr, content;
  EXPECT_EQ(ReadNextTagInStream(s, kTags, attr, content), 1);
  EXPECT_EQ(attr, u"size=2");
  EXPECT_EQ(ReadStreamUntilTagList(s, list, index), u"tail");
  EXPECT_EQ(index, -1);
  EXPECT_EQ(s.Position(), s.Size());
}

TEST(ExtractFromStream, CopiesListedElementsWhole) {
  TStringStream s(
      "<doc><Label n=1>a<b>c</b></LABEL><font/><other><label n=2></label></other>"
      "<end>x</end><label n=3>open");
  s.SetPosition(5);
  TStringList names;
  names.Add(u"LABEL");
  names.Add(u"font");
  TMemoryStream dest;
  dest.WriteBuffer("#", 1);
  EXPECT_EQ(ExtractFromStream(s, dest, names), 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(dest.Memory()),
                        static_cast<size_t>(dest.Size())),
            "#<Label n=1>a<b>c</b></LABEL><font/><label n=2></label><label n=3>open");
}

}  // namespace
}  // namespace zel
