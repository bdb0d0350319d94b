// tools/zel/io.h — how the `zel` tool reads its input and writes its
// output: one path for every command.
//
//   auto in = OpenInput(path);            // "-" is stdin; prints the reason
//   if (!in) return kFailure;             //   "zel: cannot open 'x': No such file or directory"
//   std::vector<String> lines;
//   if (!ReadLines(*in, lines)) return kFailure;
//
// Output goes to std::cout (or to an `FdStream` on descriptor 1 for binary
// data); `FinishOutput` flushes both when the command returns and turns a
// write error into "zel: write error: REASON" and status 1.  A closed pipe
// ends the tool quietly, by SIGPIPE, as for the system's own tools.
#ifndef ZEL_TOOLS_ZEL_IO_H_
#define ZEL_TOOLS_ZEL_IO_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zel/platform/stream.h"
#include "zel/platform/string.h"
#include "zel/streams/linereader.h"

namespace zel::cli {

// A stream over a file descriptor (a named file, stdin or stdout).  Reads
// fill the request unless the input ends, so a pipe's short reads are not
// taken for the end; writes write everything.  Seeking works where the
// descriptor allows it and otherwise reports -1 without raising.  Read and
// write errors raise EReadError / EWriteError with the system's reason.
class FdStream : public TStream {
 public:
  FdStream(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int Fd() const noexcept { return fd_; }

 private:
  int fd_;
  bool owned_;
};

// An opened input: its stream and the name to use in messages ("stdin"
// for "-").
struct Input {
  std::unique_ptr<FdStream> stream;
  std::string name;
  TStream& operator*() const { return *stream; }
  TStream* operator->() const { return stream.get(); }
};

// Opens FILE for reading, or stdin for "" and "-".  A file that cannot be
// opened, or a directory, is reported ("zel: cannot open 'x': REASON") and
// gives an empty optional-like Input (stream null).
Input OpenInput(const std::string& path);

// Reads every line of `in` as UTF-8 (invalid bytes as Windows-1252).  Line
// ends (LF or CR LF) are removed, or kept as read when `keep_line_ends` is
// set.  Returns false after reporting a read error
// ("zel: error reading 'x': REASON").
bool ReadLines(const Input& in, std::vector<String>& lines, bool keep_line_ends = false);
// The same for a path ("-" for stdin); false after reporting the failure.
bool ReadLines(const std::string& path, std::vector<String>& lines,
               bool keep_line_ends = false);

// A line reader over an opened input (see zel/streams/linereader.h): lines
// one at a time from large blocks, memory bounded by the longest line.
//
//   TLineReader lines = LineReader(in);
//   for (String line; lines.ReadLine(line);) ...
//   if (!ReadSucceeded(lines, in)) return kFailure;
inline TLineReader LineReader(const Input& in, TLineEnds ends = leStrip) {
  return TLineReader(in.stream->Fd(), ends);
}
// False after reporting the read error that ended the lines, if any
// ("zel: error reading 'x': REASON").
bool ReadSucceeded(const TLineReader& reader, const Input& in);

// Output collected and written to stdout in large blocks, for commands that
// print many short lines; what is left is written on destruction (errors
// show in `FinishOutput`).
class OutBuffer {
 public:
  OutBuffer() = default;
  OutBuffer(const OutBuffer&) = delete;
  OutBuffer& operator=(const OutBuffer&) = delete;
  ~OutBuffer() { Flush(); }
  void Append(std::string_view bytes) {
    buf_.append(bytes);
    if (buf_.size() >= kFlushAt) Flush();
  }
  void Append(char c) {
    buf_ += c;
    if (buf_.size() >= kFlushAt) Flush();
  }
  // A library string as UTF-8 and a newline.
  void Line(StringView s);
  void Flush();

 private:
  static constexpr size_t kFlushAt = 64 * 1024;
  std::string buf_;
};

// Writes a library string to stdout as UTF-8, followed by a newline.
void PrintLine(StringView s);

// Draws "\rVERB [#####     ]  50%  DETAIL" on stderr (a percentage outside
// 0..100 is shown clamped), for long work when stderr is a terminal.
void DrawProgressBar(std::string_view verb, int percent, std::string_view detail = {});

// Flushes std::cout and stdout and reports a write error.  Returns
// `status`, or 1 after "zel: write error: REASON".
int FinishOutput(int status);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_IO_H_
