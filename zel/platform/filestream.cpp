#include "zel/platform/filestream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/hostio.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

String Quoted(const String& name) { return u"\"" + name + u"\""; }

}  // namespace

TFileStream::TFileStream(const String& FileName, uint16_t Mode)
    : file_name_(FileName), buf_(new uint8_t[kBufferSize]) {
  const bool create = (Mode & fmCreate) == fmCreate;
  int flags = 0;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (Mode & 3) {
      case fmOpenRead: flags |= O_RDONLY; can_write_ = false; break;
      case fmOpenWrite: flags |= O_WRONLY; can_read_ = false; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default:
        throw EFOpenError(u"Cannot open file " + Quoted(FileName) + u". " +
                          SysErrorMessage(EINVAL));
    }
  }
  fd_ = detail::OpenFileFd(FileName, flags);
  const int err = fd_ < 0 ? errno : 0;
  if (err != 0) {
    if (create) {
      throw EFCreateError(u"Cannot create file " + Quoted(FileName) + u". " +
                          SysErrorMessage(err));
    }
    throw EFOpenError(u"Cannot open file " + Quoted(FileName) + u". " +
                      SysErrorMessage(err));
  }
}

TFileStream::~TFileStream() {
  try {
    FlushBuffer();
  } catch (...) {
    // A destructor cannot report it; callers who care call Flush().
  }
  if (fd_ >= 0) ::close(fd_);
}

void TFileStream::Fail(bool reading, int err) const {
  const String text = (reading ? u"Cannot read from file " : u"Cannot write to file ") +
                      Quoted(file_name_) + u". " + SysErrorMessage(err);
  if (reading) throw EReadError(text);
  throw EWriteError(text);
}

void TFileStream::MoveOsPosition(int64_t at, bool reading) {
  if (os_pos_ == at) return;
  if (::lseek(fd_, at, SEEK_SET) < 0) {
    os_pos_ = -1;
    Fail(reading, errno);
  }
  os_pos_ = at;
}

int64_t TFileStream::RawRead(int64_t at, uint8_t* dst, int64_t count) {
  MoveOsPosition(at, true);
  ssize_t n;
  do {
    n = ::read(fd_, dst, static_cast<size_t>(count));
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    os_pos_ = -1;
    Fail(true, errno);
  }
  os_pos_ += n;
  return n;
}

void TFileStream::RawWrite(int64_t at, const uint8_t* src, int64_t count) {
  MoveOsPosition(at, false);
  while (count > 0) {
    const ssize_t n = ::write(fd_, src, static_cast<size_t>(count));
    if (n < 0) {
      if (errno == EINTR) continue;
      os_pos_ = -1;
      Fail(false, errno);
    }
    if (n == 0) {
      os_pos_ = -1;
      Fail(false, EIO);
    }
    os_pos_ += n;
    src += n;
    count -= n;
  }
}

void TFileStream::FlushBuffer() {
  if (dirty_hi_ <= dirty_lo_) return;
  const int64_t lo = dirty_lo_;
  const int64_t hi = dirty_hi_;
  dirty_lo_ = dirty_hi_ = 0;
  try {
    RawWrite(buf_start_ + lo, buf_.get() + lo, hi - lo);
  } catch (...) {
    // The window no longer matches the file; start afresh.
    DropWindow();
    throw;
  }
}

void TFileStream::Flush() { FlushBuffer(); }

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  auto* dst = static_cast<uint8_t*>(Buffer);
  int64_t total = 0;
  if (!can_read_) return 0;
  while (Count > 0) {
    if (InWindow(pos_)) {
      const int64_t n = std::min(Count, buf_start_ + buf_len_ - pos_);
      std::memcpy(dst, buf_.get() + (pos_ - buf_start_), static_cast<size_t>(n));
      pos_ += n;
      dst += n;
      total += n;
      Count -= n;
      continue;
    }
    FlushBuffer();
    DropWindow();
    if (Count >= kBufferSize) {
      // Large reads bypass the window.
      const int64_t n = RawRead(pos_, dst, Count);
      if (n == 0) break;
      pos_ += n;
      dst += n;
      total += n;
      Count -= n;
    } else {
      buf_len_ = RawRead(pos_, buf_.get(), kBufferSize);
      if (buf_len_ == 0) break;
    }
  }
  return total;
}

std::span<const uint8_t> TFileStream::PeekBuffered() {
  // Exact type only: a derived class may have changed `Read`.
  if (typeid(*this) != typeid(TFileStream)) return {};
  return WindowAhead();
}

std::span<const uint8_t> TFileStream::RefillWindow() {
  if (!can_read_) return {};
  if (!InWindow(pos_)) {
    FlushBuffer();
    DropWindow();
    buf_len_ = RawRead(pos_, buf_.get(), kBufferSize);
  }
  const int64_t off = pos_ - buf_start_;
  return {buf_.get() + off, static_cast<size_t>(buf_len_ - off)};
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  const auto* src = static_cast<const uint8_t*>(Buffer);
  if (!can_write_ || Count <= 0) return 0;
  const int64_t total = Count;
  while (Count > 0) {
    const int64_t off = pos_ - buf_start_;
    if (off >= 0 && off <= buf_len_ && off < kBufferSize) {
      // Inside the window or extending it at its end.
      const int64_t n = std::min(Count, kBufferSize - off);
      std::memcpy(buf_.get() + off, src, static_cast<size_t>(n));
      if (dirty_hi_ > dirty_lo_) {
        dirty_lo_ = std::min(dirty_lo_, off);
        dirty_hi_ = std::max(dirty_hi_, off + n);
      } else {
        dirty_lo_ = off;
        dirty_hi_ = off + n;
      }
      buf_len_ = std::max(buf_len_, off + n);
      pos_ += n;
      src += n;
      Count -= n;
      continue;
    }
    FlushBuffer();
    DropWindow();
    if (Count >= kBufferSize) {
      RawWrite(pos_, src, Count);
      pos_ += Count;
      Count = 0;
    }
    // Otherwise the next pass starts a new window at pos_.
  }
  return total;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = 0;
  if (Origin == soCurrent) base = pos_;
  if (Origin == soEnd) base = Size();
  int64_t target;
  if (__builtin_add_overflow(base, Offset, &target) || target < 0) {
    throw EStreamError(u"Invalid stream position");
  }
  // The window stays; reads and writes outside it move it.
  pos_ = target;
  return pos_;
}

int64_t TFileStream::Size() {
  struct stat st;
  int64_t size = 0;
  if (::fstat(fd_, &st) == 0) size = st.st_size;
  if (dirty_hi_ > dirty_lo_) size = std::max(size, buf_start_ + dirty_hi_);
  return size;
}

void TFileStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError(u"Invalid stream size");
  FlushBuffer();
  DropWindow();
  if (::ftruncate(fd_, NewSize) != 0) {
    throw EStreamError(u"Cannot change the size of file " + Quoted(file_name_) + u". " +
                       SysErrorMessage(errno));
  }
  pos_ = std::min(pos_, NewSize);
  DropWindow();
}

}  // namespace zel
