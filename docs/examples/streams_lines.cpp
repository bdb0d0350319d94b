// Lines and binary values on a memory stream; tagged text read back.
#include <iostream>

#include "zel/zel.h"

int main() {
  zel::TMemoryStream m;
  zel::WriteLnStream(m, u"Header");
  zel::WriteDoubleToStream(m, 2.5);
  m.SetPosition(0);
  bool eos = false, error = false;
  std::cout << "line: " << zel::ToUtf8(zel::ReadLnStream(m, eos, 0)) << '\n';
  std::cout << "value: " << zel::ReadDoubleFromStream(m, error) << (error ? " (error)" : "") << '\n';
  // Reading past the end sets the flag instead of throwing.
  const double none = zel::ReadDoubleFromStream(m, error);
  std::cout << "past the end: " << none << (error ? " (error flag set)" : "") << '\n';

  // The library's tagged text: one tag at a time, attributes by name.
  const zel::String tags[] = {u"label", u"end"};
  zel::TStringStream s("<label name=A size=3>hello</label>tail");
  zel::String attr, content;
  const int i = zel::ReadNextTagInStream(s, tags, attr, content);
  std::cout << "tag " << i << ": content \"" << zel::ToUtf8(content) << "\", size "
            << zel::ToUtf8(zel::ScanForXMLAttrib(attr, u"size")) << '\n';
  return 0;
}
