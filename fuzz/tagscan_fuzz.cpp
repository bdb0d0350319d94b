// Fuzzes the tag readers and the attribute scanners.  The stream reader is
// checked against the string reader of stringl (the same rules over the
// same characters), the text-file reader runs over the input as a temporary
// file, and every attribute text met is taken apart pair by pair.
//
// Input layout: byte 0 picks the tag list; the rest is the tagged text.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "zel/platform/casemap.h"
#include "zel/platform/stream.h"
#include "zel/platform/textfile.h"
#include "zel/streams/tagscan.h"
#include "zel/stringl/strip.h"
#include "zel/stringl/tags.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;

const String kLists[4][3] = {
    {u"a", u"b", u"c"}, {u"label", u"/label", u""}, {u"?xml", u"x", u"y"}, {u"", u"a", u"b"}};

void CheckAttributes(const String& attr) {
  Check(zel::StripLTBlanks(attr) == attr);
  int pos = 1;
  String name, value;
  int code;
  int pairs = 0;
  String first_name, first_value;
  while ((code = zel::ScanXMLAttribPair(attr, pos, name, value)) == zel::xapOK) {
    Check(zel::StripLTBlanks(name) == name);
    Check(pos >= 2 && static_cast<size_t>(pos) <= attr.size() + 1);
    if (pairs++ == 0) {
      first_name = name;
      first_value = value;
    }
    Check(pairs <= static_cast<int>(attr.size()));
  }
  Check(code >= 1 && code <= 4);
  if (pairs > 0) Check(zel::ScanForXMLAttrib(attr, zel::LowerCase(first_name)) == first_value);
}

void FuzzStream(const std::string& bytes, const String (&tags)[3]) {
  zel::TStringStream stream(bytes);
  String text;
  for (unsigned char b : bytes) text.push_back(b);
  int pos = 1;
  for (size_t calls = 0; calls <= bytes.size() + 1; ++calls) {
    const bool at_end = stream.Position() >= stream.Size();
    String attr, content, s_attr, s_content;
    const int index = zel::ReadNextTagInStream(stream, tags, attr, content);
    const int s_index = zel::ReadNextTagInString(text, pos, tags, s_attr, s_content);
    Check(index >= 0 && index <= 2);
    Check(index == s_index && attr == s_attr && content == s_content);
    Check(stream.Position() == pos - 1);
    CheckAttributes(attr);
    if (at_end) return;
  }
  Check(false);  // every call reads at least one byte until the end
}

void FuzzTextFile(const std::string& bytes, const String (&tags)[3]) {
  char name[] = "/tmp/zel_tagscan_fuzz_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return;
  Check(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  close(fd);
  {
    zel::TextFile f(zel::FromUtf8(name));
    f.Reset();
    for (size_t calls = 0; calls <= bytes.size() + 1; ++calls) {
      const bool at_end = f.Eof();
      String attr, content;
      const int index = zel::ReadNextTagInTextFile(f, tags, attr, content);
      Check(index >= 0 && index <= 2);
      CheckAttributes(attr);
      if (at_end) break;
      Check(calls <= bytes.size());
    }
  }
  unlink(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  const String (&tags)[3] = kLists[data[0] & 3];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  FuzzStream(bytes, tags);
  FuzzTextFile(bytes, tags);
  CheckAttributes(zel::StripLTBlanks(zel::FromUtf8(bytes)));
  return 0;
}
