// zel/platform/string.h — the library's string types and code-page edges.
//
// Text inside the library is UTF-16: `String` is a `std::u16string` and one
// `Char` is one 16-bit code unit (a surrogate pair counts as two characters).
// Positions in library functions count from 1; 0 means "not found".
//
// Two 8-bit forms meet the outside world:
//   * `ShortString`: a length byte and up to 255 bytes in the Windows-1252
//     code page, the cell type of the string table.  `ToShortString` maps
//     each character to its 1252 byte ('?' when it has none) and cuts at 255.
//   * UTF-8: file names, command-line arguments and the console.  `ToUtf8`
//     and `FromUtf8` convert losslessly for valid input; `FromUtf8` reads an
//     invalid byte as its Windows-1252 character, so old 8-bit text still
//     reads.
//
//   zel::String s = zel::FromUtf8("Grüße");      // 5 characters
//   zel::ShortString b = zel::ToShortString(s);   // 5 bytes, 0xFC for 'ü'
//   zel::ShortString c;
//   zel::TryToShortString(u"Łódź", c);             // false: "?ód?" was stored
//   std::string u = zel::ToUtf8(b.ToString());     // "Grüße" again
#ifndef ZEL_PLATFORM_STRING_H_
#define ZEL_PLATFORM_STRING_H_

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

using Char = char16_t;
using String = std::u16string;
using StringView = std::u16string_view;  // a view of UTF-16 text
using AnsiChar = unsigned char;  // one Windows-1252 byte

// The character a Windows-1252 byte stands for.  The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the
// same code, so every byte round-trips.
Char AnsiToChar(AnsiChar b) noexcept;

// The Windows-1252 byte of a character, or `fallback` when it has none.
AnsiChar CharToAnsi(Char c, AnsiChar fallback = '?') noexcept;

// True if `c` has a Windows-1252 byte.
bool IsAnsiChar(Char c) noexcept;

// Whole-string conversions between UTF-16 and Windows-1252 bytes.
String AnsiToString(std::string_view bytes);
std::string StringToAnsi(StringView s, AnsiChar fallback = '?');

// UTF-8 at the edges.  `ToUtf8` writes an unpaired surrogate as U+FFFD.
std::string ToUtf8(StringView s);
String FromUtf8(std::string_view utf8);

// Appends the UTF-8 form of the code point `cp`.
void AppendUtf8(std::string& out, char32_t cp);
// Appends to `out` what `FromUtf8` makes of `utf8`; runs of ASCII are
// widened in blocks, so `out` reused line after line costs no allocation.
void AppendFromUtf8(String& out, std::string_view utf8);
// Appends each byte as the character of the same code (0 to 255).
void AppendByteChars(String& out, std::string_view bytes);
// Replaces `out` by the bytes as characters; of the room `out` already
// has, none is cleared first (cheaper for a string reused line by line).
void AssignByteChars(String& out, std::string_view bytes);
// The length of the ASCII (below 0x80) run at the front of `bytes`.
size_t AsciiPrefixLength(std::string_view bytes) noexcept;

// Decodes the UTF-8 sequence at the front of `bytes`: returns its length (1
// to 4) and sets `cp`, or returns 0 when the bytes there are not a valid,
// shortest-form sequence (`FromUtf8` then reads the first byte as its
// Windows-1252 character).  For readers that decode incrementally.
size_t DecodeUtf8Char(std::string_view bytes, char32_t& cp) noexcept;

// Shorthand for ASCII literals in code that builds `String`s from `char`
// text, e.g. `S("abc")`.
String S(std::string_view ascii_or_utf8);

// An 8-bit string of at most 255 Windows-1252 bytes with its length byte in
// front, as stored in tables and streams.
class ShortString {
 public:
  // The most bytes a ShortString holds.
  static constexpr int kCapacity = 255;

  // The empty string.  Only the length byte is written: the bytes past the
  // length are never read (operator[] and Raw() give 0 for them), so a
  // value that is about to be filled costs nothing to make.
  ShortString() noexcept { raw_[0] = 0; }
  ShortString(const ShortString& other) noexcept { CopyFrom(other); }
  ShortString& operator=(const ShortString& other) noexcept {
    CopyFrom(other);
    return *this;
  }
  // Windows-1252 bytes as they are, at most 255 of them.  Text goes through
  // `ToShortString` / `TryToShortString` instead: UTF-8 bytes taken as
  // Windows-1252 would turn "Zürich" into "ZÃ¼rich".
  static ShortString FromBytes(std::string_view bytes) noexcept;
  // Replaces the value by the first 255 of `bytes` in place (which may lie
  // in this very string).  Reads exactly those bytes.
  void Assign(std::string_view bytes) noexcept {
    const size_t n = bytes.size() < kCapacity ? bytes.size() : size_t{kCapacity};
    const char* from = bytes.data();
    AnsiChar* to = raw_.data() + 1;
    // Short values (the usual cells) as two overlapping words, loaded
    // before either is stored, so a source inside this string is safe.
    if (n >= 8 && n <= 16) {
      uint64_t head, tail;
      std::memcpy(&head, from, 8);
      std::memcpy(&tail, from + n - 8, 8);
      std::memcpy(to, &head, 8);
      std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
      uint32_t head, tail;
      std::memcpy(&head, from, 4);
      std::memcpy(&tail, from + n - 4, 4);
      std::memcpy(to, &head, 4);
      std::memcpy(to + n - 4, &tail, 4);
    } else if (n > 0) {
      std::memmove(to, from, n);
    }
    raw_[0] = static_cast<AnsiChar>(n);
  }

  // The number of bytes (0..255), whether there are none, and the bytes
  // themselves (a view into this string, valid until it changes).
  int Length() const noexcept { return raw_[0]; }
  bool Empty() const noexcept { return raw_[0] == 0; }
  std::string_view Bytes() const noexcept {
    return {reinterpret_cast<const char*>(raw_.data() + 1), raw_[0]};
  }
  // Byte i, counted from 1 as the length byte is byte 0; 0 for an i
  // outside 0..255 (bytes past the length are 0 as well).
  AnsiChar operator[](int i) const noexcept {
    return i >= 0 && i <= raw_[0] ? raw_[static_cast<size_t>(i)] : AnsiChar{0};
  }
  // The 256-byte stored form: length byte, the characters, zeros after them.
  std::array<AnsiChar, 256> Raw() const noexcept;

  String ToString() const { return AnsiToString(Bytes()); }

  friend bool operator==(const ShortString& a, const ShortString& b) noexcept {
    return a.Bytes() == b.Bytes();
  }

 private:
  // The length byte and the characters; what lies past them is unset.
  void CopyFrom(const ShortString& other) noexcept;

  std::array<AnsiChar, 256> raw_;
};

// Converts through Windows-1252 and cuts at 255 characters.
ShortString ToShortString(StringView s);
// The same, and tells whether the result holds `s` exactly: false when a
// character has no Windows-1252 byte (it became '?') or `s` was longer than
// 255 characters (it was cut).
bool TryToShortString(StringView s, ShortString& out);
// `ToShortString(FromUtf8(utf8))` written straight to `out` (up to 255
// bytes) without the UTF-16 copy; returns the number of bytes.  `exact`,
// when given, tells whether the bytes hold the text exactly (false when a
// character became '?' or the text was cut), as TryToShortString does.
size_t Utf8ToShortBytes(std::string_view utf8, char* out, bool* exact = nullptr) noexcept;

}  // namespace zel

#endif  // ZEL_PLATFORM_STRING_H_
