#include "tools/zel/io.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "tools/zel/cli.h"
#include "zel/platform/exceptions.h"

namespace zel::cli {

FdStream::~FdStream() {
  if (owned_) ::close(fd_);
}

int64_t FdStream::Read(void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  int64_t total = 0;
  while (total < count) {
    const ssize_t n = ::read(fd_, p + total, static_cast<size_t>(count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError(FromUtf8(std::strerror(errno)));
    if (n == 0) break;
    total += n;
  }
  return total;
}

int64_t FdStream::Write(const void* buffer, int64_t count) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  int64_t total = 0;
  while (total < count) {
    const ssize_t n = ::write(fd_, p + total, static_cast<size_t>(count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EWriteError(u"write error: " + FromUtf8(std::strerror(errno)));
    total += n;
  }
  return total;
}

int64_t FdStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(fd_, offset, whence);
}

namespace {
// The errno of the first failed write of buffered output (stdio forgets it).
int g_write_errno = 0;
}  // namespace

int FailRead(const Input& in, const std::exception& e) {
  return Fail(Quoted(in.name) + ": " + e.what());
}

bool ReadSucceeded(const TLineReader& reader, const Input& in) {
  if (reader.Error() == 0) return true;
  FailWith(in.name, reader.Error());
  return false;
}

bool ReadLines(const Input& in, std::vector<String>& lines, bool keep_line_ends) {
  TLineReader reader = LineReader(in, keep_line_ends ? leKeep : leStrip);
  for (String line; reader.ReadLine(line);) lines.push_back(line);
  return ReadSucceeded(reader, in);
}

void OutBuffer::Line(StringView s) {
  buf_ += ToUtf8(s);
  Append('\n');
}

void OutBuffer::Flush() {
  if (buf_.empty()) return;
  std::cout.flush();  // keep the order of anything printed through std::cout
  if (std::fwrite(buf_.data(), 1, buf_.size(), stdout) != buf_.size() && g_write_errno == 0) {
    g_write_errno = errno;
  }
  buf_.clear();
}

void PrintLine(StringView s) { std::cout << ToUtf8(s) << '\n'; }

void DrawProgressBar(std::string_view verb, int percent, std::string_view detail) {
  constexpr int kWidth = 30;
  const int p = std::clamp(percent, 0, 100);
  const int filled = p * kWidth / 100;
  std::string line = "\r" + std::string(verb) + " [" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(kWidth - filled), ' ') + "] ";
  const std::string number = std::to_string(p);
  line += std::string(3 - number.size(), ' ') + number + '%';
  if (!detail.empty()) {
    std::string d(detail.substr(0, 40));
    d.resize(40, ' ');
    line += "  " + d;
  }
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

int FinishOutput(int status) {
  errno = 0;
  std::cout.flush();
  const bool cout_failed = std::cout.fail();
  const int cout_errno = errno;
  errno = 0;
  const bool stdout_failed = std::fflush(stdout) != 0 || std::ferror(stdout);
  const int stdout_errno = errno;
  if (!cout_failed && !stdout_failed) return status;
  int err = stdout_failed && stdout_errno != 0 ? stdout_errno : cout_errno;
  if (err == 0) err = g_write_errno;
  if (err == EPIPE) return ErrorStatus();  // the reader went away: end quietly
  return Fail(std::string("write error") + (err != 0 ? std::string(": ") + std::strerror(err) : ""));
}

}  // namespace zel::cli
