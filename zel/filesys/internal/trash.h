// The steps of `MoveToRecycleBin`, open to tests that cannot mount a second
// file system.
#ifndef ZEL_FILESYS_INTERNAL_TRASH_H_
#define ZEL_FILESYS_INTERNAL_TRASH_H_

#include "zel/platform/export.h"

#include <cstdint>

#include <string>

#include "zel/platform/string.h"

namespace zel::detail {

// Longest name, in bytes, that a trashed file gets: its entry
// "NAME.trashinfo" must still fit the host's 255-byte name limit.
inline constexpr size_t kMaxTrashNameBytes = 255 - 10;

// $XDG_DATA_HOME/Trash (an absolute $XDG_DATA_HOME only), or
// $HOME/.local/share/Trash; "" when neither can be used.
String HomeTrashDir();

// The trash directory of the file system mounted at `TopDir` for user
// `Uid`, created when missing: $TopDir/.Trash/$Uid when $TopDir/.Trash is a
// sticky directory (not a link) and $Uid in it is (or can be made) a
// directory of that user (not a link); else $TopDir/.Trash-$Uid, which must
// be a directory of that user with mode 0700 (not a link).  "" when
// neither can be used; `Why` (when given) then says why.
String TopDirTrash(StringView TopDir, uint32_t Uid, String* Why = nullptr);

// The n-th name (n from 1) tried for a file named `Name` in the trash:
// "a.txt", "a.2.txt", "a.3.txt", ...; a name that would be longer than
// kMaxTrashNameBytes is shortened before its extension (or at its end) on
// a character boundary.
String TrashCandidateName(StringView Name, int N);

// Moves the file at absolute path `Path` into trash directory `Trash`
// (creating its files/ and info/ folders).  The entry records `Path`
// relative to `TopDir` when that is given and holds it, else the absolute
// path, percent-encoded.  False, with nothing changed, when it cannot;
// `Why` (when given) then says why.  With `SrcName`, the file moved is that
// entry of the directory open as `SrcDirFd` (the one a walk looked at, not
// whatever `Path` leads to by then); `Path` is only recorded.
bool TrashOneFile(StringView Path, StringView Trash, StringView TopDir, String* Why = nullptr,
                  int SrcDirFd = -1, const std::string* SrcName = nullptr);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_TRASH_H_
