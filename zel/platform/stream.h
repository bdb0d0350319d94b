// zel/platform/stream.h — byte streams: the abstract `TStream` and the
// in-memory streams `TMemoryStream` and `TStringStream`.
//
// A stream is a sequence of bytes with a current position.  `Read` and
// `Write` move the position by the number of bytes transferred; `Read`
// returns fewer bytes than asked at the end of the stream.  `ReadBuffer` and
// `WriteBuffer` insist on the whole count and raise `EReadError` /
// `EWriteError` otherwise (a short `ReadBuffer` still consumes what it
// could read).
//
//   zel::TMemoryStream m;
//   int32_t v = 42;
//   m.WriteBuffer(&v, sizeof v);
//   m.SetPosition(0);
//   m.ReadBuffer(&v, sizeof v);            // v == 42
//   m.ReadBuffer(&v, 1);                   // throws EReadError
//
// Positions are byte offsets from the start, 0-based.  Seeking past the end
// is allowed; a later write there fills the gap with zero bytes.  A seek to a
// negative position raises `EStreamError` and leaves the position unchanged.
// `SetSize` keeps the position unless it lies beyond the new end, where it is
// moved back to the end.
//
// `TStringStream` holds 8-bit text, one byte per character: built from a
// `String`, each character becomes its Windows-1252 byte ('?' for characters
// the code page lacks), and `DataString()` decodes the bytes the same way,
// so every byte value survives the round trip.  Built from a `std::string`,
// the bytes are taken as they are.
//
// Readers that scan many bytes (the line and text readers of zel/streams)
// ask `PeekBuffered()` for the bytes ahead of the position that are already
// in memory and consume them with `Seek(n, soCurrent)`, instead of a `Read`
// call per byte.  The memory and file streams answer it for their own
// `Read` only: a derived class that changes `Read` gets an empty view, so
// the readers call its `Read`, unless it overrides `PeekBuffered` as well.
#ifndef ZEL_PLATFORM_STREAM_H_
#define ZEL_PLATFORM_STREAM_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// What `Seek`'s offset counts from: the start, the current position, or
// the end of the stream.
enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  // Reads up to `Count` bytes; returns how many were read (0 at the end or
  // for Count <= 0).
  [[nodiscard]] virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to `Count` bytes; returns how many were written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  // The position in bytes from the start; setting it seeks there (a
  // negative position raises `EStreamError`).
  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  // The base version finds the end by seeking there and back.
  virtual int64_t Size();
  // The base version raises `EStreamError`: the stream has no fixed size.
  virtual void SetSize(int64_t NewSize);

  // Reads exactly `Count` bytes or raises `EReadError` ("Stream read error").
  void ReadBuffer(void* Buffer, int64_t Count);
  // Writes exactly `Count` bytes or raises `EWriteError` ("Stream write error").
  void WriteBuffer(const void* Buffer, int64_t Count);

  // Copies `Count` bytes from the current position of `Source`; Count <= 0
  // copies the whole of `Source` from its start.  Returns the number copied;
  // a source that ends early raises `EReadError`.
  int64_t CopyFrom(TStream& Source, int64_t Count);

  // The bytes from the position on that are in memory now, valid until the
  // next call on the stream; take them with `Seek(n, soCurrent)`.  Empty at
  // the end of the stream and wherever bytes must come through `Read` (the
  // base version: always).
  virtual std::span<const uint8_t> PeekBuffered() { return {}; }
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;

  [[nodiscard]] int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  // Grows with zero bytes or cuts; the position is kept unless it lies past
  // the new end.
  void SetSize(int64_t NewSize) override;
  // The memory from the position to the end, when `Read` is this class's
  // own (see the top of this file).
  std::span<const uint8_t> PeekBuffered() override;

  // The bytes, valid until the next size change.
  uint8_t* Memory() noexcept { return data_.data(); }
  const uint8_t* Memory() const noexcept { return data_.data(); }
  // Size 0, position 0.
  void Clear();

  // Replace the contents by the whole of the file / of `Source` (read from
  // its start); the position becomes 0.
  void LoadFromFile(const String& FileName);
  void LoadFromStream(TStream& Source);
  // Write the whole contents (whatever the position) to a new file / to
  // `Dest` at its current position.
  void SaveToFile(const String& FileName) const;
  void SaveToStream(TStream& Dest) const;

 protected:
  // The memory from the position to the end, for derived classes whose
  // `Read` is this one: their `PeekBuffered` may return it.
  std::span<const uint8_t> MemoryAhead() const noexcept {
    if (pos_ >= static_cast<int64_t>(data_.size())) return {};
    return {data_.data() + pos_, data_.size() - static_cast<size_t>(pos_)};
  }

  // The contents, and the position (it may lie past the end).
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// A memory stream holding 8-bit text (see the top of this file).
class TStringStream : public TMemoryStream {
 public:
  TStringStream() = default;
  // The text, one byte per character (Windows-1252; '?' for a character
  // the code page lacks).
  explicit TStringStream(StringView Text);
  explicit TStringStream(const Char* Text) : TStringStream(StringView(Text)) {}
  // A stream holding these bytes as they are: a byte stream, like
  // std::istringstream.  The text view (`DataString`) reads them as
  // Windows-1252, so text goes in through the UTF-16 constructor above.
  explicit TStringStream(std::string_view Bytes);
  explicit TStringStream(const char* Bytes) : TStringStream(std::string_view(Bytes)) {}
  // The byte constructor by name, for code that wants to say so:
  //   auto in = zel::TStringStream::FromBytes("Man");
  static TStringStream FromBytes(std::string_view Bytes) { return TStringStream(Bytes); }

  // The whole contents, one character per byte (Windows-1252).
  String DataString() const;
  // The whole contents as raw bytes.
  std::string_view DataBytes() const noexcept {
    return {reinterpret_cast<const char*>(data_.data()), data_.size()};
  }
  // Writes `Text` at the position, one byte per character (Windows-1252).
  void WriteString(StringView Text);
};

}  // namespace zel

#endif  // ZEL_PLATFORM_STREAM_H_
