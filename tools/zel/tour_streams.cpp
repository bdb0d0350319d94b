// `zel tour` section for the streams unit: values and lines on a stream,
// number scanning, the mixed file stream and the tag reader.
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

#include "tools/zel/cli.h"
#include "zel/platform/numconv.h"
#include "zel/streams/streams.h"

namespace zel::cli {
namespace {

void TourStreams() {
  TourHeading("streams", "8-bit text, binary values and lines on a stream");
  TMemoryStream m;
  WriteLnStream(m, u"Header \u0141");  // U+0141 keeps its low byte: 'A'
  WriteDoubleToStream(m, 2.5);
  WriteStringStream(m, u"  -42x 1,5e3;");
  TourShow("bytes written (8 + CR LF + 8 + 13)", m.Size());
  m.SetPosition(0);
  bool eos = false, error = false;
  TourShow("ReadLnStream(m, eos, 0)", ReadLnStream(m, eos, 0));
  TourShow("ReadDoubleFromStream", ReadDoubleFromStream(m, error));
  TourShow("ScanStreamDecimal", ScanStreamDecimal(m));
  TourShow("ScanStreamFPNum(m, true, 3) (\",\" or \".\")", ScanStreamFPNum(m, true, 3));
  TourShow("ReadLongintFromStream at the end", ReadLongintFromStream(m, error));
  TourShow("  error flag", error);

  TourHeading("streams", "TMixedFStream: a text header, then binary records");
  const std::string path =
      (std::filesystem::temp_directory_path() / ("zel-tour-mixed-" + std::to_string(::getpid()))).string();
  {
    TMixedFStream out(FromUtf8(path), fmCreate);
    out.WriteLn(u"2 records");
    out.WriteInteger(7);
    out.WriteDouble(0.125);
    out.WriteInteger(8);
    out.WriteDouble(-3.5);
  }
  {
    TMixedFStream in(FromUtf8(path), fmOpenRead);
    TourShow("ReadLn(0)", in.ReadLn(0));
    std::string records;
    while (!in.Eos()) {
      const int32_t id = in.ReadInteger(error);
      const double v = in.ReadDouble(error);
      if (!records.empty()) records += ", ";
      records += std::to_string(id) + "=" + ToUtf8(FloatToStr(v));
    }
    TourShow("ReadInteger / ReadDouble until Eos", records);
  }
  std::filesystem::remove(path);

  TourHeading("streams", "tagged text: tags, attributes, content");
  TStringStream doc(
      "<!-- settings --><Label name=\"Main title\" size=12>Hello <b>you</b></label>"
      "<font face=Serif/><end>");
  const String tags[] = {u"label", u"font", u"end"};
  for (int i = 0; i < 3; ++i) {
    String attr, content;
    const int index = ReadNextTagInStream(doc, tags, attr, content);
    TourShow("ReadNextTagInStream -> " + ToUtf8(tags[index]),
             ToUtf8(u"attributes '" + attr + u"', content '" + content + u"'"));
    if (index == 0) TourShow("  ScanForXMLAttrib(attr, u\"NAME\")", ScanForXMLAttrib(attr, u"NAME"));
  }
}

const TourSection kStreams(60, &TourStreams);

}  // namespace
}  // namespace zel::cli
