// Fuzzes DecodeASCII85 on arbitrary text and the ASCII85 round trip: the
// input, encoded with and without line breaks, must decode to itself with
// result 0, and arbitrary text gives one of the three results; the string
// forms agree with the stream forms where they accept the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "zel/dstruct/ascii85.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  {
    zel::TStringStream in(input), out;
    const int r = zel::DecodeASCII85(in, out);
    Check(r == 0 || r == -1 || r == -2);
    // A `z` gives 4 bytes from one character; a group at most 4 from 5.
    Check(out.Size() <= static_cast<int64_t>(size) * 4);
    Check(in.Position() <= static_cast<int64_t>(size));
    // The string form takes less than the stream form, never other bytes,
    // and what it takes survives its own round trip.
    const std::optional<std::string> from = zel::FromASCII85(input);
    if (from) {
      Check(r == 0 && *from == out.DataBytes());
      Check(zel::FromASCII85(zel::ToASCII85(*from)) == from);
    }
  }
  for (bool lb : {false, true}) {
    zel::TStringStream in(input), text, back;
    zel::EncodeASCII85(in, text, lb);
    text.SetPosition(0);
    Check(zel::DecodeASCII85(text, back) == 0);
    Check(back.DataBytes() == input);
    Check(text.Position() == text.Size() - 1);  // stopped just after '~'
    Check(zel::ToASCII85(input, lb) == text.DataBytes());
    Check(zel::FromASCII85(text.DataBytes()) == std::optional<std::string>(input));
  }
  return 0;
}
