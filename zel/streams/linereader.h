// zel/streams/linereader.h — `TLineReader`, the streaming reader of text
// lines from a file descriptor or a stream.
//
// Lines end at LF.  The reader reads large blocks, finds the line ends with
// `memchr`, and hands out one line at a time from a buffer it reuses: memory
// stays bounded by the longest line, whatever the size of the input.  Each
// line comes either as its raw bytes (a view into the buffer, valid until
// the next call) or decoded as UTF-8 into a `String` the caller reuses
// (invalid bytes read as their Windows-1252 characters, as `FromUtf8` does;
// ASCII runs are widened in blocks).
//
//   zel::TLineReader in(STDIN_FILENO);          // or a TStream&
//   zel::String line;
//   while (in.ReadLine(line)) Use(line);
//   if (in.Error() != 0) ...                    // errno of a failed read
//
//   std::string_view raw;                        // byte-level consumers
//   while (in.ReadLine(raw)) Count(raw);
//
// `leStrip` (the default) removes the LF and one CR before it; `leKeep`
// hands out each line as read, with its LF (and CR), so that joining the
// lines gives the input back byte for byte.  A last line without LF is a
// line; an empty input has none.
//
// From a stream the reader starts at the stream's position and reads it in
// blocks through `Read`, so the stream's position runs ahead of the lines
// handed out.  A file descriptor is not closed by the reader.  A stream
// that raises passes the exception on.
#ifndef ZEL_STREAMS_LINEREADER_H_
#define ZEL_STREAMS_LINEREADER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// What happens to each line's end: removed (leStrip) or kept (leKeep); see
// above.
enum TLineEnds : uint8_t { leStrip, leKeep };

class TLineReader {
 public:
  // The buffer's first size in bytes, which bounds one read; it doubles
  // while a single line fills it.
  static constexpr size_t kBlockSize = 256 * 1024;

  explicit TLineReader(int Fd, TLineEnds Ends = leStrip) : fd_(Fd), ends_(Ends) {}
  explicit TLineReader(TStream& Stream, TLineEnds Ends = leStrip)
      : stream_(&Stream), ends_(Ends) {}

  // The next line's bytes; false at the end of the input or after a read
  // error.  The view is valid until the next call.
  bool ReadLine(std::string_view& Line);
  // The next line decoded into `Line` (its old contents replaced).
  bool ReadLine(String& Line);

  // True when the last line handed out was all ASCII (below 0x80): its
  // bytes then are its characters and its UTF-8 form.
  bool LastLineAscii() const noexcept { return last_ascii_; }
  // The number of lines handed out.
  int64_t LineNumber() const noexcept { return line_no_; }
  // The errno of a failed read of the file descriptor, 0 if none.
  int Error() const noexcept { return error_; }

 private:
  // Reads more bytes behind the unread ones; false at the end or on error.
  bool Fill();

  int fd_ = -1;
  TStream* stream_ = nullptr;
  TLineEnds ends_;
  std::vector<char> buf_;
  size_t begin_ = 0;  // the unread bytes: buf_[begin_, end_)
  size_t end_ = 0;
  size_t scanned_ = 0;  // buf_[begin_, scanned_) holds no LF
  bool eof_ = false;
  bool last_ascii_ = true;
  int error_ = 0;
  int64_t line_no_ = 0;
};

}  // namespace zel

#endif  // ZEL_STREAMS_LINEREADER_H_
