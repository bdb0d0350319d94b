// zel/filesys/dirtree.h — walking, copying and deleting directory trees, and
// deleting files by mask.
//
//   zel::TStringList found;
//   zel::ScanFilesToStrList(u"/data/*.CSV", true, &found, nullptr);  // a.csv, sub/b.Csv, ...
//   int failed = zel::CopyFileTree(u"/data", u"/backup/data", true, nullptr);
//   zel::String left = zel::DelDirTree(u"/tmp/scratch");  // "" when all is gone
//
// Masks name a directory and a name pattern ("dir/*.txt"); the pattern uses
// "*" and "?" and matches without regard to case (zel/platform/hostfs.h);
// results carry the names as stored, after the mask's directory part as
// given.  Paths are host paths ("/" separates).
//
// No walk follows a symbolic link to a directory: such a link is neither
// listed as a file nor entered, so loops and links out of the tree are
// harmless; a dangling link is no file either.  `CopyFileTree` copies every
// link as a link, and `DelDirTree` removes links, never what they point to.
// Every walk holds its directories open and enters each one relative to its
// parent, checking that it is still the directory the listing showed, so
// nothing another user swaps in meanwhile (a link for a subdirectory) leads
// a walk, copy or deletion outside the tree it started in; trees of any
// depth are walked, past PATH_MAX and the descriptor limit.  The mask's
// directory part is resolved as the system resolves it: "ln/.." is the
// parent of the directory the link "ln" leads to.  Walks skip hidden directories
// (names starting with "."), as the classic host's directory search does;
// hidden files are listed.  Entries come in the order the host lists them,
// a directory's own files before its subdirectories.
//
// Read-only means "no write permission bit set" (mode & 0222 == 0), for
// every user alike: `DelDirTree` and `DeleteFiles` leave such files in
// place even where the host would let them be removed.
#ifndef ZEL_FILESYS_DIRTREE_H_
#define ZEL_FILESYS_DIRTREE_H_

#include <cstdint>
#include <functional>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/stringlist.h"

namespace ZEL_EXPORT zel {

// Progress of a scan: called as each directory is entered, with its path
// and the number of matching files found before it.
using TScanFilesFeedback = void (*)(const String& CurrentDir, int Count);
// Progress of a tree copy: the bytes of the current file copied so far and
// its size (bytes), its destination path, and the entries met so far
// counting the current one (see `CopyFileTree`).
using TTreeCopyFeedBack = void (*)(int64_t BytesCopied, int64_t SizeOfCurrentFile,
                                   const String& NameOfCurrentFile, int NrOfFilesCopiedSoFar);
// Method types for applications' own progress reporting.
using TStringFeedback = std::function<void(TObject* Sender, const String& msg)>;
using TNumericFeedback = std::function<void(TObject* Sender, double num)>;

// Adds every file that matches `FileMask` (and, with `IncludeSubDirs`, every
// matching file below its directory) to `List`, which is not cleared.
// `FeedBack` gets each directory (with a trailing "/", or "" for the
// current one) and the number of files found before it.  A null list does
// nothing.
void ScanFilesToStrList(StringView FileMask, bool IncludeSubDirs, TStringList* List,
                        TScanFilesFeedback FeedBack);

// The number of files `ScanFilesToStrList` would list.
int CountFiles(StringView FileMask, bool IncludeSubDirs, TScanFilesFeedback FeedBack);

// Copies the tree below `Source` into `Dest` (created with its parents),
// file by file with `FileCopyFeedBk` (zel/filesys/filecopy.h), whose block
// feedback is passed on as (bytes, size, destination file, files so far);
// after each file the feedback is called once more.  Goes on past an item
// that cannot be copied and returns the number of failures, one per item:
// each file or link not copied, each directory that could not be read (what
// it holds is not seen, so it counts once) or made (0: all copied).  `Dest`
// itself is the caller's path and is resolved as the kernel resolves it (a
// link on it is followed, as by `cp -r`); below it no link is written
// through: a directory whose place in the destination is taken by a link
// (or a file) is a failure, and the source's entries for it are not
// copied.  Nothing happens (0) when both name the same directory; a
// destination inside the source is left out of the copy.  Devices, pipes
// and sockets count as failures.  `AbortAnyFileCopying` stops the copy
// after the current block; the interrupted file is removed and counted as
// failed.  One tree copy at a time: the progress figures are process-wide.
int CopyFileTree(StringView Source, StringView Dest, bool CopyAttribs, TTreeCopyFeedBack FeedBack);

// Deletes `Dir` with everything in it.  Returns "" on success, or the first
// item that could not be deleted (a read-only file, or a directory with a
// trailing "/"), after which it stops.  A link (the argument itself or one
// inside) is removed as a link.  An empty argument does nothing.  The root
// directory, the current directory and its ancestors, and any `Dir` whose
// last name is "." or "..", are refused before anything is deleted: the
// result is then `Dir` with a trailing "/".
String DelDirTree(StringView Dir);

// Deletes the files that match `FileMask` (not directories, not names
// starting with ".", not read-only files); returns how many were deleted.
int DeleteFiles(StringView FileMask);

// Renames every entry that matches `FileMask` to its upper- or lower-case
// name (full case mapping), and goes into each matching directory that is
// a plain one (attributes exactly `faDirectory`: not hidden, read-only or a
// link) with the same name pattern.  A rename that fails,
// or that would replace another file of that name, raises `EInOutError`.
void SetAllFilenameCase(StringView FileMask, bool UpperCase);

// True when `Dir` has no entries, or does not exist.
bool DirEmpty(StringView Dir);
// True when `Dir` exists and is a directory (a link to one counts).
bool DirExists(StringView Dir);
// True when no file can be created in `Dir` or it has no write permission
// bit; the test creates an unnamed file and touches no existing one.
bool DirIsReadOnly(StringView Dir);

}  // namespace zel

#endif  // ZEL_FILESYS_DIRTREE_H_
