#include "zel/platform/rawfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/hostio.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {

namespace {

String Quoted(const String& name) { return u"\"" + name + u"\""; }

}  // namespace

TRawFile::TRawFile(const String& FileName) : name_(FileName) {
  fd_ = detail::OpenFileFd(FileName, O_RDONLY);
  if (fd_ < 0) Fail(errno, "open");
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
    const int64_t n =
        detail::ReadFdAt(fd_, dst + total, static_cast<size_t>(Count - total), Offset + total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno, "read");
    if (n == 0) break;
    total += n;
  }
  return total;
}

}  // namespace zel
