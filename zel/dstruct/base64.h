// zel/dstruct/base64.h — Base64 (standard alphabet, `=` padding) between
// streams.
//
//   zel::TStringStream in("Man"), text, back;
//   zel::EncodeBase64(in, text, /*LineBreaks=*/true);   // "TWFu\r\n"
//   text.SetPosition(0);
//   zel::DecodeBase64(text, back);                      // 0; back holds "Man"
//
// The same for bytes in a string, without streams:
//
//   std::string text = zel::ToBase64("Man");                  // "TWFu"
//   std::optional<std::string> bytes = zel::FromBase64(text);  // "Man"
//   if (!zel::FromBase64("TWF")) { /* invalid: no bytes at all */ }
//
// Both read the first stream from its current position to its end and
// write to the second at its current position; neither is rewound, sized or
// freed.  A read that delivers fewer bytes than asked for is taken as the
// end of the input.
//
// `EncodeBase64` writes lines of 60 characters (45 input bytes each), the
// last one shorter and padded with `=`; with LineBreaks every line, the
// last one too, ends with CR LF.  An empty input gives no output.
//
// `DecodeBase64` ignores CR and LF wherever they stand and takes every
// other character as part of the text.  It returns 0, or -1 for invalid
// input: a character outside the alphabet (a blank or tab too), `=` in the
// first two places of a group of four, or a final group of fewer than four
// characters.  `=` in the third place ends the group after one byte, in the
// fourth after two; decoding then goes on with the next group, so joined
// encodings decode as a whole.  The text is taken in blocks of 88 counted
// characters (66 bytes); on an error, the bytes of every block before the
// one holding the fault are written and those of that block are not.
//
// `ToBase64` is `EncodeBase64` over the bytes of a string (no line breaks
// unless asked for).  `FromBase64` decodes by the rules of `DecodeBase64`;
// where that reports invalid input it returns no value (never part of the
// bytes), so a fault cannot pass unnoticed.
#ifndef ZEL_DSTRUCT_BASE64_H_
#define ZEL_DSTRUCT_BASE64_H_

#include <optional>
#include <string>
#include <string_view>

#include "zel/platform/stream.h"

namespace zel {

void EncodeBase64(TStream& InStream, TStream& OutStream, bool LineBreaks);
int DecodeBase64(TStream& InStream, TStream& OutStream);

std::string ToBase64(std::string_view Bytes, bool LineBreaks = false);
[[nodiscard]] std::optional<std::string> FromBase64(std::string_view Text);

}  // namespace zel

#endif  // ZEL_DSTRUCT_BASE64_H_
