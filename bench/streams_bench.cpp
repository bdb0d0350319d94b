// Reading lines (into a reused string, as std::getline does) and counting lines in a 64 MiB text file through the
// buffered TFileStream, each beside a standard anchor that does the same
// work: `std::getline` on a `std::ifstream`, and a `memchr` loop over
// 64 KiB `read` blocks.  The file (LF-terminated lines of 1 to 120
// printable characters) is generated in a temporary directory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "zel/platform/filestream.h"
#include "zel/streams/streamio.h"
#include "zel/streams/streamsearch.h"

namespace {

constexpr size_t kFileSize = size_t{64} << 20;

struct TestFile {
  std::string dir, path;
  int64_t lines = 0;
  TestFile() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zel_streams_bench_XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    dir = tmpl;
    path = dir + "/lines.txt";
    std::mt19937 rng(7);
    std::string data;
    data.reserve(kFileSize + 200);
    while (data.size() < kFileSize) {
      const size_t len = 1 + rng() % 120;
      for (size_t i = 0; i < len; ++i) data += static_cast<char>(' ' + rng() % 95);
      data += '\n';
      ++lines;
    }
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  ~TestFile() { std::filesystem::remove_all(dir); }
};

const TestFile& File() {
  static const TestFile file;
  return file;
}

void BM_ReadLnZel(benchmark::State& state) {
  const TestFile& f = File();
  for (auto _ : state) {
    zel::TFileStream s(zel::FromUtf8(f.path), zel::fmOpenRead);
    int64_t lines = 0, chars = 0;
    bool eos = false;
    zel::String line;  // reused, as the anchor reuses its std::string
    for (;;) {
      zel::ReadLnStream(s, line, eos, 0);
      if (eos) break;
      ++lines;
      chars += static_cast<int64_t>(line.size());
    }
    if (lines != f.lines) state.SkipWithError("wrong line count");
    benchmark::DoNotOptimize(chars);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_ReadLnAnchor(benchmark::State& state) {
  const TestFile& f = File();
  for (auto _ : state) {
    std::ifstream in(f.path, std::ios::binary);
    int64_t lines = 0, chars = 0;
    std::string line;
    while (std::getline(in, line)) {
      ++lines;
      chars += static_cast<int64_t>(line.size());
    }
    if (lines != f.lines) state.SkipWithError("wrong line count");
    benchmark::DoNotOptimize(chars);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_CountLinesZel(benchmark::State& state) {
  const TestFile& f = File();
  for (auto _ : state) {
    zel::TFileStream s(zel::FromUtf8(f.path), zel::fmOpenRead);
    const int64_t lines = zel::CountLinesInStream(s);
    if (lines != f.lines) state.SkipWithError("wrong line count");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_CountLinesAnchor(benchmark::State& state) {
  const TestFile& f = File();
  static char buf[64 * 1024];
  for (auto _ : state) {
    const int fd = ::open(f.path.c_str(), O_RDONLY);
    int64_t lines = 0;
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) {
      const char* p = buf;
      const char* end = buf + n;
      while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p))))) {
        ++lines;
        ++p;
      }
    }
    ::close(fd);
    if (lines != f.lines) state.SkipWithError("wrong line count");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

}  // namespace

BENCHMARK(BM_ReadLnZel)->Name("BM_ReadLn/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLnAnchor)->Name("BM_ReadLn/anchor")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountLinesZel)->Name("BM_CountLines/zel")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountLinesAnchor)->Name("BM_CountLines/anchor")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
