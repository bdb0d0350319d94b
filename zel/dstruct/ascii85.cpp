#include "zel/dstruct/ascii85.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "zel/dstruct/internal/bytestreams.h"

namespace zel {
namespace {

constexpr uint32_t kPow85[5] = {1, 85, 7225, 614125, 52200625};
constexpr int kGroupsPerLine = 12;
constexpr int64_t kChunk = 64 * 1024;

// Writes the n + 1 base-85 digits of v, most significant first.
char* Digits(uint32_t v, int n, char* o) {
  for (int i = n; i >= 0; --i) {
    *o++ = static_cast<char>(v / kPow85[i] + 33);
    v %= kPow85[i];
  }
  return o;
}

}  // namespace

void EncodeASCII85(TStream& InStream, TStream& OutStream, bool LineBreaks) {
  const std::unique_ptr<uint8_t[]> in(new uint8_t[kChunk]);
  // At most 5 characters per group plus a line break per 12 groups.
  const std::unique_ptr<char[]> out(new char[kChunk / 4 * 5 + kChunk / 48 * 2 + 16]);
  int groups = 0;
  for (;;) {
    const int64_t got = InStream.Read(in.get(), kChunk);
    char* o = out.get();
    for (int64_t at = 0; at < (got > 0 ? got : 0); at += 4) {
      const uint8_t* p = in.get() + at;
      const int n = static_cast<int>(got - at < 4 ? got - at : 4);
      uint32_t v = 0;
      for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
      if (n == 4 && v == 0) {
        *o++ = 'z';
        continue;
      }
      o = Digits(v, n, o);
      if (++groups == kGroupsPerLine) {
        groups = 0;
        if (LineBreaks) {
          *o++ = '\r';
          *o++ = '\n';
        }
      }
    }
    if (got >= kChunk) {
      OutStream.WriteBuffer(out.get(), o - out.get());
      continue;
    }
    *o++ = '~';
    *o++ = '>';
    OutStream.WriteBuffer(out.get(), o - out.get());
    return;
  }
}

int DecodeASCII85(TStream& InStream, TStream& OutStream) {
  const std::unique_ptr<uint8_t[]> in(new uint8_t[kChunk]);
  std::vector<uint8_t> out;
  out.reserve(kChunk + 8);
  int result = 0;
  int k = 0;       // characters in the current group
  uint32_t v = 0;  // its value so far, modulo 2^32

  auto end_group = [&] {
    for (int i = k - 2; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    k = 0;
    v = 0;
  };

  for (;;) {
    const int64_t got = InStream.Read(in.get(), kChunk);
    if (got <= 0) break;
    for (int64_t at = 0; at < got; ++at) {
      const uint8_t c = in[at];
      if (c == '\r' || c == '\n') continue;
      if (c == '~') {
        end_group();
        // Leave the input right after the end marker.
        if (got - at - 1 > 0) InStream.Seek(-(got - at - 1), soCurrent);
        OutStream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
        return result;
      }
      if (k == 0 && c == 'z') {
        out.insert(out.end(), 4, 0);
        continue;
      }
      if (c < 33 || c > 117) result = c == 'z' ? -2 : -1;
      v = v * 85 + static_cast<uint32_t>(c - 33);
      if (++k == 5) end_group();
    }
    OutStream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
    out.clear();
  }
  end_group();  // no end marker: the last group holds what was read
  OutStream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
  return result;
}

}  // namespace zel

// --- strings -------------------------------------------------------------------

namespace zel {
namespace {

// Whether a text decodes without a fault the stream decoder reports and
// without one it lets pass (see FromASCII85 in the header).
bool DecodesExactly(std::string_view text) {
  int k = 0;       // characters in the current group
  uint64_t v = 0;  // its value
  // A group of k digits stands for k - 1 bytes and must fit them.
  auto group_fits = [&] { return k == 0 || (k > 1 && v < (uint64_t{1} << (8 * (k - 1)))); };
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') continue;
    if (c == '~') {
      if (!group_fits() || text.substr(i + 1, 1) != ">") return false;
      return text.find_first_not_of("\r\n", i + 2) == std::string_view::npos;
    }
    if (k == 0 && c == 'z') continue;
    if (c < '!' || c > 'u') return false;
    v = v * 85 + (c - 33);
    if (++k == 5) {
      if (!group_fits()) return false;
      k = 0;
      v = 0;
    }
  }
  return group_fits();
}

}  // namespace

std::string ToASCII85(std::string_view Bytes, bool LineBreaks) {
  std::string text;
  text.reserve(Bytes.size() / 4 * 5 + 8 + (LineBreaks ? Bytes.size() / 24 : 0));
  detail::ViewInStream in(Bytes);
  detail::StringOutStream out(text);
  EncodeASCII85(in, out, LineBreaks);
  return text;
}

std::optional<std::string> FromASCII85(std::string_view Text) {
  if (!DecodesExactly(Text)) return std::nullopt;
  std::string bytes;
  bytes.reserve(Text.size() / 5 * 4 + 4);
  detail::ViewInStream in(Text);
  detail::StringOutStream out(bytes);
  if (DecodeASCII85(in, out) != 0) return std::nullopt;
  return bytes;
}

}  // namespace zel
