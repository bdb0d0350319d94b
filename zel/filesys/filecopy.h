// zel/filesys/filecopy.h — copying one file with progress feedback and a
// process-wide abort switch.
//
//   void Progress(int64_t done, int64_t size) { ShowBar(done, size); }
//   int status = zel::FileCopyFeedBk(u"/data/big.bin", u"/backup/", true, Progress);
//   if (status != zel::fcOK) Report(status);     // /backup/big.bin untouched on failure
//
// The feedback is called once with (0, size) before the copy, once per
// 8192-byte block with the bytes copied before that block, and once more at
// the end with the bytes copied: a 20000-byte file gives (0, 20000),
// (0, 20000), (8192, 20000), (16384, 20000), (20000, 20000).  The data
// itself moves in larger reads and writes (a few hundred KiB), so copying
// runs at the speed of the system's own tools; the calls above and the
// abort checks between blocks are the same as if every block were read and
// written on its own (after a read or write error the count stops at the
// start of the larger read instead).  The holes of a sparse file stay holes
// in the copy; they count as blocks like any other.
//
// `AbortAnyFileCopying` sets the abort switch (from a feedback, another
// thread or a signal handler); the copy in progress stops after its current
// block.  `FileCopyFeedBk` clears the switch when it starts.
//
// Safety: the copy is written under a temporary name in the destination's
// directory, flushed to the disk and renamed to the destination only when
// complete (zel/platform/filereplace.h), so the destination's name never
// shows a partial copy, whatever ends the program.  A copy that fails or is
// aborted leaves no file behind (only a program killed mid-copy can leave
// the temporary file), and an existing destination is then unchanged.  A
// new destination is not put over a file that someone else created under
// its name meanwhile (status -2).  A destination without any write
// permission bit is not replaced (status -2), as the read-only attribute
// means; a destination that is a link is written through to its target; a
// device or FIFO is written directly.  Copying a file onto itself (the same
// name, or another name of the same file) does nothing and returns 0.
//
// Modes: the copy keeps the source's modification time.  With `CopyAttribs`
// it takes the source's permission bits, with the owner's write bit set.
// Without it a new file gets the default permissions (0666 less the umask)
// and a replaced one keeps its own, but in either case the group and others
// get no permission the source denies them: a copy of a private file is
// never readable by more people than the source, not even while it is
// written (a new file has its mode from its creation on).
#ifndef ZEL_FILESYS_FILECOPY_H_
#define ZEL_FILESYS_FILECOPY_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Progress of one file copy: bytes copied so far and the file's size in
// bytes (when it is called: see the top of this file).
using TFileCopyFeedBack = void (*)(int64_t BytesCopied, int64_t SizeOfFile);

// Status codes of `FileCopyFeedBk`.
inline constexpr int fcOK = 0;             // copied (or source and destination are one file)
inline constexpr int fcSourceError = -1;   // source missing, unreadable or not a regular file
inline constexpr int fcCreateError = -2;   // destination could not be created or replaced
inline constexpr int fcWriteError = -3;
inline constexpr int fcReadError = -4;
inline constexpr int fcAborted = -5;       // stopped by the abort switch; nothing left behind

// Copies `Source` to `Dest`; when `Dest` is an existing directory, to a file
// of the source's name in it.  `FeedBack` may be null.
int FileCopyFeedBk(StringView Source, StringView Dest, bool CopyAttribs,
                   TFileCopyFeedBack FeedBack);

// Sets the abort switch.  Safe to call from a signal handler.
void AbortAnyFileCopying() noexcept;

// True while the abort switch is set.
bool FileCopyingAborted() noexcept;

}  // namespace zel

#endif  // ZEL_FILESYS_FILECOPY_H_
