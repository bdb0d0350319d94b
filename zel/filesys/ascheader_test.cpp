#include "zel/filesys/ascheader.h"

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"
#include "zel/streams/streamio.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

struct Header {
  int status = 99;
  String comment = u"stale";
  int32_t a = -7, b = -7;
  bool f[4] = {true, true, true, true};
};

Header FromStream(TStream& s) {
  Header h;
  h.status = ReadHeaderOfASC(s, h.comment, h.a, h.b, h.f[0], h.f[1], h.f[2], h.f[3]);
  return h;
}

Header FromFile(const String& name) {
  Header h;
  h.status = ReadHeaderOfASC(name, h.comment, h.a, h.b, h.f[0], h.f[1], h.f[2], h.f[3]);
  return h;
}

struct Case {
  const char* text;
  int file_status;
  int stream_status;
  int32_t a, b;
  bool f[4];
};

// Cases where the variants agree are given with one status twice.
const Case kCases[] = {
    {"Title\r\n10\r\n3\r\ntrue FALSE TRUE false\r\n1 2 3\r\n", 0, 0, 10, 3, {true, false, true, false}},
    {"Title\n10\n3\ntrue FALSE TRUE false\n1 2 3\n", 0, 0, 10, 3, {true, false, true, false}},
    {"Title\r\n0\r\n3\r\ntrue false true false\r\n", -1, -1, 0, 0, {}},
    {"Title\r\n10\r\n-3\r\ntrue false true false\r\n", -2, -2, 10, -3, {}},
    {"Title\r\n10\r\n3\r\nYES false true false\r\n", -3, -3, 10, 3, {}},
    {"Title\r\n10\r\n3\r\ntrue false maybe TRUE\r\n", -3, -3, 10, 3, {true, false, false, false}},
    {"Title\r\n10\r\n3\r\n  false   true  FALSE   yes\r\n", 0, 0, 10, 3, {false, true, false, false}},
    {"Title\r\n10\r\n3\r\nTRUEFALSETRUETRUE", 0, 0, 10, 3, {true, false, true, true}},
    {"Title\r\n10 rows\r\n3 columns\r\nfalse false false true\r\n", 0, 0, 10, 3, {false, false, false, true}},
    // Tabs separate flags in files only.
    {"Title\r\n10\r\n3\r\ntrue\tfalse\ttrue\ttrue\r\n", 0, -3, 10, 3, {true, false, true, true}},
    // "10x" is no number to the text file; the stream scanner takes 10.
    {"Title\r\n10x\r\n3\r\ntrue true true true\r\n", -1, 0, 10, 3, {true, true, true, true}},
    {"Title\r\nabc\r\n3\r\n", -1, -1, 0, 0, {}},
    {"", -1, -1, 0, 0, {}},
    {"Only a title", -1, -1, 0, 0, {}},
};

TEST(AscHeader, BothVariants) {
  testutil::TempDir dir("ascheader");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    dir.Put("h.asc", c.text);
    TStringStream stream{std::string_view(c.text)};
    const Header file = FromFile(dir.Path("h.asc"));
    const Header str = FromStream(stream);
    EXPECT_EQ(file.status, c.file_status);
    EXPECT_EQ(str.status, c.stream_status);
    for (const Header* h : {&file, &str}) {
      const int status = h == &file ? c.file_status : c.stream_status;
      const std::string_view text(c.text);
      EXPECT_EQ(h->comment, FromUtf8(text.substr(0, text.find_first_of("\r\n"))));
      if (status == -1) continue;  // the counts that were read are not looked at
      EXPECT_EQ(h->a, c.a);
      if (status == -2) continue;
      EXPECT_EQ(h->b, c.b);
      // The flags given are those of a variant that reads status 0.
      if (status != 0 && c.file_status != c.stream_status) continue;
      for (int i = 0; i < 4; ++i) EXPECT_EQ(h->f[i], c.f[i]) << i << (h == &file ? " file" : " stream");
    }
  }
}

TEST(AscHeader, StreamStopsAtTheData) {
  // LF line ends: the count scanner eats the LF after a count, and the rest
  // of the line must not then swallow the following line.
  for (const char* text : {"C\n10\n3\nTRUE TRUE TRUE TRUE\ndata 1\n",
                           "C\r\n10\r\n3\r\nTRUE TRUE TRUE TRUE\r\ndata 1\r\n",
                           "C\r\n10 rows\r\n3\r\nTRUE TRUE TRUE TRUE\r\ndata 1\r\n"}) {
    TStringStream s{std::string_view(text)};
    const Header h = FromStream(s);
    EXPECT_EQ(h.status, 0) << text;
    EXPECT_EQ(h.comment, u"C");
    EXPECT_EQ(h.a, 10);
    EXPECT_EQ(h.b, 3);
    bool eos = false;
    EXPECT_EQ(ReadLnStream(s, eos, 0), u"data 1") << text;
  }
  // Reading stops after the line with the error.
  TStringStream bad{std::string_view("C\n0 bad\nnext\n")};
  EXPECT_EQ(FromStream(bad).status, -1);
  bool eos = false;
  EXPECT_EQ(ReadLnStream(bad, eos, 0), u"next");
}

TEST(AscHeader, OutParametersAreClearedAndMissingFilesRaise) {
  TStringStream s{std::string_view("C\n0\n")};
  const Header h = FromStream(s);
  EXPECT_EQ(h.status, -1);
  EXPECT_EQ(h.b, 0);
  for (bool f : h.f) EXPECT_FALSE(f);
  testutil::TempDir dir("ascheader");
  EXPECT_THROW(FromFile(dir.Path("missing.asc")), EInOutError);
}

}  // namespace
}  // namespace zel
