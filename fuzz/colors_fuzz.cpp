// Fuzzes the colour unit's readers of outside text: `HexStrToColor`,
// `TryWebHexToColor` and the
// palette file reader of `TColorArray`, checking the round trips that must
// hold for any input.
//
// Input layout: bit 0 of byte 0 chooses whether the reader adjusts the
// palette size to the file; the rest is the text (hex text and file alike).
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zel/platform/string.h"
#include "zel/platform/textfile.h"
#include "zel/zelcolors/colorarray.h"
#include "zel/zelcolors/colormodels.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Two scratch files for the whole run, removed at exit.
struct ScratchFiles {
  std::string in, out;
  ScratchFiles() : in(Make()), out(Make()) {}
  ~ScratchFiles() {
    unlink(in.c_str());
    unlink(out.c_str());
  }
  static std::string Make() {
    char name[] = "/tmp/zel_colors_fuzz_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) std::abort();
    close(fd);
    return name;
  }
};

// True when the first line holds a run of five or more digits: a palette
// size the reader would really allocate, which only wastes the fuzzer's
// memory.
bool AsksForAHugePalette(std::string_view bytes) {
  int run = 0;
  for (char c : bytes) {
    if (c == '\r' || c == '\n') break;
    run = (c >= '0' && c <= '9') ? run + 1 : 0;
    if (run >= 5) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScratchFiles files;
  if (size < 1) return 0;
  bool adjust = (data[0] & 1) != 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  // Hexadecimal text: whatever value comes out writes and reads back.
  const zel::TColor c = zel::HexStrToColor(zel::FromUtf8(bytes));
  Check(zel::HexStrToColor(zel::ColorToHexStr(c)) == c);
  Check(zel::HexStrToColor(u" $" + zel::ColorToHexStr(c) + u" ") == c);
  // Web text: what reads as a colour writes and reads back; every colour's
  // text reads back to its three bytes.
  zel::TColor web = 0;
  if (zel::TryWebHexToColor(zel::FromUtf8(bytes), web)) {
    zel::TColor again = 0xFFFFFFFF;
    Check(web <= 0xFFFFFF && zel::TryWebHexToColor(zel::ColorToWebHex(web), again) && again == web);
  }
  Check(zel::TryWebHexToColor(zel::ColorToWebHex(c), web) && web == (c & 0xFFFFFF));

  // The palette file: read it, write the result, read that back.
  if (FILE* f = std::fopen(files.in.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  } else {
    std::abort();
  }
  if (AsksForAHugePalette(bytes)) adjust = false;
  zel::TColorArray palette(nullptr);
  palette.SetSize(16);
  const bool read = palette.LoadFromFile(zel::FromUtf8(files.in), adjust);
  Check(palette.Size() >= 1);
  if (read) {
    Check(palette.StoreOnFile(1, palette.Size(), zel::FromUtf8(files.out)));
    zel::TColorArray copy(nullptr);
    Check(copy.LoadFromFile(zel::FromUtf8(files.out), true));
    Check(copy.IsEqual(palette));
  }
  return 0;
}
