#include "zel/streams/linereader.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

bool TLineReader::Fill() {
  if (eof_) return false;
  // Move the unread bytes to the front; grow only when one line fills the
  // whole buffer.
  if (begin_ > 0) {
    std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    scanned_ -= begin_;
    begin_ = 0;
  }
  if (buf_.empty()) {
    buf_.resize(kBlockSize);
  } else if (end_ == buf_.size()) {
    buf_.resize(buf_.size() * 2);
  }
  const size_t room = buf_.size() - end_;
  int64_t got;
  if (stream_ != nullptr) {
    got = stream_->Read(buf_.data() + end_, static_cast<int64_t>(room));
  } else {
    ssize_t n;
    do {
      n = ::read(fd_, buf_.data() + end_, room);
    } while (n < 0 && errno == EINTR);
    if (n < 0) error_ = errno;
    got = n;
  }
  if (got <= 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<size_t>(got);
  return true;
}

bool TLineReader::ReadLine(std::string_view& Line) {
  for (;;) {
    const char* base = buf_.data();
    const void* lf = scanned_ < end_ ? std::memchr(base + scanned_, '\n', end_ - scanned_) : nullptr;
    if (lf != nullptr) {
      const size_t at = static_cast<size_t>(static_cast<const char*>(lf) - base);
      size_t len = at - begin_;
      if (ends_ == leKeep) {
        ++len;
      } else if (len > 0 && base[begin_ + len - 1] == '\r') {
        --len;
      }
      Line = std::string_view(base + begin_, len);
      begin_ = scanned_ = at + 1;
      break;
    }
    scanned_ = end_;
    if (!Fill()) {
      if (begin_ == end_) return false;
      // The last line, without LF.
      size_t len = end_ - begin_;
      if (ends_ == leStrip && buf_[begin_ + len - 1] == '\r') --len;
      Line = std::string_view(buf_.data() + begin_, len);
      begin_ = scanned_ = end_;
      break;
    }
  }
  ++line_no_;
  last_ascii_ = AsciiPrefixLength(Line) == Line.size();
  return true;
}

bool TLineReader::ReadLine(String& Line) {
  std::string_view raw;
  if (!ReadLine(raw)) return false;
  Line.clear();
  if (last_ascii_) {
    AppendByteChars(Line, raw);
  } else {
    AppendFromUtf8(Line, raw);
  }
  return true;
}

}  // namespace zel
