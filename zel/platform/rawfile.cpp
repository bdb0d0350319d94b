#include "zel/platform/rawfile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "zel/platform/exceptions.h"
#include "zel/platform/syserror.h"

namespace zel {

namespace {

constexpr size_t kWriteBuffer = 1 << 18;

String Quoted(const String& name) { return u"\"" + name + u"\""; }

}  // namespace

TRawFile::TRawFile(const String& FileName) : name_(FileName) {
  fd_ = ::open(ToUtf8(FileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) Fail(errno, "open");
  struct stat st;
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    Fail(EISDIR, "open");
  }
}

TRawFile::~TRawFile() {
  if (fd_ >= 0) ::close(fd_);
}

void TRawFile::Fail(int err, const char* what) const {
  throw EInOutError(u"Cannot " + FromUtf8(what) + u" file " + Quoted(name_) + u". " +
                        SysErrorMessage(err),
                    err);
}

int64_t TRawFile::Size() {
  struct stat st;
  if (::fstat(fd_, &st) != 0) Fail(errno, "read");
  return st.st_size;
}

int64_t TRawFile::Read(void* Buffer, int64_t Count) {
  auto* dst = static_cast<char*>(Buffer);
  int64_t total = 0;
  while (total < Count) {
    const ssize_t n = ::read(fd_, dst + total, static_cast<size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno, "read");
    if (n == 0) break;
    total += n;
  }
  return total;
}

int64_t TRawFile::ReadAt(int64_t Offset, void* Buffer, int64_t Count) {
  auto* dst = static_cast<char*>(Buffer);
  int64_t total = 0;
  while (total < Count) {
    const ssize_t n =
        ::pread(fd_, dst + total, static_cast<size_t>(Count - total), Offset + total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno, "read");
    if (n == 0) break;
    total += n;
  }
  return total;
}

TReplacementFile::TReplacementFile(const String& Target) : target_(Target) {
  target_path_ = ToUtf8(Target);
  struct stat st;
  if (::lstat(target_path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(target_path_.c_str(), nullptr)) {
      target_path_ = real;
      ::free(real);
    }
  }
  const size_t slash = target_path_.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target_path_.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target_path_ : target_path_.substr(slash + 1);
  temp_path_ = dir + "." + base + ".XXXXXX";
  fd_ = ::mkostemp(temp_path_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    temp_path_.clear();
    Fail(errno, "create");
  }
  mode_t mode;
  if (::stat(target_path_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
  buf_.reserve(kWriteBuffer);
}

TReplacementFile::~TReplacementFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
}

void TReplacementFile::Fail(int err, const char* what) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
  throw EInOutError(u"Cannot " + FromUtf8(what) + u" file " + Quoted(target_) + u". " +
                        SysErrorMessage(err),
                    err);
}

void TReplacementFile::Write(const void* Buffer, int64_t Count) {
  if (fd_ < 0) Fail(EBADF, "write");
  const char* src = static_cast<const char*>(Buffer);
  if (buf_.size() + static_cast<size_t>(Count) > kWriteBuffer) FlushBuffer();
  if (static_cast<size_t>(Count) >= kWriteBuffer) {
    buf_.assign(src, static_cast<size_t>(Count));
    FlushBuffer();
    return;
  }
  buf_.append(src, static_cast<size_t>(Count));
}

void TReplacementFile::FlushBuffer() {
  size_t done = 0;
  while (done < buf_.size()) {
    const ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno, "write");
    done += static_cast<size_t>(n);
  }
  buf_.clear();
}

void TReplacementFile::Commit() {
  if (fd_ < 0) Fail(EBADF, "write");
  FlushBuffer();
  if (::fsync(fd_) != 0) Fail(errno, "write");
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail(errno, "write");
  if (::rename(temp_path_.c_str(), target_path_.c_str()) != 0) Fail(errno, "replace");
  temp_path_.clear();
}

}  // namespace zel
