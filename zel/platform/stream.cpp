#include "zel/platform/stream.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <typeinfo>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/filestream.h"

namespace ZEL_EXPORT zel {
namespace {

// Adds `offset` to `base`, failing on overflow and on a negative result.
int64_t SeekTarget(int64_t base, int64_t offset) {
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) {
    throw EStreamError(u"Invalid stream position");
  }
  return target;
}

constexpr int64_t kCopyChunk = 64 * 1024;

}  // namespace

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::SetSize(int64_t /*NewSize*/) {
  throw EStreamError(u"Stream size cannot be changed");
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count <= 0) return;
  if (Read(Buffer, Count) != Count) throw EReadError(u"Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count <= 0) return;
  if (Write(Buffer, Count) != Count) throw EWriteError(u"Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count <= 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min(Count, kCopyChunk)));
  int64_t left = Count;
  while (left > 0) {
    const int64_t n = std::min(left, kCopyChunk);
    Source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    left -= n;
  }
  return Count;
}

// --- TMemoryStream ----------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t size = Size();
  if (Count <= 0 || pos_ >= size) return 0;
  const int64_t n = std::min(Count, size - pos_);
  std::memcpy(Buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  int64_t end;
  if (__builtin_add_overflow(pos_, Count, &end)) return 0;
  if (end > Size()) {
    // `Buffer` may lie in this stream's own memory (appending a copy of
    // its contents), which growing can move: note where it sits first.
    const auto* src = static_cast<const uint8_t*>(Buffer);
    const uint8_t* const base = data_.data();
    const bool inside = base != nullptr && std::less_equal<>()(base, src) &&
                        std::less<>()(src, base + data_.size());
    const size_t offset = inside ? static_cast<size_t>(src - base) : 0;
    SetSize(end);  // zero-fills a gap before pos_
    if (inside) Buffer = data_.data() + offset;
  }
  std::memmove(data_.data() + pos_, Buffer, static_cast<size_t>(Count));
  pos_ = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: pos_ = SeekTarget(0, Offset); break;
    case soCurrent: pos_ = SeekTarget(pos_, Offset); break;
    case soEnd: pos_ = SeekTarget(Size(), Offset); break;
  }
  return pos_;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError(u"Invalid stream size");
  if (static_cast<uint64_t>(NewSize) > data_.max_size()) {
    throw EOutOfMemory(u"Out of memory");
  }
  try {
    data_.resize(static_cast<size_t>(NewSize));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(u"Out of memory");
  }
  pos_ = std::min(pos_, NewSize);
}

std::span<const uint8_t> TMemoryStream::PeekBuffered() {
  // Exact types only: a derived class may have changed `Read`.
  const std::type_info& type = typeid(*this);
  if (type != typeid(TMemoryStream) && type != typeid(TStringStream)) return {};
  return MemoryAhead();
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::LoadFromStream(TStream& Source) {
  Source.SetPosition(0);
  const int64_t size = Source.Size();
  std::vector<uint8_t> bytes;
  bytes.resize(static_cast<size_t>(size));
  Source.ReadBuffer(bytes.data(), size);
  data_ = std::move(bytes);
  pos_ = 0;
}

void TMemoryStream::SaveToFile(const String& FileName) const {
  // The old file is replaced only once the new one is complete on disk.
  FileReplacement file(FileName);
  file.Write(data_.data(), data_.size());
  file.Commit();
}

void TMemoryStream::SaveToStream(TStream& Dest) const {
  Dest.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

// --- TStringStream ----------------------------------------------------------

TStringStream::TStringStream(StringView Text) { WriteString(Text); pos_ = 0; }

TStringStream::TStringStream(std::string_view Bytes) {
  data_.assign(Bytes.begin(), Bytes.end());
}

String TStringStream::DataString() const { return AnsiToString(DataBytes()); }

void TStringStream::WriteString(StringView Text) {
  const std::string bytes = StringToAnsi(Text);
  WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

}  // namespace zel
