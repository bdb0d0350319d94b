#include "zel/platform/textfile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/hostio.h"
#include "zel/platform/numconv.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr Char kCtrlZ = 0x1A;

String Quoted(const String& name) { return u"\"" + name + u"\""; }

String PadLeft(String text, int width) {
  if (width > static_cast<int>(text.size())) text.insert(0, width - text.size(), u' ');
  return text;
}

bool IsHighSurrogate(Char c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

TextFile::TextFile() = default;

TextFile::TextFile(const String& FileName) { AssignFile(FileName); }

TextFile::~TextFile() {
  io_checks_ = false;  // a destructor must not throw
  // A replacement that was not closed explicitly is abandoned: the writer
  // stopped early (an exception), so the old file must stay.
  if (replacement_) output_failed_ = true;
  Close();
}

int TextFile::IOResult() noexcept {
  const int code = io_result_;
  io_result_ = 0;
  return code;
}

bool TextFile::Fail(int code, const String& message) {
  if (io_checks_) throw EInOutError(message, code);
  if (io_result_ == 0) io_result_ = code;
  return false;
}

void TextFile::AssignFile(const String& FileName) {
  Close();
  name_ = FileName;
  assigned_ = true;
}

void TextFile::Open(Mode mode, int flags, bool skip_bom) {
  if (Blocked()) return;
  Close();
  if (Blocked()) return;
  if (!assigned_) {
    Fail(ioFileNotAssigned, u"File not assigned");
    return;
  }
  if (name_.empty()) {
    fd_ = mode == kInput ? STDIN_FILENO : STDOUT_FILENO;
    own_fd_ = false;
    detail::SetBinaryMode(fd_);
  } else {
    const int fd = detail::OpenFileFd(name_, flags);
    const int err = fd < 0 ? errno : 0;
    if (err != 0) {
      Fail(err, u"Cannot open file " + Quoted(name_) + u". " + SysErrorMessage(err));
      return;
    }
    fd_ = fd;
    own_fd_ = true;
  }
  StartMode(mode, skip_bom);
}

void TextFile::StartMode(Mode mode, bool skip_bom) {
  mode_ = mode;
  output_failed_ = false;
  buf_.clear();
  buf_.reserve(kBufferSize);
  rpos_ = rlen_ = 0;
  at_end_ = false;
  pending_low_ = pending_high_ = 0;
  bom_pending_ = skip_bom;
}

void TextFile::Reset() { Open(kInput, O_RDONLY, true); }
void TextFile::Rewrite() { Open(kOutput, O_WRONLY | O_CREAT | O_TRUNC, false); }
void TextFile::RewriteReplacing() {
  if (Blocked()) return;
  Close();
  if (Blocked()) return;
  if (!assigned_ || name_.empty()) {
    Rewrite();
    return;
  }
  try {
    replacement_ = std::make_unique<FileReplacement>(name_);
  } catch (const EInOutError& e) {
    Fail(e.ErrorCode(), e.Message());
    return;
  }
  fd_ = replacement_->Fd();
  own_fd_ = false;  // the replacement closes it
  StartMode(kOutput, false);
}

void TextFile::Append() { Open(kOutput, O_WRONLY | O_APPEND, false); }

void TextFile::FlushOutput() {
  if (mode_ != kOutput) return;
  size_t done = 0;
  while (done < buf_.size()) {
    const ssize_t n = ::write(fd_, buf_.data() + done, buf_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : ioWriteError;
      buf_.clear();  // the bytes cannot be written; do not try again
      output_failed_ = true;
      Fail(err, u"Cannot write file " + Quoted(name_) + u". " + SysErrorMessage(err));
      return;
    }
    done += static_cast<size_t>(n);
  }
  buf_.clear();
}

void TextFile::Flush() {
  if (Blocked()) return;
  if (mode_ == kClosed) {
    Fail(ioFileNotOpen, u"File " + Quoted(name_) + u" not open");
    return;
  }
  FlushOutput();
}

void TextFile::Close() {
  if (mode_ == kClosed) return;
  if (mode_ == kOutput && pending_high_ != 0) {
    pending_high_ = 0;
    Put("\xEF\xBF\xBD");  // a lone surrogate becomes U+FFFD, as ToUtf8 does
  }
  // Closing happens even when the last write fails; a pending replacement
  // is put in place only when every write succeeded, else dropped.
  struct Closer {
    TextFile* f;
    ~Closer() {
      if (f->own_fd_) ::close(f->fd_);
      f->fd_ = -1;
      f->own_fd_ = false;
      f->mode_ = kClosed;
      f->buf_.clear();
      f->buf_.shrink_to_fit();
      f->replacement_.reset();  // abandons what was not committed
    }
  } closer{this};
  FlushOutput();
  if (replacement_ && !output_failed_) {
    try {
      replacement_->Commit();
    } catch (const EInOutError& e) {
      output_failed_ = true;
      Fail(e.ErrorCode(), e.Message());
    }
  }
}

void TextFile::Erase() {
  if (Blocked()) return;
  if (!assigned_ || name_.empty()) {
    Fail(ioFileNotAssigned, u"File not assigned");
    return;
  }
  Close();
  if (!DeleteFile(name_)) {
    const int err = LastOSError();
    Fail(err, u"Cannot erase file " + Quoted(name_) + u". " + SysErrorMessage(err));
  }
}

void TextFile::Rename(const String& NewName) {
  if (Blocked()) return;
  if (!assigned_ || name_.empty()) {
    Fail(ioFileNotAssigned, u"File not assigned");
    return;
  }
  if (!RenameFile(name_, NewName)) {
    const int err = LastOSError();
    Fail(err, u"Cannot rename file " + Quoted(name_) + u" to " + Quoted(NewName) + u". " +
                  SysErrorMessage(err));
    return;
  }
  name_ = NewName;
}

// --- Reading -----------------------------------------------------------------

bool TextFile::CheckInput() {
  if (Blocked()) return false;
  if (mode_ == kInput) {
    if (bom_pending_) {
      bom_pending_ = false;
      // Asks for three bytes only after an 0xEF, so that an interactive
      // input is not kept waiting.
      if (Available(1) > 0 && buf_[rpos_] == 0xEF && Available(3) >= 3 &&
          buf_[rpos_ + 1] == 0xBB && buf_[rpos_ + 2] == 0xBF) {
        rpos_ += 3;
      }
      if (Blocked()) return false;
    }
    return true;
  }
  if (mode_ == kClosed) return Fail(ioFileNotOpen, u"File " + Quoted(name_) + u" not open");
  return Fail(ioNotOpenForInput, u"File " + Quoted(name_) + u" not open for input");
}

size_t TextFile::Available(size_t n) {
  while (rlen_ - rpos_ < n && !at_end_) {
    // Keep the unread bytes, then fill up the rest of the buffer.
    if (rpos_ > 0) {
      std::memmove(buf_.data(), buf_.data() + rpos_, rlen_ - rpos_);
      rlen_ -= rpos_;
      rpos_ = 0;
    }
    buf_.resize(kBufferSize);
    ssize_t got;
    do {
      got = ::read(fd_, buf_.data() + rlen_, kBufferSize - rlen_);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      const int err = errno;
      at_end_ = true;
      Fail(err, u"Cannot read file " + Quoted(name_) + u". " + SysErrorMessage(err));
      break;
    }
    if (got == 0) at_end_ = true;
    rlen_ += static_cast<size_t>(got);
  }
  return rlen_ - rpos_;
}

// Reads the bytes up to the next line end (into `bytes` unless null) and
// moves past the line end.  False at the end of the file.
bool TextFile::ReadLineBytes(std::string* bytes) {
  if (Available(1) == 0) return false;
  while (Available(1) > 0) {
    const unsigned char* start = buf_.data() + rpos_;
    const unsigned char* end = buf_.data() + rlen_;
    const unsigned char* stop = start;
    while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
    if (bytes) bytes->append(reinterpret_cast<const char*>(start), static_cast<size_t>(stop - start));
    rpos_ += static_cast<size_t>(stop - start);
    if (stop == end) continue;  // the line goes on in the next block
    const unsigned char terminator = *stop;
    ++rpos_;
    if (terminator == '\r' && Available(1) > 0 && buf_[rpos_] == '\n') ++rpos_;
    break;
  }
  return true;
}

void TextFile::ReadLn(String& Line) {
  Line.clear();
  if (!CheckInput()) return;
  if (pending_low_ != 0) {
    Line += pending_low_;
    pending_low_ = 0;
  }
  std::string bytes;
  ReadLineBytes(&bytes);
  Line += FromUtf8(bytes);
}

void TextFile::ReadLn() {
  if (!CheckInput()) return;
  pending_low_ = 0;
  ReadLineBytes(nullptr);
}

void TextFile::Read(Char& C) {
  C = kCtrlZ;
  if (!CheckInput()) return;
  if (pending_low_ != 0) {
    C = pending_low_;
    pending_low_ = 0;
    return;
  }
  if (Available(1) == 0) return;
  // Wait only for the bytes the lead byte announces.
  const unsigned char lead = buf_[rpos_];
  const size_t want = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  const size_t avail = Available(want);
  char32_t cp;
  const size_t len =
      DecodeUtf8Char({reinterpret_cast<const char*>(buf_.data() + rpos_), avail}, cp);
  if (len == 0) {
    C = AnsiToChar(buf_[rpos_]);
    ++rpos_;
    return;
  }
  rpos_ += len;
  if (cp < 0x10000) {
    C = static_cast<Char>(cp);
  } else {
    cp -= 0x10000;
    C = static_cast<Char>(0xD800 + (cp >> 10));
    pending_low_ = static_cast<Char>(0xDC00 + (cp & 0x3FF));
  }
}

void TextFile::Read(int32_t& Value) {
  Value = 0;
  if (!CheckInput()) return;
  pending_low_ = 0;
  while (Available(1) > 0 && buf_[rpos_] <= ' ') ++rpos_;
  if (Available(1) == 0) return;
  std::string token;
  while (Available(1) > 0 && buf_[rpos_] > ' ') {
    if (token.size() < 64) token += static_cast<char>(buf_[rpos_]);
    ++rpos_;
  }
  if (token.size() >= 64 || !TryStrToInt(FromUtf8(token), Value)) {
    Value = 0;
    Fail(ioInvalidNumber, u"Invalid numeric format in file " + Quoted(name_) + u": '" +
                              FromUtf8(token) + u"'");
  }
}

bool TextFile::Eof() {
  if (!CheckInput()) return true;
  return pending_low_ == 0 && Available(1) == 0;
}

bool TextFile::Eoln() {
  if (!CheckInput()) return true;
  if (pending_low_ != 0) return false;
  return Available(1) == 0 || buf_[rpos_] == '\r' || buf_[rpos_] == '\n';
}

// --- Writing -----------------------------------------------------------------

bool TextFile::CheckOutput() {
  if (Blocked()) return false;
  if (mode_ == kOutput) return true;
  if (mode_ == kClosed) return Fail(ioFileNotOpen, u"File " + Quoted(name_) + u" not open");
  return Fail(ioNotOpenForOutput, u"File " + Quoted(name_) + u" not open for output");
}

void TextFile::Put(std::string_view bytes) {
  buf_.insert(buf_.end(), bytes.begin(), bytes.end());
  if (buf_.size() >= kBufferSize) FlushOutput();
}

void TextFile::Write(StringView S, int Width) {
  if (!CheckOutput()) return;
  String text = PadLeft(String(S), Width);
  if (pending_high_ != 0) {
    text.insert(text.begin(), pending_high_);
    pending_high_ = 0;
  }
  // A pair may be split across two writes: hold back a trailing high half.
  if (!text.empty() && IsHighSurrogate(text.back())) {
    pending_high_ = text.back();
    text.pop_back();
  }
  Put(ToUtf8(text));
}

void TextFile::WriteInteger(int64_t Value, int Width) { Write(IntToStr(Value), Width); }
void TextFile::WriteUnsigned(uint64_t Value, int Width) { Write(IntToStr(Value), Width); }

void TextFile::WriteFloat(long double Value, int Width, int Precision) {
  Write(FloatToText(Value, Width, Precision));
}

void TextFile::WriteLn() { Write(u"\r\n"); }

void TextFile::WriteLn(StringView S) {
  Write(S);
  WriteLn();
}

}  // namespace zel
