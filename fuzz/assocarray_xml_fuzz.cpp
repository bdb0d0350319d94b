// Fuzzes the associative array's tagged-text readers: ReadFromXMLStream on
// the input as a stream, and AddXMLAttributes on the input as attribute
// text.  Neither may fail; a section that was read must write and read back
// to the same keys, types and values (floats bit for bit).
//
// Input layout: byte 0 picks the DataID looked for ("d", "", or "D"); the
// rest is the stream.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/dstruct/assocarray.h"
#include "zel/platform/stream.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameValue(const zel::Variant& a, const zel::Variant& b) {
  if (a.VarType() != b.VarType()) return false;
  const zel::TVarType t = a.VarType();
  if (t == zel::varSingle) {
    return std::bit_cast<uint32_t>(static_cast<float>(a.AsDouble())) ==
           std::bit_cast<uint32_t>(static_cast<float>(b.AsDouble()));
  }
  if (t == zel::varDouble || t == zel::varDate) {
    return std::bit_cast<uint64_t>(a.AsDouble()) == std::bit_cast<uint64_t>(b.AsDouble());
  }
  return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char16_t* kIds[] = {u"d", u"", u"D"};
  const char16_t* id = kIds[data[0] % 3];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  zel::TAssocArray a(nullptr);
  a.SetIgnoreCase(data[0] & 4);
  zel::TStringStream in(text);
  if (a.ReadFromXMLStream(in, id)) {
    Check(in.Position() <= in.Size());
    zel::TStringStream out;
    a.WriteToXMLStream(out, (data[0] & 8) != 0, u"round trip");
    out.SetPosition(0);
    zel::TAssocArray b(nullptr);
    b.SetIgnoreCase(a.IgnoreCase());
    Check(b.ReadFromXMLStream(out, u"round trip"));
    Check(b.NumEntries() == a.NumEntries());
    for (int i = 1; i <= a.NumEntries(); ++i) {
      Check(a.Keys(i) == b.Keys(i));
      Check(SameValue(a.Values(i), b.Values(i)));
    }
  } else {
    Check(a.NumEntries() == 0);
  }

  zel::String attributes;
  for (char c : text) attributes += static_cast<char16_t>(static_cast<unsigned char>(c));
  zel::TAssocArray c(nullptr);
  const int n = c.AddXMLAttributes(attributes);
  Check(n >= 0 && c.NumEntries() <= n);
  return 0;
}
