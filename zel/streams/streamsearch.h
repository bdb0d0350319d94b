// zel/streams/streamsearch.h — finding bytes and text in streams, counting
// lines, and search-and-replace between memory streams.
//
// Text is 8-bit as everywhere in the stream helpers: each byte read is the
// character with the same code, and text written (a replacement) keeps the
// low byte of each character.  Case-insensitive matching folds only A-Z.
//
//   zel::TStringStream s("key: Value END rest");
//   int err;
//   zel::ReadStreamUntil(s, u"end", err)   == u"key: Value END"  // err == 0
//   zel::StreamAsByteString(s)             == u" rest"
//
// Stream errors propagate; nothing else raises.
#ifndef ZEL_STREAMS_STREAMSEARCH_H_
#define ZEL_STREAMS_STREAMSEARCH_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Advances to just after the next byte equal to `Value` and returns true;
// false, with the stream at its end, when there is none.
bool FindInStream(TStream& Stream, uint8_t Value);

// Reads (in 256-byte blocks) up to and including the next occurrence of
// `SearchText`, matched without regard to A-Z case, and returns that text
// with its case unchanged; `ErrCode` is 0 and the stream stands right after
// the match.  When the text does not occur, or is empty, `ErrCode` is -1,
// the result is everything read (the rest of the stream) and the stream is
// at its end.
String ReadStreamUntil(TStream& Stream, StringView SearchText, int& ErrCode);

// The number of LF bytes from the position to the end (a last line without
// LF is not counted); the stream is left at its end.  The count is 64-bit so
// that streams with more than 2^31 lines are counted right.
int64_t CountLinesInStream(TStream& Stream);

// Supplies the text for a modifier command `SearchAndReplace` does not
// know.  `Substring` arrives holding the matched text and is replaced by
// whatever the procedure leaves in it.
using TSRUnknownModifierEvent = void (*)(String Command, String& Substring);

// Replaces occurrences of `SearchText` in the whole of `Source` and puts the
// result into `Dest` (cleared first; position 0 afterwards).  `Source` and
// `Dest` may be the same stream; `Source`'s position is otherwise kept.
//
//   IgnoreCase  match without regard to A-Z case.
//   StartPos    byte offset where searching begins (below 0 counts as 0);
//               bytes before it are copied unchanged.
//   MaxCount    at most this many replacements; 0 or less: no limit.
//   Brackets    the characters that enclose modifier commands in
//               `ReplaceText`: opening and closing (one character serves as
//               both; empty: no commands, the replacement is literal).
//
// Commands (names without regard to A-Z case), with "{" and "}" as the
// brackets: {match} the matched text as found, {upper} / {lower} the
// matched text in upper / lower case (A-Z only), {count} the number of this
// replacement (from 1), {} the opening bracket itself.  Any other command is
// passed to `OnUnknownModifier`, which supplies its text; without one the
// command stays as written, brackets included.  An opening bracket without
// a closing one is literal text.  An empty `SearchText` replaces nothing;
// matches do not overlap.  Returns the number of replacements.
int SearchAndReplace(TMemoryStream& Source, TMemoryStream& Dest, StringView SearchText,
                     StringView ReplaceText, bool IgnoreCase, int StartPos, int MaxCount,
                     StringView Brackets, TSRUnknownModifierEvent OnUnknownModifier);

}  // namespace zel

#endif  // ZEL_STREAMS_STREAMSEARCH_H_
