#include "zel/streams/linereader.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  // Hands out the line buf_[begin_, stop), which an LF at buf_[stop] ends
  // when `lf` (the last line of the input may have none).
  const auto take_line = [&](size_t stop, bool lf) {
    const char* base = buf_.data();
    size_t len = stop - begin_;
    if (ends_ == leKeep) {
      len += lf;
    } else if (len > 0 && base[begin_ + len - 1] == '\r') {
      --len;
    }
    Line = std::string_view(base + begin_, len);
    begin_ = scanned_ = stop + lf;
    ++line_no_;
  };
#if defined(__SSE2__)
  // Most lines are short and whole in the buffer: one pass of 16 bytes at a
  // time finds the LF and whether any byte before it is not ASCII, without
  // a call.  Lines longer than 256 bytes go on below.
  if (scanned_ == begin_) {
    const char* base = buf_.data();
    const __m128i lf = _mm_set1_epi8('\n');
    unsigned high = 0;  // bits of non-ASCII bytes seen
    size_t i = begin_;
    for (; i + 16 <= end_ && i - begin_ < 256; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
      const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
      const auto top = static_cast<unsigned>(_mm_movemask_epi8(v));
      if (hits != 0) {
        high |= top & ((hits & -hits) - 1);  // the bytes before the LF
        take_line(i + static_cast<size_t>(__builtin_ctz(hits)), true);
        last_ascii_ = high == 0;
        return true;
      }
      high |= top;
    }
    scanned_ = i;
  }
#endif
  for (;;) {
    const char* base = buf_.data();
    const void* lf = scanned_ < end_ ? std::memchr(base + scanned_, '\n', end_ - scanned_) : nullptr;
    if (lf != nullptr) {
      take_line(static_cast<size_t>(static_cast<const char*>(lf) - base), true);
      break;
    }
    scanned_ = end_;
    if (!Fill()) {
      if (begin_ == end_) return false;
      take_line(end_, false);
      break;
    }
  }
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
