// tools/zel/textstream.h — text lines read and printed in blocks, so that
// memory stays bounded by the block size however long a line is.
//
// The lines are those `TextFile` reads: CR LF, LF or a lone CR end a line,
// a last line without a line end is a line, and a UTF-8 byte-order mark at
// the start of the input is no text.  Bytes are UTF-8; a byte that is not
// valid UTF-8 is its Windows-1252 character, as `FromUtf8` reads it.
//
//   LineSplitter lines;
//   lines.Feed(block, [&](std::string_view piece, bool line_ends) { ... });
//   lines.Finish([&](std::string_view piece, bool line_ends) { ... });
//
//   LinePrinter out;                 // prints lines as the tool prints them
//   out.Write(raw_bytes_of_lines);   // in pieces of any size
//   out.Finish();                    // a LF after a last line without one
#ifndef ZEL_TOOLS_ZEL_TEXTSTREAM_H_
#define ZEL_TOOLS_ZEL_TEXTSTREAM_H_

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "tools/zel/io.h"
#include "zel/platform/string.h"

namespace zel::cli {

// The block size the text commands read with.
inline constexpr size_t kTextBlock = 64 * 1024;
// The longest line a command that needs whole lines holds (`text`, `count`).
inline constexpr size_t kMaxLine = 64 << 20;

// The length of the longest prefix of `bytes` that decodes on its own as it
// would inside the whole text: all of `bytes`, unless they end inside a
// UTF-8 sequence that more bytes could complete.
size_t CompleteUtf8Prefix(std::string_view bytes) noexcept;

// Hands every block of `in`, from its position on, to `feed(block)` until
// the input ends or `feed` returns false.  False after reporting a read
// error ("zel: CMD: NAME: REASON").
bool ReadBlocks(const Input& in, const std::function<bool(std::string_view)>& feed);

// Cuts a byte stream, fed in blocks of any size, into the pieces of its
// lines.  `piece(bytes, line_ends)` gets each run of a line's bytes (line
// ends removed) in order; `line_ends` is true on the last piece of a line.
// A piece may be empty (an empty line, or the end of a line at a block's
// start).
class LineSplitter {
 public:
  // `at_file_start`: the bytes begin a file, so a byte-order mark there is
  // dropped; false for bytes from inside a file.
  explicit LineSplitter(bool at_file_start = true) : head_done_(!at_file_start) {}
  // The lines `TLineReader` hands out with `leStrip` instead: only LF ends
  // a line, and one CR before it is dropped; no byte-order mark is looked
  // for.
  static LineSplitter LfOnly() {
    LineSplitter s(false);
    s.lf_only_ = true;
    return s;
  }
  template <class Piece>
  void Feed(std::string_view block, Piece piece);
  // The end of the input: ends a last line without a line end.
  template <class Piece>
  void Finish(Piece piece);
 private:
  template <class Piece>
  void Scan(std::string_view block, Piece piece);
  template <class Piece>
  void ScanLf(std::string_view block, Piece piece);

  std::string head_;        // the first bytes, until a byte-order mark is ruled out
  bool head_done_ = false;
  bool after_cr_ = false;  // the last byte scanned was a CR ending a line
  bool in_line_ = false;   // bytes of an unfinished line were handed out
  bool lf_only_ = false;
};

// Reads the lines of `in` as LineSplitter::LfOnly() cuts them and hands each
// whole line's bytes to `line(bytes)`.  A line longer than `cap` bytes is not
// held: the read stops with "zel: CMD: NAME: line N is longer than CAP
// bytes".  False after that or a read error.
bool ReadLinesUpTo(const Input& in, size_t cap, const std::function<void(std::string_view)>& line);

// Prints raw line bytes to stdout (through an OutBuffer) as the tool prints
// lines: each line end (CR LF, LF, lone CR) as LF, bytes that are not UTF-8
// as their Windows-1252 characters in UTF-8, and a LF after a last line
// that has none.
class LinePrinter {
 public:
  LinePrinter(OutBuffer& out, bool at_file_start) : out_(out), lines_(at_file_start) {}
  void Write(std::string_view raw);
  void Finish();
  // Prints one piece of a line, as LineSplitter hands them out, for a
  // caller that cuts the lines itself.
  void Piece(std::string_view bytes, bool line_ends);

 private:
  OutBuffer& out_;
  LineSplitter lines_;
  std::string pending_;  // the start of a UTF-8 sequence cut by a block end
  String decoded_;
};

// Appends to `out` the UTF-8 form of what `FromUtf8` makes of `bytes`, which
// hold no line end: ASCII as it is, other bytes decoded and written again
// (so bytes that are not UTF-8 become their Windows-1252 characters).
void AppendPrintable(std::string& out, std::string_view bytes, String& scratch);

// --- implementation -----------------------------------------------------------

template <class Piece>
void LineSplitter::Feed(std::string_view block, Piece piece) {
  if (head_done_) return Scan(block, piece);
  // The first three bytes are held until it is known whether they are a
  // byte-order mark.
  while (head_.size() < 3 && !block.empty()) {
    head_ += block[0];
    block.remove_prefix(1);
  }
  if (head_.size() < 3) return;
  head_done_ = true;
  if (head_ != "\xEF\xBB\xBF") Scan(head_, piece);
  Scan(block, piece);
}

template <class Piece>
void LineSplitter::Finish(Piece piece) {
  if (!head_done_) {
    head_done_ = true;
    Scan(head_, piece);
  }
  if (lf_only_ && after_cr_) {
    after_cr_ = false;
    piece(std::string_view("\r", 1), false);
    in_line_ = true;
  }
  if (in_line_) piece(std::string_view(), true);
  in_line_ = false;
}

template <class Piece>
void LineSplitter::ScanLf(std::string_view block, Piece piece) {
  // after_cr_: the last block ended with a CR, not yet handed out.
  if (after_cr_ && !block.empty()) {
    after_cr_ = false;
    if (block[0] == '\n') {
      piece(std::string_view(), true);
      in_line_ = false;
      block.remove_prefix(1);
    } else {
      piece(std::string_view("\r", 1), false);
      in_line_ = true;
    }
  }
  while (!block.empty()) {
    const char* lf = static_cast<const char*>(std::memchr(block.data(), '\n', block.size()));
    if (lf == nullptr) {
      std::string_view rest = block;
      if (rest.back() == '\r') {
        after_cr_ = true;
        rest.remove_suffix(1);
      }
      piece(rest, false);
      in_line_ = true;
      return;
    }
    std::string_view line = block.substr(0, static_cast<size_t>(lf - block.data()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    piece(line, true);
    in_line_ = false;
    block.remove_prefix(static_cast<size_t>(lf - block.data()) + 1);
  }
}

template <class Piece>
void LineSplitter::Scan(std::string_view block, Piece piece) {
  if (lf_only_) return ScanLf(block, piece);
  if (after_cr_ && !block.empty()) {
    after_cr_ = false;
    if (block[0] == '\n') block.remove_prefix(1);
  }
  // The next LF and CR are each looked up once per occurrence, so a block
  // of many lines is not searched again for the rarer of the two.
  const char* p = block.data();
  const char* const end = p + block.size();
  const char* lf = static_cast<const char*>(std::memchr(p, '\n', block.size()));
  const char* cr = static_cast<const char*>(std::memchr(p, '\r', block.size()));
  while (p < end) {
    const char* stop = lf == nullptr ? cr : cr == nullptr ? lf : std::min(lf, cr);
    if (stop == nullptr) {
      piece(std::string_view(p, static_cast<size_t>(end - p)), false);
      in_line_ = true;
      return;
    }
    piece(std::string_view(p, static_cast<size_t>(stop - p)), true);
    in_line_ = false;
    p = stop + 1;
    if (*stop == '\r') {
      if (p == end) {
        after_cr_ = true;
        return;
      }
      if (*p == '\n') ++p;
    }
    if (lf != nullptr && lf < p) lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (cr != nullptr && cr < p) cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
  }
}

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_TEXTSTREAM_H_
