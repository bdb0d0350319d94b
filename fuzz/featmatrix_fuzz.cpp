// Fuzzes the feature-matrix file reader (LoadFromOpenFile).  The input is
// the file.  Whatever the content, the load must not fail outside its
// result codes, the matrix must stay consistent, and a matrix that loaded
// must save and load back unchanged.
//
// Every input is loaded: a values header that asks for more cells than the
// reader's documented limit is refused before anything is allocated.
// The round trip runs on matrices of up to 65,536 cells: larger ones take
// no other path through the writer, and writing millions of cells under
// the sanitizers would use up the fuzzer's whole time limit for one input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "zel/dstruct/featmatrix.h"
#include "zel/platform/textfile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

const std::string& Scratch() {
  static const std::string path = "/tmp/featmatrix_fuzz_" + std::to_string(getpid());
  return path;
}

int Load(zel::TFeatureMatrix& m, const std::string& path) {
  zel::TextFile f(zel::FromUtf8(path));
  f.Reset();
  const int r = m.LoadFromOpenFile(f);
  f.Close();
  return r;
}

bool Same(zel::TFeatureMatrix& a, zel::TFeatureMatrix& b) {
  if (a.NFeatures() != b.NFeatures() || a.NObjects() != b.NObjects()) return false;
  for (int f = 1; f <= a.NFeatures(); ++f) {
    const auto pa = a.GetFeatProps(f), pb = b.GetFeatProps(f);
    if (pa->FeatNum() != pb->FeatNum() || pa->FeatName() != pb->FeatName() ||
        pa->FeatKind() != pb->FeatKind() || pa->Comment() != pb->Comment() ||
        pa->PresetValues() != pb->PresetValues() || pa->Sorted() != pb->Sorted()) {
      return false;
    }
  }
  a.SetFeatType(0, 0, zel::fkString);
  b.SetFeatType(0, 0, zel::fkString);
  for (int f = 1; f <= a.NFeatures(); ++f) {
    for (int o = 1; o <= a.NObjects(); ++o) {
      if (a.GetFeatValStr(f, o) != b.GetFeatValStr(f, o)) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = Scratch();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  zel::TFeatureMatrix m(nullptr);
  const int r = Load(m, path);
  Check(r == 0 || r == -1 || r == -2);
  for (int f = 1; f <= m.NFeatures(); ++f) Check(m.GetFeatProps(f).get() != nullptr && !m.GetFeatProps(f).Owned());
  // The round trip writes a line per feature and per object as well as the
  // cells: kept to small matrices so that one input stays well inside the
  // time limit (a header may ask for four million empty features).
  constexpr int64_t kRoundTrip = 65536;
  if (r == 0 && m.NFeatures() <= kRoundTrip && m.NObjects() <= kRoundTrip &&
      int64_t{m.NFeatures()} * m.NObjects() <= kRoundTrip) {
    // A loaded matrix holds no line breaks, so it saves; and loads back equal.
    zel::TFeatureMatrix copy(nullptr);
    copy.Assign(&m);
    m.Save(zel::FromUtf8(path));
    zel::TFeatureMatrix back(nullptr);
    Check(Load(back, path) == 0);
    Check(Same(copy, back));
  }
  std::remove(path.c_str());
  return 0;
}
