// The steps of `MoveToRecycleBin`, open to tests that cannot mount a second
// file system.
#ifndef ZEL_FILESYS_INTERNAL_TRASH_H_
#define ZEL_FILESYS_INTERNAL_TRASH_H_

#include <cstdint>

#include "zel/platform/string.h"

namespace zel::detail {

// $XDG_DATA_HOME/Trash, or $HOME/.local/share/Trash; "" when neither
// variable is set.
String HomeTrashDir();

// The trash directory of the file system mounted at `TopDir` for user
// `Uid`, created when missing; "" when none can be used.
String TopDirTrash(StringView TopDir, uint32_t Uid);

// Moves the file at absolute path `Path` into trash directory `Trash`
// (creating its files/ and info/ folders).  The entry records `Path`
// relative to `TopDir` when that is given and holds it, else the absolute
// path.  False, with nothing changed, when it cannot.
bool TrashOneFile(StringView Path, StringView Trash, StringView TopDir);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_TRASH_H_
