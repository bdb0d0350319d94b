// `zel tour` section for the checksums and codecs of the dstruct unit.
#include <string>

#include "tools/zel/cli.h"
#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/dstruct.h"
#include "zel/stringl/numscan.h"

namespace zel::cli {
namespace {

std::string HexBytes(const uint8_t* p, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i > 0) s += ' ';
    s += ToUtf8(HexDigits(p[i], 2));
  }
  return s;
}

void TourCodecs() {
  TourHeading("dstruct", "checksums: CRC-16, CRC-32, SHA-1");
  const TBytes check = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  TourShow("CRC16ofBuffer(\"123456789\", crcZModem)", HexDigits(CRC16ofBuffer(check, 9, crcZModem), 4));
  TourShow("CRC16ofBuffer(\"123456789\", crcCCITT)", HexDigits(CRC16ofBuffer(check, 9, crcCCITT), 4));
  TourShow("CRC32ofBuffer(\"123456789\")",
           HexDigits(static_cast<uint32_t>(CRC32ofBuffer(check, 9)), 8));
  TourShow("SHA1FromString(u\"abc\")", SHA1DigestToHex(SHA1FromString(u"abc")));
  TourShow("CRC-32 kernel in use", std::string(detail::UseVpclmul() ? "VPCLMULQDQ folding (512-bit)"
                                               : detail::UseClmul() ? "PCLMULQDQ folding"
                                                                    : "slicing-by-8 tables"));
  TourShow("SHA-1 kernel in use", std::string(detail::UseShaNi() ? "SHA extensions" : "portable"));

  TourHeading("dstruct", "codecs: Base64, ASCII85, run-length");
  TStringStream text("Man ab"), b64, a85, back;
  EncodeBase64(text, b64, true);
  TourShow("EncodeBase64(\"Man ab\", LineBreaks)", b64.DataString());
  text.SetPosition(0);
  EncodeASCII85(text, a85, true);
  TourShow("EncodeASCII85(\"Man ab\")", a85.DataString());
  a85.SetPosition(0);
  const int r = DecodeASCII85(a85, back);
  TourShow("DecodeASCII85 of that", back.DataString());
  TourShow("  result", r);
  TStringStream bad("TW Fu"), sink;
  TourShow("DecodeBase64(\"TW Fu\") (a blank)", DecodeBase64(bad, sink));

  TRLEncoder rle(nullptr);
  const uint8_t input[] = {'A', 'B', 'C', 7, 7, 7, 7, 7, 0xA5};
  rle.Reset();
  rle.Encode(input, sizeof input);
  uint8_t out[256];
  const int n = rle.Finish(out);
  TourShow("TRLEncoder: 41 42 43 07x5 A5, encoded", HexBytes(out, n));
}

const TourSection kCodecs(81, &TourCodecs);

}  // namespace
}  // namespace zel::cli
