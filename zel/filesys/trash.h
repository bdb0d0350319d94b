// zel/filesys/trash.h — moving files to the desktop's trash instead of
// deleting them.
//
//   int moved = zel::MoveToRecycleBin(u"~/old/*.tmp");   // restorable from the file manager
//
// The trash is the freedesktop one: each file goes into the trash's files/
// folder and gets an entry info/NAME.trashinfo with its original path and
// the deletion date, under a name no other trashed file has (a second
// "a.txt" becomes "a.2.txt").  Files go to the home trash
// ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) when it is on the
// same file system; otherwise to the trash at the top of the file's own
// file system ($topdir/.Trash/$uid when an administrator provided a sticky
// $topdir/.Trash, else $topdir/.Trash-$uid), with the path there relative
// to $topdir.  A file that cannot be moved stays where it is; nothing is
// ever deleted instead.
#ifndef ZEL_FILESYS_TRASH_H_
#define ZEL_FILESYS_TRASH_H_

#include "zel/platform/string.h"

namespace zel {

// Moves the files that match `FileMask` (not directories, not names
// starting with ".") to the trash; returns how many were moved.
int MoveToRecycleBin(StringView FileMask);

}  // namespace zel

#endif  // ZEL_FILESYS_TRASH_H_
