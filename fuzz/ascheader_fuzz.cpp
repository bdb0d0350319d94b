// Fuzzes the ASC header reader for streams on arbitrary bytes: over a
// memory stream and over a plain stream that serves one byte per call it
// must give the same status, values and stream position; the status is one
// of the four, a header read gives counts above 0, and the reader never
// goes past the end of the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "zel/filesys/ascheader.h"
#include "zel/platform/stream.h"
#include "zel/testutil/plainstream.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::testutil::PlainStream;

struct Result {
  int status;
  zel::String comment;
  int32_t a, b;
  bool f[4];
};

Result Read(zel::TStream& s) {
  Result r;
  r.status = zel::ReadHeaderOfASC(s, r.comment, r.a, r.b, r.f[0], r.f[1], r.f[2], r.f[3]);
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  zel::TStringStream mem(bytes);
  PlainStream plain(bytes, 1);
  const Result x = Read(mem);
  const Result y = Read(plain);
  Check(x.status == 0 || x.status == -1 || x.status == -2 || x.status == -3);
  Check(x.status == y.status && x.comment == y.comment && x.a == y.a && x.b == y.b &&
        std::equal(x.f, x.f + 4, y.f));
  Check(mem.Position() == plain.Position());
  Check(mem.Position() <= mem.Size());
  Check(x.comment.size() <= bytes.size());
  if (x.status != -1) Check(x.a > 0);
  if (x.status == 0 || x.status == -3) Check(x.b > 0);
  if (x.status != 0) Check(!x.f[3]);
  return 0;
}
