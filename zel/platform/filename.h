// zel/platform/filename.h — file names as the exact bytes the system holds.
//
// A Linux file name is a string of bytes, usually but not always UTF-8.  A
// name read from the system goes into a `String` with `FileNameFromBytes`
// and back with `FileNameToBytes`, and comes out as exactly the same bytes,
// so a name that is not UTF-8 still names its own file and never a
// neighbour:
//
//   zel::String s = zel::FileNameFromBytes("old\xE9");  // u"old\xDCE9"
//   zel::FileNameToBytes(s) == "old\xE9"                 // the same file
//   zel::FileNameToBytes(u"old\u00E9") == "old\xC3\xA9"  // "oldé", another one
//
// Valid UTF-8 becomes its characters.  Each byte that is not part of a
// valid, shortest-form UTF-8 sequence becomes one unpaired low surrogate,
// U+DC00 plus the byte (U+DC80..U+DCFF), as other runtimes carry such bytes;
// `FileNameToBytes` turns each such surrogate back into its byte.  Any other
// unpaired surrogate (it never comes from the system) is written as U+FFFD.
//
// Only names work this way: text content keeps the Windows-1252 reading of
// invalid bytes that `FromUtf8` gives (zel/platform/string.h).
// A name printed for a user (a message, the tool's output) goes out through
// `FileNameToBytes` as well: its own bytes, as `ls` shows them.
#ifndef ZEL_PLATFORM_FILENAME_H_
#define ZEL_PLATFORM_FILENAME_H_

#include <string>
#include <string_view>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The name's bytes as a `String` (see above).
String FileNameFromBytes(std::string_view bytes);
// The bytes of a name made by `FileNameFromBytes` (or any ordinary text).
std::string FileNameToBytes(StringView name);

// True when `name` carries at least one byte that is not UTF-8.
bool HasEscapedBytes(StringView name) noexcept;

}  // namespace zel

#endif  // ZEL_PLATFORM_FILENAME_H_
