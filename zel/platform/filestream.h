// zel/platform/filestream.h — `TFileStream`, a buffered stream over a file.
//
//   zel::TFileStream out(u"data.bin", zel::fmCreate);
//   out.WriteBuffer(bytes, n);
//   ...
//   zel::TFileStream in(u"data.bin", zel::fmOpenRead | zel::fmShareDenyWrite);
//   uint8_t b;
//   while (in.Read(&b, 1) == 1) { ... }   // cheap: served from the buffer
//
// Open modes: `fmCreate` creates the file or empties an existing one and
// opens it for reading and writing; otherwise the low bits choose the access
// of an existing file (`fmOpenRead`, `fmOpenWrite`, `fmOpenReadWrite`).  The
// share flags (`fmShareExclusive`, `fmShareDenyWrite`, ...) may be or-ed in
// and are accepted, but Linux has no mandatory share locks, so they are not
// enforced.  File names are passed to the system as UTF-8.
//
// A file that cannot be opened raises `EFOpenError`
// (`Cannot open file "NAME". <system text>`), one that cannot be created
// `EFCreateError` (`Cannot create file "NAME". <system text>`); a directory
// is refused with the system's "Is a directory".
//
// Buffering: one 64 KiB window of the file is kept in memory and serves both
// reads and writes, so single-byte `Read` and `Write` calls, and seeks within
// the window, make no system call.  Written bytes reach the file when the
// window moves elsewhere, on `SetSize`, on `Flush` and on destruction.
// `Position()` and `Size()` always include unwritten bytes.  The destructor
// cannot report a write error; call `Flush()` first where that matters.
//
// `Read` on a stream opened write-only and `Write` on one opened read-only
// transfer nothing (so `ReadBuffer`/`WriteBuffer` raise at once).
//
// Derived classes (such as a stream that mixes text and binary values) read
// and write through the public interface; the window makes that cheap.
#ifndef ZEL_PLATFORM_FILESTREAM_H_
#define ZEL_PLATFORM_FILESTREAM_H_

#include <cstdint>
#include <memory>
#include <span>

#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

namespace ZEL_HIDDEN detail {
struct FileWindow;  // zel/platform/internal/filewindow.h
}  // namespace detail

// Open modes (see the top of this file): create, or open an existing file
// for reading, writing or both (the low two bits; 3 is refused).
inline constexpr uint16_t fmCreate = 0xFF00;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
// Share flags, or-ed into an open mode: accepted and not enforced, since
// Linux has no mandatory share locks.
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
 public:
  // The size of the window in bytes.
  static constexpr int64_t kBufferSize = 64 * 1024;

  // Opens or creates the file (see the top of this file for modes and
  // errors).
  TFileStream(const String& FileName, uint16_t Mode);
  // Writes pending bytes (errors are lost here) and closes the file.
  ~TFileStream() override;

  [[nodiscard]] int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override;
  // Writes pending bytes, then cuts or extends (with zero bytes) the file.
  void SetSize(int64_t NewSize) override;

  // Writes pending bytes to the file; raises `EWriteError` on failure.
  void Flush();

  // `WindowAhead()` when `Read` is this class's own (see zel/platform/stream.h);
  // empty for a derived class unless it overrides this too.
  std::span<const uint8_t> PeekBuffered() override;

  // The name the stream was opened with.
  const String& FileName() const noexcept { return file_name_; }
  // The system file descriptor.
  int Handle() const noexcept { return fd_; }

 protected:
  // Writes the window's changed bytes to the file.
  void FlushBuffer();
  // The bytes from the position to the end of the window, for readers that
  // scan many bytes: when the position lies outside the window, the window
  // is first refilled from the file there.  Empty at the end of the file
  // and on a stream opened write-only.  The view stays valid until the next
  // call on the stream; consume bytes with `Seek(n, soCurrent)`, which stays
  // inside the window and makes no system call.
  std::span<const uint8_t> WindowAhead() {
    if (!can_read_ || !InWindow(pos_)) return RefillWindow();
    const int64_t off = pos_ - buf_start_;
    return {buf_.get() + off, static_cast<size_t>(buf_len_ - off)};
  }

 private:
  friend struct detail::FileWindow;

  bool InWindow(int64_t pos) const noexcept {
    return pos >= buf_start_ && pos < buf_start_ + buf_len_;
  }
  void DropWindow() noexcept { buf_start_ = pos_; buf_len_ = 0; dirty_lo_ = dirty_hi_ = 0; }
  int64_t RawRead(int64_t at, uint8_t* dst, int64_t count);
  // `WindowAhead` when the window must first be read from the file.
  std::span<const uint8_t> RefillWindow();
  void RawWrite(int64_t at, const uint8_t* src, int64_t count);
  void MoveOsPosition(int64_t at, bool reading);
  [[noreturn]] void Fail(bool reading, int err) const;

  String file_name_;
  int fd_ = -1;
  bool can_read_ = true;
  bool can_write_ = true;
  std::unique_ptr<uint8_t[]> buf_;
  int64_t buf_start_ = 0;  // file offset of buf_[0]
  int64_t buf_len_ = 0;    // bytes of the window that hold file content
  int64_t dirty_lo_ = 0;   // changed bytes: buf_[dirty_lo_, dirty_hi_)
  int64_t dirty_hi_ = 0;
  int64_t pos_ = 0;        // the stream position
  int64_t os_pos_ = 0;     // the system's file offset, -1 when unknown
};

}  // namespace zel

#endif  // ZEL_PLATFORM_FILESTREAM_H_
