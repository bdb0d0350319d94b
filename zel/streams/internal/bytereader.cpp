#include "zel/streams/internal/bytereader.h"

#include <typeinfo>

#include "zel/platform/filestream.h"
#include "zel/streams/mixedfstream.h"

namespace zel::detail {

ByteReader::ByteReader(TStream& s) : s_(s), kind_(kOther) {
  // The library's own stream classes by exact type first: far cheaper than
  // a dynamic_cast, which line-by-line readers would pay on every call.
  const std::type_info& type = typeid(s);
  if (type == typeid(TFileStream) || type == typeid(TMixedFStream)) {
    kind_ = kFile;
  } else if (type == typeid(TMemoryStream) || type == typeid(TStringStream)) {
    kind_ = kMemory;
  } else if (dynamic_cast<TMemoryStream*>(&s) != nullptr) {
    kind_ = kMemory;
  } else if (dynamic_cast<TFileStream*>(&s) != nullptr) {
    kind_ = kFile;
  }
}

std::span<const uint8_t> ByteReader::Peek() {
  switch (kind_) {
    case kMemory: {
      auto& m = static_cast<TMemoryStream&>(s_);
      const int64_t pos = m.Position();
      const int64_t size = m.Size();
      if (pos >= size) return {};
      return {m.Memory() + pos, static_cast<size_t>(size - pos)};
    }
    case kFile:
      return static_cast<TFileStream&>(s_).PeekBuffered();
    case kOther:
      if (!has_held_) {
        if (s_.Read(&held_, 1) != 1) return {};
        has_held_ = true;
      }
      return {&held_, 1};
  }
  return {};
}

void ByteReader::Take(size_t n) {
  if (n == 0) return;
  if (kind_ == kOther) {
    has_held_ = false;
  } else {
    s_.Seek(static_cast<int64_t>(n), soCurrent);
  }
}

}  // namespace zel::detail
