// Fuzzes the byte-by-byte stream readers: ScanStreamFPNum (both exponent
// settings, every separator mode), ScanStreamDecimal and ReadLnStream in
// every mode, and TMixedFStream::ReadLn.  Each stream reader runs over a
// memory stream (the fast path that scans memory) and over a plain stream
// that serves one byte per call; both must agree.  TMixedFStream::ReadLn is
// checked against ReadLnString.
//
// Input layout: byte 0 picks the scanner settings; the rest is the text.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "zel/platform/stream.h"
#include "zel/streams/mixedfstream.h"
#include "zel/streams/streamio.h"
#include "zel/streams/streamscan.h"
#include "zel/stringl/split.h"
#include "zel/testutil/plainstream.h"
#include "zel/univconst/univconst.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::testutil::PlainStream;

void FuzzNumbers(const std::string& bytes, uint8_t settings) {
  const bool allow_exp = settings & 1;
  const int mode = (settings >> 1) & 3;
  zel::TStringStream mem(bytes);
  PlainStream plain(bytes);
  for (size_t calls = 0; mem.Position() < mem.Size(); ++calls) {
    Check(calls <= bytes.size());
    const int64_t before = mem.Position();
    const double x = zel::ScanStreamFPNum(mem, allow_exp, mode);
    const double y = zel::ScanStreamFPNum(plain, allow_exp, mode);
    Check(std::isfinite(x) && std::fabs(x) <= 1.7e308);
    Check(std::memcmp(&x, &y, sizeof x) == 0 && mem.Position() == plain.Position());
    Check(mem.Position() > before);
    if (mem.Position() >= mem.Size()) break;
    const int32_t i = zel::ScanStreamDecimal(mem);
    Check(i == zel::ScanStreamDecimal(plain) && mem.Position() == plain.Position());
  }
}

void FuzzLines(const std::string& bytes) {
  for (int mode = 0; mode <= 5; ++mode) {
    zel::TStringStream mem(bytes);
    PlainStream plain(bytes);
    bool eos = false;
    size_t chars = 0;
    for (size_t calls = 0; !eos; ++calls) {
      Check(calls <= bytes.size() + 1);
      bool plain_eos = false;
      const zel::String line = zel::ReadLnStream(mem, eos, mode);
      Check(line == zel::ReadLnStream(plain, plain_eos, mode));
      Check(eos == plain_eos && mem.Position() == plain.Position());
      chars += line.size();
      for (zel::Char c : line) Check(c <= 255);
      // A line that ended at its terminator holds no terminator character.
      if (!eos && (mode == 0 || mode == 2)) Check(line.find(u'\n') == zel::String::npos);
      if (!eos && (mode == 1 || mode == 2)) Check(line.find(u'\r') == zel::String::npos);
    }
    Check(chars <= bytes.size());
    Check(mem.Position() == mem.Size());
  }
}

// TMixedFStream::ReadLn over the bytes as a file: with its TABs taken out,
// each line is the line ReadLnString reads from the same characters (both
// drop the other control characters and end lines by the same rule).
void FuzzMixedLines(const std::string& bytes) {
  if (bytes.empty()) return;
  char name[] = "/tmp/zel_streamscan_fuzz_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return;
  Check(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  close(fd);
  zel::String text;
  for (unsigned char b : bytes) text.push_back(b);
  for (int mode = 0; mode <= 5; ++mode) {
    zel::TMixedFStream f(zel::FromUtf8(name), zel::fmOpenRead);
    int pos = 1;
    bool end = false;
    while (!f.Eos()) {
      Check(!end);
      zel::String line = f.ReadLn(mode);
      for (zel::Char c : line) Check(c >= 32 || c == 9);
      std::erase(line, u'\t');
      Check(line == zel::ReadLnString(text, pos, end, mode));
    }
    Check(end);
  }
  unlink(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 8192) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  FuzzNumbers(bytes, data[0]);
  FuzzLines(bytes);
  FuzzMixedLines(bytes);
  return 0;
}
