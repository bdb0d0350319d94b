// zel/stringl/internal/tagtext.h — internal: the tag-text helpers that the
// string, stream and text-file tag readers share.
#ifndef ZEL_STRINGL_INTERNAL_TAGTEXT_H_
#define ZEL_STRINGL_INTERNAL_TAGTEXT_H_

#include <span>

#include "zel/platform/string.h"

namespace zel::detail {

// Shared with the stream and text-file tag readers.  Splits a tag's text
// (what follows '<', up to and with its '>' when there is one) into the
// name (case kept) and the trimmed attribute text; tells whether it is an
// empty-element tag ("/>" at its end).
bool SplitTagText(StringView text, String& name, String& attributes);

// The index of the first entry of `tags` equal to the ASCII-lower-cased
// `name`, or the last index.
int LookupTag(StringView name, std::span<const String> tags);

}  // namespace zel::detail

#endif  // ZEL_STRINGL_INTERNAL_TAGTEXT_H_
