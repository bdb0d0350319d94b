// Fuzzes the tagged-text reader of TStringArray: the input is the file.
// Whatever it holds, loading must not crash; a failed load must leave the
// table as it was; a table that loads must keep its size limit, and saving
// it and loading the saved file must give the same table back.
//
// The DataID asked for is "" for inputs of odd length, "t" otherwise.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "zel/dstruct/strarray.h"
#include "zel/testutil/tempdir.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Dump(const zel::TStringArray& t) {
  std::string out = std::to_string(t.NrOfColumns()) + "x" + std::to_string(t.NrOfRows()) + ";";
  for (int c = 1; c <= t.NrOfColumns(); ++c) out += std::to_string(t.GetColAttrib(c)) + ",";
  for (int r = 1; r <= t.NrOfRows(); ++r) {
    out += "\n" + std::to_string(t.GetRowAttrib(r)) + ":";
    for (int c = 0; c <= t.NrOfColumns(); ++c) {
      const std::string_view s = t.GetBytes(c, r);
      out += std::to_string(s.size()) + "[" + std::string(s) + "]";
    }
  }
  return out;
}

// A scratch directory for the whole run, removed with its files at exit.
const std::string& Dir() {
  static const zel::testutil::TempDir dir("strarray_fuzz");
  return dir.Dir();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in = Dir() + "/in.xml", out = Dir() + "/out.xml";
  FILE* f = std::fopen(in.c_str(), "wb");
  Check(f != nullptr);
  if (size > 0) Check(std::fwrite(data, 1, size, f) == size);
  std::fclose(f);

  const zel::String id = size % 2 == 1 ? zel::String() : zel::String(u"t");
  zel::TStringArray t(nullptr);
  if (!t.Resize(2, 2)) return 0;
  t.SetBytes(1, 2, "before");
  t.SetRowAttrib(2, 4);
  const std::string before = Dump(t);
  if (!t.LoadFromXMLFile(zel::FromUtf8(in), id)) {
    Check(Dump(t) == before);
    return 0;
  }
  const int64_t cells = (int64_t{t.NrOfColumns()} + 1) * t.NrOfRows();
  Check(t.NrOfColumns() >= 1 && t.NrOfRows() >= 1 && cells <= (int64_t{1} << 24));
  if (cells > (int64_t{1} << 20)) return 0;  // the round trip of huge empty tables is slow
  t.SaveAsXMLFile(zel::FromUtf8(out), id);
  zel::TStringArray back(nullptr);
  Check(back.LoadFromXMLFile(zel::FromUtf8(out), id));
  Check(Dump(back) == Dump(t));
  return 0;
}
