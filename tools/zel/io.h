// tools/zel/io.h — how the `zel` tool reads its input and writes its
// output: one path for every command.
//
//   auto in = OpenInput(path);            // "-" is stdin; prints the reason
//   if (!in) return Fail...;              //   "zel: CMD: x: No such file or directory"
//   std::vector<String> lines;
//   if (!ReadLines(*in, lines)) return kFailure;
//
// Output goes to std::cout (or to an `FdStream` on descriptor 1 for binary
// data); `FinishOutput` flushes both when the command returns and turns a
// write error into "zel: CMD: write error: REASON" and the command's error
// status (tools/zel/cli.h).  A closed pipe
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

// An opened input: its stream and the name to use in messages ("standard
// input" for "-").
struct Input {
  std::unique_ptr<FdStream> stream;
  std::string name;
  explicit operator bool() const noexcept { return stream != nullptr; }
  TStream& operator*() const { return *stream; }
  TStream* operator->() const { return stream.get(); }
  int Fd() const noexcept { return stream->Fd(); }
};

// The name messages give stdin.
inline constexpr std::string_view kStdinName = "standard input";

// Opens FILE for reading, or stdin for "" and "-".  A file that cannot be
// opened, or a directory, is reported ("zel: CMD: x: REASON") and gives an
// empty Input (stream null, false).
Input OpenInput(const std::string& path);

// Reports the read error `e` (an EReadError of FdStream, whose text is the
// system's reason) on `in`: "zel: CMD: x: REASON".  Returns ErrorStatus().
int FailRead(const Input& in, const std::exception& e);

// Reads every line of `in` as UTF-8 (invalid bytes as Windows-1252).  Line
// ends (LF or CR LF) are removed, or kept as read when `keep_line_ends` is
// set.  Returns false after reporting a read error ("zel: CMD: x: REASON").
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
// ("zel: CMD: x: REASON").
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
// `status`, or ErrorStatus() after "zel: CMD: write error: REASON" (quietly
// when the reader of a pipe went away).
int FinishOutput(int status);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_IO_H_
