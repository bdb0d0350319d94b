// zel/dstruct/ascii85.h — ASCII85 (base-85) between streams, with `z` for
// four zero bytes and "~>" as the end marker (no start marker).
//
//   zel::TStringStream in("Man "), text, back;
//   zel::EncodeASCII85(in, text, true);     // "9jqo^~>"
//   text.SetPosition(0);
//   zel::DecodeASCII85(text, back);         // 0; back holds "Man "
//
// The same for bytes in a string, without streams:
//
//   std::string text = zel::ToASCII85("Man ");                  // "9jqo^~>"
//   std::optional<std::string> bytes = zel::FromASCII85(text);   // "Man "
//   if (!zel::FromASCII85("9jqo^ ~>")) { /* a blank: invalid */ }
//
// Both read the first stream from its current position and write to the
// second at its current position; neither is rewound, sized or freed.
//
// `EncodeASCII85` writes each group of four bytes as five digits (the
// characters '!'..'u'), or as `z` when all four are zero.  A final group of
// n = 1..3 bytes is the base-85 form of that n-byte number in n + 1 digits,
// not padded with zeros (the two bytes "ab" give "$G:").  After every
// twelve five-digit or final groups (`z` does not count) a line break CR LF
// follows when LineBreaks is set.  Then "~>".  An input read that delivers
// fewer bytes than asked for is taken as the end of the input.
//
// `DecodeASCII85` skips CR and LF, turns `z` between groups into four zero
// bytes, and decodes groups of up to five characters; a group of k
// characters gives k - 1 bytes.  It stops at `~`: the characters after it
// are left unread (the input stream is put back right after the `~`).  An
// input that ends without `~` decodes its last group from the characters
// it holds.  Bad characters do not stop decoding: they are decoded with
// their code minus 33 (modulo 2^32) and the result reports the last one:
//   0  success
//  -1  a character outside '!'..'u' (a blank, `v`, ...)
//  -2  a `z` inside a group
//
// `ToASCII85` is `EncodeASCII85` over the bytes of a string (no line breaks
// unless asked for), "~>" included.  `FromASCII85` returns no value (never
// part of the bytes) where `DecodeASCII85` reports an error, and also where
// the stream decoder would quietly lose or change bytes, none of which the
// encoder ever writes:
//   * a group whose value does not fit its bytes (five digits above
//     "s8W-!", which is 2^32 - 1; k < 5 digits at or above 256^(k-1));
//   * a final group of a single character (it would give no byte);
//   * anything after the "~" other than ">" and then CR or LF only (the
//     stream form leaves such text unread for its caller; a string has no
//     caller to leave it to).
// Like the stream form it accepts a text without the "~>" end marker.
#ifndef ZEL_DSTRUCT_ASCII85_H_
#define ZEL_DSTRUCT_ASCII85_H_

#include <optional>
#include <string>
#include <string_view>

#include "zel/platform/stream.h"

namespace zel {

void EncodeASCII85(TStream& InStream, TStream& OutStream, bool LineBreaks);
int DecodeASCII85(TStream& InStream, TStream& OutStream);

std::string ToASCII85(std::string_view Bytes, bool LineBreaks = false);
[[nodiscard]] std::optional<std::string> FromASCII85(std::string_view Text);

}  // namespace zel

#endif  // ZEL_DSTRUCT_ASCII85_H_
