// Fuzzes the text-file functions on arbitrary file contents: the encoding
// test on the first bytes (the file and the byte form agree, and only four
// bytes count, missing ones as 0), the block line counter and the reader of
// the last lines against TextFile's own line reader, and the CR LF repair
// against a byte-by-byte form of its rule.
//
// Input layout: byte 0 picks how many last lines to read; the rest is the
// file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

#include "zel/filesys/textfiles.h"
#include "zel/platform/textfile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A scratch directory for the whole run, removed with its files at exit.
struct ScratchDir {
  std::string path = "/tmp/zel_textfiles_fuzz_XXXXXX";
  ScratchDir() { Check(mkdtemp(path.data()) != nullptr); }
  ~ScratchDir() { std::filesystem::remove_all(path); }
};

void Put(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The repair rule one byte at a time: after a CR the next byte (an LF at
// the end) is read; an LF goes in front of it unless it is one.
std::string CRLFByRule(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    out += in[i];
    if (in[i] != '\r') continue;
    if (i + 1 == in.size()) {
      out += '\n';
      break;
    }
    if (in[i + 1] != '\n') out += '\n';
    out += in[++i];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 16384) return 0;
  static ScratchDir dir;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string name = dir.path + "/f.txt";
  const zel::String file = zel::FromUtf8(name);
  Put(name, bytes);

  const zel::TTextfileType type = zel::TextFileTypeOfBytes(bytes);
  Check(zel::CheckTextFileType(file) == type);
  Check(zel::TextFileTypeOfBytes(bytes.substr(0, 4)) == type);
  if (bytes.size() < 4) {
    Check(zel::TextFileTypeOfBytes(bytes + std::string(4 - bytes.size(), '\0')) == type);
  }

  std::vector<zel::String> lines;
  {
    zel::TextFile f(file);
    f.Reset();
    zel::String line;
    while (!f.Eof()) {
      f.ReadLn(line);
      lines.push_back(line);
    }
  }
  Check(zel::CountLinesInTextFile(file, nullptr) == static_cast<int64_t>(lines.size()));
  const size_t n = data[0] % 40;
  const std::vector<zel::String> last = zel::ReadLastLinesOfFile(file, static_cast<int64_t>(n));
  const size_t keep = std::min(n, lines.size());
  Check(last == std::vector<zel::String>(lines.end() - static_cast<std::ptrdiff_t>(keep), lines.end()));

  zel::EnsureCRLFInFile(file, file);
  Check(Bytes(name) == CRLFByRule(bytes));
  return 0;
}
