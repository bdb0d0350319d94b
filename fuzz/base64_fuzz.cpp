// Fuzzes DecodeBase64 on arbitrary text and the Base64 round trip: the
// input, encoded with and without line breaks, must decode to itself, and
// whatever decodes without error must survive encoding and decoding again;
// the string forms agree with the stream forms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "zel/dstruct/base64.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Encode(std::string_view bytes, bool line_breaks) {
  zel::TStringStream in(bytes), out;
  zel::EncodeBase64(in, out, line_breaks);
  return std::string(out.DataBytes());
}

int Decode(std::string_view text, std::string& bytes) {
  zel::TStringStream in(text), out;
  const int r = zel::DecodeBase64(in, out);
  bytes = std::string(out.DataBytes());
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string decoded;
  const int r = Decode(input, decoded);
  Check(r == 0 || r == -1);
  Check(decoded.size() <= size / 4 * 3);
  // The string form: the same bytes, or no value where the stream fails.
  const std::optional<std::string> from = zel::FromBase64(input);
  Check(from.has_value() == (r == 0) && (!from || *from == decoded));
  Check(zel::ToBase64(input) == Encode(input, false));
  if (r == 0) {
    std::string again;
    Check(Decode(Encode(decoded, false), again) == 0 && again == decoded);
  }
  for (bool lb : {false, true}) {
    std::string back;
    Check(Decode(Encode(input, lb), back) == 0 && back == input);
  }
  return 0;
}
