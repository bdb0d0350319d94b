#include "zel/htmlsupport/producer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

struct Call {
  String tag, name, params;
  bool operator==(const Call&) const = default;
};

// Converts `tmpl` with a handler that records each call and replaces each
// placeholder by "[name|params]".
String ConvertRecording(StringView tmpl, std::vector<Call>& calls) {
  THtmlProducer producer(nullptr);
  producer.SetTemplate(tmpl);
  producer.SetOnHTMLTag([&](TObject* sender, const String& name, const String& params,
                            String& replacement) {
    EXPECT_EQ(sender, &producer);
    calls.push_back({replacement, name, params});
    replacement = u"[" + name + u"|" + params + u"]";
  });
  const String page = producer.Convert();
  EXPECT_EQ(producer.ConvertedHTML(), page);
  return page;
}

TEST(THtmlProducer, ConvertFindsPlaceholders) {
  const struct {
    StringView tmpl;
    std::vector<Call> calls;
    StringView page;
  } cases[] = {
      {u"plain text", {}, u"plain text"},
      {u"<b>x</b>", {}, u"<b>x</b>"},
      {u"ends with <", {}, u"ends with <"},
      {u"<#name p1 p2 >", {{u"<#name p1 p2 >", u"name", u"p1 p2"}}, u"[name|p1 p2]"},
      {u"<#NAME a>", {{u"<#NAME a>", u"name", u"a"}}, u"[name|a]"},
      {u"a <#x", {{u"<#x", u"x", u""}}, u"a [x|]"},
      {u"<#x y z", {{u"<#x y z", u"x", u"y z"}}, u"[x|y z]"},
      // The name ends at the '>' as well as at a blank.
      {u"on <#date> at <#time>.", {{u"<#date>", u"date", u""}, {u"<#time>", u"time", u""}},
       u"on [date|] at [time|]."},
      {u"<#table border=1 >x", {{u"<#table border=1 >", u"table", u"border=1"}},
       u"[table|border=1]x"},
      {u"<#a><#b c>", {{u"<#a>", u"a", u""}, {u"<#b c>", u"b", u"c"}}, u"[a|][b|c]"},
      {u"<<#a>>", {{u"<#a>", u"a", u""}}, u"<[a|]>"},
      {u"<# x>", {{u"<# x>", u"", u"x"}}, u"[|x]"},
      {u"<#>", {{u"<#>", u"", u""}}, u"[|]"},
      {u"<#a   >", {{u"<#a   >", u"a", u""}}, u"[a|]"},
      {u"<#a\tb>", {{u"<#a\tb>", u"a\tb", u""}}, u"[a\tb|]"},  // only code 32 is a blank
      {u"<#\u00c4x>", {{u"<#\u00c4x>", u"\u00c4x", u""}}, u"[\u00c4x|]"},  // ASCII folding
      {u"<#", {{u"<#", u"", u""}}, u"[|]"},
      {u"", {}, u""},
  };
  for (const auto& c : cases) {
    std::vector<Call> calls;
    EXPECT_EQ(ConvertRecording(c.tmpl, calls), c.page) << ToUtf8(c.tmpl);
    EXPECT_EQ(calls, c.calls) << ToUtf8(c.tmpl);

    // With no handler, and with one that keeps each placeholder, the page is
    // the template.
    THtmlProducer plain(nullptr);
    plain.SetTemplate(c.tmpl);
    EXPECT_EQ(plain.Convert(), c.tmpl);
    plain.SetOnHTMLTag([](TObject*, const String&, const String&, String&) {});
    EXPECT_EQ(plain.Convert(), c.tmpl);
  }
}

TEST(THtmlProducer, EmptyReplacementRemovesTheTag) {
  THtmlProducer producer(nullptr);
  producer.SetTemplate(u"a<#x>b<#y z>c");
  producer.SetOnHTMLTag([](TObject*, const String&, const String&, String& r) { r.clear(); });
  EXPECT_EQ(producer.Convert(), u"abc");
}

TEST(THtmlProducer, HandlerExceptionLeavesThePageUpToTheTag) {
  THtmlProducer producer(nullptr);
  producer.SetTemplate(u"ab<#ok>cd<#fail>ef");
  producer.SetOnHTMLTag([](TObject*, const String& name, const String&, String& r) {
    if (name == u"fail") throw std::runtime_error("no value");
    r = u"OK";
  });
  EXPECT_THROW(producer.Convert(), std::runtime_error);
  EXPECT_EQ(producer.ConvertedHTML(), u"abOKcd");
}

TEST(THtmlProducer, HandlerMaySetANewTemplate) {
  THtmlProducer producer(nullptr);
  producer.SetTemplate(u"<#a> and <#b>");
  producer.SetOnHTMLTag([&](TObject*, const String& name, const String&, String& r) {
    producer.SetTemplate(u"x");  // takes effect at the next Convert
    r = name;
  });
  EXPECT_EQ(producer.Convert(), u"a and b");
  EXPECT_EQ(producer.Template(), u"x");
}

TEST(THtmlProducer, ReadsTemplateFromFile) {
  testutil::TempDir dir("producer");
  dir.Put("t.html", "<p><#x></p>\n\xc3\xa4\r\nlast");
  THtmlProducer producer(nullptr);
  producer.ReadTemplateFromFile(dir.Path("t.html"));
  EXPECT_EQ(producer.Template(), u"<p><#x></p>\r\n\u00e4\r\nlast\r\n");

  dir.Put("empty.html", "");
  producer.ReadTemplateFromFile(dir.Path("empty.html"));
  EXPECT_EQ(producer.Template(), u"");

  producer.SetTemplate(u"old");
  EXPECT_THROW(producer.ReadTemplateFromFile(dir.Path("absent.html")), EInOutError);
  EXPECT_EQ(producer.Template(), u"");  // cleared before reading
}

TEST(THtmlProducer, ReadsTemplateFromStreamAsUtf16) {
  // Sizes around the 256-byte blocks: short, exactly one block, one block
  // and an odd byte, several blocks.
  for (size_t chars : {0u, 3u, 128u, 129u, 300u}) {
    String text;
    for (size_t i = 0; i < chars; ++i) text.push_back(static_cast<Char>(0x41 + i % 26 + (i % 3) * 0x100));
    for (bool odd : {false, true}) {
      TMemoryStream stream;
      stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size() * 2));
      if (odd) stream.WriteBuffer("\x7f", 1);  // a lone last byte is dropped
      // The stream is read from its start wherever its position stands.
      THtmlProducer producer(nullptr);
      producer.ReadTemplateFromStream(stream);
      EXPECT_EQ(producer.Template(), text) << chars << " chars, odd " << odd;
      EXPECT_EQ(stream.Position(), stream.Size());
    }
  }
}

TEST(THtmlProducer, ConvertedHTMLAsStreamOwnsEachStreamItHandsOut) {
  THtmlProducer producer(nullptr);
  producer.SetTemplate(u"<#v> \u00e9");
  producer.SetOnHTMLTag([](TObject*, const String&, const String&, String& r) { r = u"one"; });
  producer.Convert();
  TStringStream* first = producer.ConvertedHTMLAsStream();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Position(), 0);
  EXPECT_EQ(first->DataBytes(), "one \xe9");  // one Windows-1252 byte per character

  producer.SetOnHTMLTag([](TObject*, const String&, const String&, String& r) { r = u"two"; });
  producer.Convert();
  TStringStream* second = producer.ConvertedHTMLAsStream();
  EXPECT_NE(second, first);  // the first is freed; the sanitizer build sees a leak otherwise
  EXPECT_EQ(second->DataString(), u"two \u00e9");
  char buf[3];
  second->ReadBuffer(buf, 3);
  EXPECT_EQ(std::string(buf, 3), "two");
}

TEST(THtmlProducer, WritesConvertedHTMLToFileAsItIs) {
  testutil::TempDir dir("producer");
  dir.Put("out.html", std::string(100, 'x'));  // longer than the page: overwritten
  THtmlProducer producer(nullptr);
  producer.SetTemplate(u"<p>\u20ac</p>\r\nend");
  producer.Convert();
  producer.WriteConvertedHTMLToFile(dir.Path("out.html"));
  EXPECT_EQ(dir.Bytes("out.html"), "<p>\xe2\x82\xac</p>\r\nend");
  EXPECT_THROW(producer.WriteConvertedHTMLToFile(dir.Path("no/such/dir.html")), EInOutError);
  {
    testutil::FileSizeLimit limit(4);  // the page no longer fits: the old one stays
    if (!limit.Active()) GTEST_SKIP() << limit.WhyNot();
    EXPECT_THROW(producer.WriteConvertedHTMLToFile(dir.Path("out.html")), EInOutError);
  }
  EXPECT_EQ(dir.Bytes("out.html"), "<p>\xe2\x82\xac</p>\r\nend");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(THtmlProducer, OwnerFreesTheProducerAndItsStream) {
  auto* owner = new TComponent(nullptr);
  auto* producer = new THtmlProducer(owner);
  producer->SetTemplate(u"x");
  producer->Convert();
  producer->ConvertedHTMLAsStream();
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;  // the leak checker of the sanitizer build sees anything left
}

}  // namespace
}  // namespace zel
