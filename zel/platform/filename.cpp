#include "zel/platform/filename.h"

#include "zel/platform/export.h"
#include "zel/platform/internal/codepoints.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr Char kEscapeBase = 0xDC00;  // U+DC80..U+DCFF carry bytes 0x80..0xFF

bool IsEscapedByte(Char c) noexcept { return c >= 0xDC80 && c <= 0xDCFF; }

}  // namespace

String FileNameFromBytes(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<Char>(b);
      ++i;
      continue;
    }
    char32_t cp;
    const size_t len = DecodeUtf8Char(bytes.substr(i), cp);
    if (len == 0) {
      out += static_cast<Char>(kEscapeBase + b);
      ++i;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<Char>(0xD800 + (cp >> 10));
      out += static_cast<Char>(0xDC00 + (cp & 0x3FF));
      i += len;
    } else {
      out += static_cast<Char>(cp);
      i += len;
    }
  }
  return out;
}

std::string FileNameToBytes(StringView name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    const Char c = name[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if (IsEscapedByte(c)) {
      out += static_cast<char>(c - kEscapeBase);
      ++i;
    } else {
      char bytes[4];
      const char32_t cp = detail::NextCodePoint(name, i);  // advances i
      out.append(bytes, static_cast<size_t>(detail::WriteUtf8(bytes, cp) - bytes));
    }
  }
  return out;
}

bool HasEscapedBytes(StringView name) noexcept {
  for (const Char c : name) {
    if (IsEscapedByte(c)) return true;
  }
  return false;
}

}  // namespace zel
