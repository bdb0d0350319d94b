// zel/platform/hostpath.h — the host's current directory and the names of
// directory entries as stored on disk.
//
//   zel::GetCurrentDir()                       == u"/home/ann/work"
//   zel::FindStoredName(u"/home/ann", u"WORK") == u"work"
//
// Linux file names are case-sensitive; callers that accept names written
// without regard to case ask here for the name the file system holds and
// open that, never an upper- or lower-cased guess.
#ifndef ZEL_PLATFORM_HOSTPATH_H_
#define ZEL_PLATFORM_HOSTPATH_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The current working directory ("/" if the system cannot tell).
String GetCurrentDir();

// The entry of directory `Dir` named `Name`: `Name` itself when an entry
// has exactly that name, else the first entry in name order whose name
// equals it without regard to case (locale-aware folding), else "".  "."
// and ".." are never matched by folding; an unreadable directory gives "".
String FindStoredName(const String& Dir, const String& Name);

}  // namespace zel

#endif  // ZEL_PLATFORM_HOSTPATH_H_
