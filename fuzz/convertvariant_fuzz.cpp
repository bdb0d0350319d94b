// Fuzzes ConvertVariant over variants built from the input: values of every
// type code, and arrays of one to four nesting levels (ragged, with any
// bounds, typed or of variants, also multi-dimensional).  ConvertVariant
// must never throw, and its text must have the documented frame.
//
// Input layout: a byte stream read by a small recursive builder; each value
// starts with a kind byte, arrays take their bounds and element count from
// the bytes after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "zel/platform/variant.h"
#include "zel/stringl/valuetext.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  template <class T>
  T Value() {
    T v{};
    uint8_t bytes[sizeof(T)];
    for (uint8_t& b : bytes) b = Byte();
    std::memcpy(&v, bytes, sizeof v);
    return v;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

zel::Variant Build(Reader& in, int depth) {
  using zel::Variant;
  const uint8_t kind = in.Byte();
  switch (kind % 20) {
    case 0: return Variant();
    case 1: return zel::Null();
    case 2: return Variant(in.Value<int16_t>());
    case 3: return Variant(in.Value<int32_t>());
    case 4: return Variant(in.Value<float>());
    case 5: return Variant(in.Value<double>());
    case 6: return zel::VarFromCurrency(in.Value<int64_t>());
    case 7: return zel::VarFromDateTime(in.Value<double>());
    case 8: return Variant(in.Value<uint8_t>() % 2 == 1);
    case 9: return Variant(in.Value<int8_t>());
    case 10: return Variant(in.Value<uint8_t>());
    case 11: return Variant(in.Value<uint16_t>());
    case 12: return Variant(in.Value<uint32_t>());
    case 13: return Variant(in.Value<int64_t>());
    case 14: return Variant(in.Value<uint64_t>());
    case 15: {
      zel::String s;
      for (int n = in.Byte() % 8; n > 0; --n) s += static_cast<zel::Char>(in.Value<uint16_t>());
      return Variant(s);
    }
    case 16: {
      std::string bytes;
      for (int n = in.Byte() % 8; n > 0; --n) bytes += static_cast<char>(in.Byte());
      return zel::VarFromAnsiString(std::string_view(bytes));
    }
    default: {
      if (depth >= 4) return Variant(int32_t{depth});
      // An array: 1 to 2 dimensions, lows in -3..12, up to 14 elements.
      const uint8_t shape = in.Byte();
      const int dims = shape % 5 == 0 ? 2 : 1;
      int bounds[4];
      int count = 1;
      for (int d = 0; d < dims; ++d) {
        const int low = static_cast<int>(in.Byte() % 16) - 3;
        const int n = in.Byte() % 15;
        bounds[2 * d] = low;
        bounds[2 * d + 1] = low + n - 1;
        count *= n;
      }
      const bool typed = (shape / 5) % 4 == 0;
      Variant a = zel::VarArrayCreate(std::span<const int>(bounds, static_cast<size_t>(2 * dims)),
                                      typed ? zel::varInteger : zel::varVariant);
      if (dims == 1 && !typed) {
        for (int i = bounds[0]; i <= bounds[1]; ++i) a.Put({i}, Build(in, depth + 1));
      } else if (count > 0) {
        const int first[2] = {bounds[0], bounds[2]};
        a.Put(std::span<const int>(first, static_cast<size_t>(dims)), Variant(int32_t{in.Byte()}));
      }
      return a;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 2048) return 0;
  Reader in(data, size);
  const zel::Variant v = Build(in, 0);
  zel::String text;
  try {
    text = zel::ConvertVariant(v);
  } catch (...) {
    std::abort();  // ConvertVariant never throws
  }
  if (v.IsArray()) {
    const bool undefined = v.HighBound(1) < 0;
    Check(undefined ? text == u"undefined array" : text.rfind(u"Array[", 0) == 0);
    Check(undefined || text.find(u"]:\r\n") != zel::String::npos);
  } else {
    Check(text.find(u"\r\n") == zel::String::npos || v.VarType() >= zel::varString);
  }
  return 0;
}
