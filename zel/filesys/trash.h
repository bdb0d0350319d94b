// zel/filesys/trash.h — moving files to the desktop's trash instead of
// deleting them.
//
//   int moved = zel::MoveToRecycleBin(u"~/old/*.tmp");   // restorable from the file manager
//
//   zel::MoveToRecycleBin(u"/data/*.log",
//       [](const zel::String& path, const zel::String& why) { Report(path, why); });
//
// The trash is the freedesktop one: each file goes into the trash's files/
// folder and gets an entry info/NAME.trashinfo with its original path
// (percent-encoded) and the deletion date, under a name no other trashed
// file has (a second "a.txt" becomes "a.2.txt"; a name too long to carry
// the ".trashinfo" ending is shortened before its extension).  Files go to
// the home trash ($XDG_DATA_HOME/Trash when that variable is an absolute
// path, by default ~/.local/share/Trash) when it is on the same file
// system; otherwise to the trash at the top of the file's own file system,
// with the path there relative to $topdir: $topdir/.Trash/$uid when an
// administrator provided a sticky $topdir/.Trash (not a link) and $uid in
// it is the user's own directory (not a link), else $topdir/.Trash-$uid,
// which must be the user's own directory of mode 0700 (not a link).  A
// trash folder that fails these checks is not used: another user could
// read or swap what goes into it.  A file that cannot be moved stays where
// it is; nothing is ever deleted instead.
#ifndef ZEL_FILESYS_TRASH_H_
#define ZEL_FILESYS_TRASH_H_

#include <functional>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Called for each file that could not be moved, with its path and the
// reason ("Permission denied", "the trash folder /mnt/x/.Trash-1000 is not
// yours", ...).
using TTrashFailureEvent = std::function<void(const String& Path, const String& Reason)>;

// Moves the files that match `FileMask` (not directories, not names
// starting with ".") to the trash; returns how many were moved.
// `OnFailure`, when given, hears of every file that stayed.
int MoveToRecycleBin(StringView FileMask, const TTrashFailureEvent& OnFailure = nullptr);

}  // namespace zel

#endif  // ZEL_FILESYS_TRASH_H_
