// zel/platform/textfile.h — `TextFile`, a buffered text file read and
// written line by line, character by character or value by value.
//
//   zel::TextFile f;
//   f.AssignFile(u"notes.txt");
//   f.Rewrite();                       // create or empty
//   f.Write(u"x = ");
//   f.Write(42, 5);                    // "   42"
//   f.WriteLn();                       // CR LF
//   f.Write(3.14159, 8, 2);            // "    3.14"
//   f.Close();
//
//   f.Reset();                         // read from the start
//   zel::String line;
//   while (!f.Eof()) { f.ReadLn(line); ... }
//   f.Close();
//
// Encoding: writing produces UTF-8.  Reading decodes UTF-8; a byte that does
// not start a valid UTF-8 sequence is read as its Windows-1252 character, so
// old 8-bit files read as before.  A UTF-8 byte-order mark at the start of
// the file is skipped.  `Reset` itself reads nothing, so it never waits for
// an interactive input; the first read or test (`Eof`, `Eoln`) does.
//
// Line ends read: CR LF, LF, or a lone CR.  `ReadLn` returns the line without
// its line end (an empty string at the end of the file) and moves past it;
// `Read(Char&)` returns line-end bytes as the characters CR and LF, and
// characters outside the basic plane as two calls (the surrogate pair); at
// the end of the file it returns Ctrl-Z (U+001A).  `Read(int32_t&)` skips
// blanks, tabs, line ends and other control characters, then reads the
// characters up to the next such character as one number (decimal, or
// hexadecimal after `$`/`0x`): text that is no 32-bit number is an error
// (`ioInvalidNumber`); at the end of the file it gives 0.  The character that
// ends the number stays unread.
//
// Writing: `Write` of a string, a character or an integer right-aligns the
// text in `Width` characters (blank-padded, never cut).  Floats go through
// `FloatToText` (numconv.h): `Write(x, w, p)` fixed point with p digits,
// `Write(x, w)` scientific in w characters, `Write(x)` scientific with 17
// significant digits (width 25).  `WriteLn` ends the line with CR LF.
//
// The empty file name stands for standard input (`Reset`) or standard output
// (`Rewrite`, `Append`); closing such a file leaves the descriptor open.
//
// Errors: by default every failed operation throws `EInOutError`, whose
// `ErrorCode()` is the system's errno or one of the io... codes below.  After
// `SetIOChecks(false)` a failure instead records its code, which `IOResult()`
// returns (and resets to 0); while a code is pending, further operations on
// the file do nothing (`Eof()` then answers true), as with classic I/O
// checking switched off.
//
// `Erase` and `Rename` work on the assigned name; an open file is closed
// before it is erased, and stays open (under its new name) when renamed.
#ifndef ZEL_PLATFORM_TEXTFILE_H_
#define ZEL_PLATFORM_TEXTFILE_H_

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Error codes of text files that are not system errors.  They lie where the
// classic runtime put them.
inline constexpr int ioReadError = 100;
inline constexpr int ioWriteError = 101;
inline constexpr int ioFileNotAssigned = 102;
inline constexpr int ioFileNotOpen = 103;
inline constexpr int ioNotOpenForInput = 104;
inline constexpr int ioNotOpenForOutput = 105;
inline constexpr int ioInvalidNumber = 106;

class TextFile {
 public:
  TextFile();
  explicit TextFile(const String& FileName);
  // Closes the file; a write error is lost here (call Close() to see it).
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Names the file; an open file is closed first.
  void AssignFile(const String& FileName);
  void Reset();    // open for reading, at the start
  void Rewrite();  // create or empty, open for writing
  // Opens for writing a new version of the file that replaces it at Close:
  // the text goes to a temporary file beside it, renamed over the file only
  // when Close wrote and flushed everything (zel/platform/filereplace.h).
  // A write error, or a TextFile destroyed without Close (an exception in
  // the writer), leaves the old file as it was.  Standard output (the empty
  // name) is written directly.
  void RewriteReplacing();
  void Append();   // open an existing file for writing at its end
  void Close();    // writes pending output; closing a closed file does nothing
  void Flush();    // writes pending output now
  void Erase();
  void Rename(const String& NewName);

  void ReadLn(String& Line);
  void ReadLn();  // skips the rest of the line
  void Read(Char& C);
  void Read(int32_t& Value);
  bool Eof();
  bool Eoln();

  // Write a string, a character, an integer or a float, right-aligned in
  // `Width` characters (see "Writing" above; a `char` or `bool` argument
  // does not compile); `WriteLn` writes `S` and ends the line with CR LF.
  void Write(StringView S, int Width = 0);
  template <std::same_as<Char> T>
  void Write(T C, int Width = 0) { Write(StringView(&C, 1), Width); }
  template <std::integral T>
    requires(!std::same_as<T, Char> && !std::same_as<T, bool> && !std::same_as<T, char>)
  void Write(T Value, int Width = 0) {
    if constexpr (std::is_signed_v<T>) {
      WriteInteger(static_cast<int64_t>(Value), Width);
    } else {
      WriteUnsigned(static_cast<uint64_t>(Value), Width);
    }
  }
  template <std::floating_point T>
  void Write(T Value, int Width = 25, int Precision = -1) {
    WriteFloat(static_cast<long double>(Value), Width, Precision);
  }
  void WriteLn();
  void WriteLn(StringView S);

  // Whether the file is open for reading or writing, and its assigned name
  // ("" for standard input and output).
  bool IsOpen() const noexcept { return mode_ != kClosed; }
  const String& FileName() const noexcept { return name_; }

  // Whether a failure raises `EInOutError` (true at first) or is recorded
  // for `IOResult` (see "Errors" above).
  void SetIOChecks(bool On) noexcept { io_checks_ = On; }
  bool IOChecks() const noexcept { return io_checks_; }
  // The code of the last failure while checks were off, then 0 again.
  int IOResult() noexcept;

 private:
  enum Mode { kClosed, kInput, kOutput };

  void Open(Mode mode, int flags, bool skip_bom);
  void StartMode(Mode mode, bool skip_bom);
  bool Fail(int code, const String& message);
  bool Blocked() const noexcept { return !io_checks_ && io_result_ != 0; }
  bool CheckInput();
  bool CheckOutput();
  // Makes at least `n` unread bytes available unless the file ends first;
  // returns how many are available.
  size_t Available(size_t n);
  bool ReadLineBytes(std::string* bytes);
  void Put(std::string_view bytes);
  void WriteInteger(int64_t Value, int Width);
  void WriteUnsigned(uint64_t Value, int Width);
  void WriteFloat(long double Value, int Width, int Precision);
  void FlushOutput();

  String name_;
  bool assigned_ = false;
  Mode mode_ = kClosed;
  int fd_ = -1;
  bool own_fd_ = false;
  std::vector<unsigned char> buf_;
  size_t rpos_ = 0;  // reading: next unread byte in buf_
  size_t rlen_ = 0;  // reading: bytes in buf_
  bool at_end_ = false;
  bool bom_pending_ = false;  // Reset's byte-order-mark test waits for the first read
  Char pending_low_ = 0;   // second half of a pair Read(Char&) has not returned
  Char pending_high_ = 0;  // first half of a pair written without its partner
  bool io_checks_ = true;
  int io_result_ = 0;
  std::unique_ptr<FileReplacement> replacement_;  // RewriteReplacing's pending file
  bool output_failed_ = false;                    // a write failed since opening
};

}  // namespace zel

#endif  // ZEL_PLATFORM_TEXTFILE_H_
