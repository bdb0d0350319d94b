#include "zel/htmlsupport/htmltext.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(CountWordsHTML, CountsWordsOutsideMarkup) {
  const struct {
    StringView text;
    bool ignore_numbers;
    bool in_tag_before;
    int want;
    bool in_tag_after;
  } cases[] = {
      {u"<p>one two </p>", false, false, 2, false},
      {u"abc <b", false, false, 1, true},
      {u"12 ab ", true, false, 1, false},
      {u"12 ab ", false, false, 2, false},
      {u"a1b2 3c ", true, false, 1, false},   // only the first character counts
      {u"class=x>more text ", false, true, 2, false},  // starts inside a tag
      {u"ab>cd ", false, false, 2, false},    // '>' outside a tag still separates
      {u"ab<i>cd</i> ", false, false, 2, false},  // '>' ends the run before the tag
      {u"<a title='one two three'>x</a>", false, false, 0, false},
      {u"last word", false, false, 1, false},  // a run at the end is not counted
      {u"Gr\u00fc\u00dfe aus K\u00f6ln.", false, false, 3, false},
      {u"a b c ", false, false, 0, false},     // one-character runs are no words
      {u"", false, true, 0, true},
  };
  for (const auto& c : cases) {
    bool in_tag = c.in_tag_before;
    EXPECT_EQ(CountWordsHTML(c.text, c.ignore_numbers, in_tag), c.want) << ToUtf8(c.text);
    EXPECT_EQ(in_tag, c.in_tag_after) << ToUtf8(c.text);
  }
}

TEST(CountWordsHTML, CountsAPageLineByLine) {
  const StringView lines[] = {u"<html><body class=\"x\n", u"  main\">Hello big\n",
                              u"world <!-- a\n", u"comment --> end of text\n"};
  String whole;
  bool in_tag = false;
  int total = 0;
  for (StringView line : lines) {
    total += CountWordsHTML(line, false, in_tag);
    whole += line;
  }
  bool whole_in_tag = false;
  EXPECT_EQ(total, 6);  // Hello big world end of text
  EXPECT_EQ(CountWordsHTML(whole, false, whole_in_tag), total);
  EXPECT_FALSE(in_tag);
}

TEST(DefaultHTMLHeadAndFoot, WriteAStandardPage) {
  EXPECT_EQ(DefaultHTMLHead(u"Q & A", u"Say \"hi\"", u"a, b", u"style.css", true),
            u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<title>Q &amp; A</title>\r\n"
            u"<meta name=\"description\" content=\"Say &quot;hi&quot;\">\r\n"
            u"<meta name=\"keywords\" content=\"a, b\">\r\n"
            u"<link rel=\"stylesheet\" href=\"style.css\">\r\n"
            u"</head>\r\n<body>\r\n");
  EXPECT_EQ(DefaultHTMLHead(u"", u"", u"", u"", false),
            u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<title></title>\r\n</head>\r\n");
  EXPECT_EQ(DefaultHTMLFoot(true), u"</body>\r\n</html>\r\n");
  EXPECT_EQ(DefaultHTMLFoot(false), u"</html>\r\n");
}

TEST(ExtractHTMLBody, TakesTheTextBetweenTheBodyTags) {
  const struct {
    StringView page;
    StringView want;
  } cases[] = {
      {u"<html><head><title>t</title></head><body>x <b>y</b></body></html>", u"x <b>y</b>"},
      {u"<HTML><BODY bgcolor=\"white\">x</BODY></HTML>", u"x"},
      {u"<body\n class=a>x</body >", u"x"},
      {u"<body>runs to the end", u"runs to the end"},
      {u"<p>no body tag</p>", u"<p>no body tag</p>"},
      {u"<bodyguard>x</bodyguard>", u"<bodyguard>x</bodyguard>"},
      {u"<bodyx>a<body>b</bodyx></body>", u"b</bodyx>"},
      {u"<body", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractHTMLBody(c.page), c.want) << ToUtf8(c.page);
  }
  const String page = DefaultHTMLHead(u"t", u"", u"", u"", true) + u"<p>Done.</p>\r\n" +
                      DefaultHTMLFoot(true);
  EXPECT_EQ(ExtractHTMLBody(page), u"\r\n<p>Done.</p>\r\n");
}

TEST(ConvertHTMLBodyToText, GivesTheTextAReaderSees) {
  const struct {
    StringView body;
    StringView want;
  } cases[] = {
      {u"<p>a &amp; b</p><p>c</p>", u"a & b|c"},
      {u"  a \r\n\t b  ", u"a b"},
      {u"line1<br>line2<BR/><br>x", u"line1|line2||x"},
      {u"<h1>Title</h1>\n<p>x <b>y</b>z\n</p>\n<ul><li>one</li><li>two</li></ul>",
       u"Title|x yz|one|two"},
      {u"<table><tr><td>1</td><td>2</td></tr>\n<tr><td>3</td></tr></table>", u"1 2|3"},
      {u"<pre>\n a  b\r\n\tc &lt;</pre>after", u" a  b|\tc <|after"},
      {u"<script>if (a<b) x();</script>ok<style>p{}</style>", u"ok"},
      {u"<SCRIPT type=x>a</Script>b", u"b"},
      {u"<!-- <p>hidden</p> -->shown", u"shown"},
      {u"a&nbsp;b&#x20AC; &bogus;", u"a\u00a0b\u20ac &bogus;"},
      {u"a <span>b</span><span>c</span>", u"a bc"},
      {u"x<unclosed tag", u"x"},
      {u"<script>never closed", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConvertHTMLBodyToText(c.body, u'|'), c.want) << ToUtf8(c.body);
  }
  EXPECT_EQ(ConvertHTMLBodyToText(u"<p>a</p><p>b</p>", u'\n'), u"a\nb");
}

}  // namespace
}  // namespace zel
