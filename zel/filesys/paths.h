// zel/filesys/paths.h — taking file paths apart, shortening them for
// display, checking and repairing file names.
//
//   zel::StripPath(u"C:\\x\\data.tar.gz")        == u"data.tar.gz"
//   zel::StripExtension(u"/home/a/data.tar.gz")  == u"/home/a/data.tar"
//   zel::ParentDir(u"a/b/c")                     == u"a/b/"
//   zel::EnsureDefaultFileExt(u"report", u"txt") == u"report.txt"
//   zel::InsertBeforeFileExt(u"_old", u"d/data.txt") == u"d/data_old.txt"
//   zel::AbridgeFilePath(u"C:\\dir1\\dir2\\dir3\\file.txt", 20)
//                                                == u"C:\\..\\..\\..\\file.txt"
//
// Paths are plain strings with the conventions of drive letters ("C:"), "\"
// between directories and "." before the extension; "/" separates
// directories as well, so Linux paths and Windows-style paths both work.
// A ":" splits only as a drive prefix (an ASCII letter and ":" at the very
// start); elsewhere it is part of a name, as Linux allows:
// "/tmp/run 12:30.log" is the file "run 12:30.log" in "/tmp/".  The three
// basic splits:
//   directory part  everything up to and including the last "\" or "/",
//                   or the drive prefix alone ("C:" of "C:data.txt")
//   name part       everything after it
//   extension       the name part from its last "." on ("" without one)
// The host functions (zel/platform/hostfs.h) split by the same model, with
// "/" as their only separator.
//
// Every function here is a pure string function and never raises, except
// `DOSToWinPath`, which reads the current directory and looks names up on
// disk.  Positions count from 1.
#ifndef ZEL_FILESYS_PATHS_H_
#define ZEL_FILESYS_PATHS_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// True for the directory separators "\" and "/".
constexpr bool IsPathSeparator(Char C) noexcept { return C == u'\\' || C == u'/'; }

// The directory part, with its trailing separator or drive prefix ("" if
// none).
String ExtractFilePath(StringView Path);
// The name part.
String ExtractFileName(StringView Path);
// The extension of the name part, "." included ("" if none).
String ExtractFileExt(StringView Path);

// The name part (same as `ExtractFileName`).
String StripPath(StringView Path);

// The path without the extension of its name part; dots in directory names
// are ignored, and a name whose only "." is its first character (".cfg")
// becomes empty.
String StripExtension(StringView Path);

// The parent directory with its trailing separator: "C:\a\b\" and "C:\a\b"
// both give "C:\a\", "a/b/c" gives "a/b/"; "" when there is none ("C:\").
String ParentDir(StringView Path);

// True for a drive root such as "c:\" (blanks around it ignored, "C:" and
// "D:/" are no roots), and for the Linux root "/".
bool IsRootDir(StringView Path);

// The drive number of a path that begins with a letter and ":": A = 0,
// B = 1, C = 2, ...; another character before the ":" gives 0; a path
// without ":" in second place gives -1.  Linux paths give -1.
int ExtractDrive(StringView Path);

// Shortens a path for display: while it is at least `MaxLength` characters
// long, the next directory name from the left is replaced by "..".  The
// name part is never shortened, so the result may stay longer; a path
// without any separator is returned unchanged.
String AbridgeFilePath(StringView Path, int MaxLength);

// The path made absolute against the current directory ("." and ".."
// resolved, both separators splitting, components joined with "/") with
// every component as it is stored on disk, each looked up in its already
// resolved parent: an exact name first, else the
// first entry (in name order) that matches without regard to case.  From
// the first component that cannot be found on, the rest of the expanded
// path is kept as given.  Linux keeps no short aliases, so this maps each
// component to its stored form only.  On Windows the drive leads
// ("C:/Users/..."; a path from the root is on the current drive).
String DOSToWinPath(StringView Path);

// True when every character is allowed in an 8.3 file name; "" is true.
// Allowed: letters, digits and ! # $ % & ' ( ) - . : @ \ ^ _ ` { } ~
bool IsFN83CompliantPath(StringView Path);

// True for an 8.3-compliant path whose directory names hold at most 8
// characters, and whose base name at most 8 and extension at most 3
// ("C:\DOS\EDIT.COM").  The path is cut into pieces at each "\" (or, after
// the last one, at the first "."), each piece at most 9 characters with its
// delimiter.
bool IsDOS83Path(StringView Path);

// False if the name holds one of / < > ? \ | * : or is "." or "..".
bool IsValidFileName(StringView FileName);

// Replaces each of * / : < > ? \ | by `ReplaceBy`; "." becomes `ReplaceBy`
// and ".." becomes it twice.
String ReplaceInvalidFileNameChars(StringView FileName, Char ReplaceBy);

// Appends `DefaultExt` ("txt" or ".txt") when the name part has no
// extension; a name ending in "." has one.
String EnsureDefaultFileExt(StringView FileName, StringView DefaultExt);

// Inserts `Text` before the first "." of the name part, or appends it when
// the name has none: "a.b.c" with "X" gives "aX.b.c".
String InsertBeforeFileExt(StringView Text, StringView FileName);

// True when `Name` matches the file mask `Mask` without regard to case
// (locale-aware folding): "*" stands for any run of characters, "?" for
// exactly one.  A mask ending in ".*" also matches the name without that
// extension, so "*.*" matches every name, as on hosts with drive letters.
// An empty mask matches nothing.
//   MatchesMask(u"Report.TXT", u"*.txt") == true
//   MatchesMask(u"README", u"READ*.*")   == true
bool MatchesMask(StringView Name, StringView Mask);

}  // namespace zel

#endif  // ZEL_FILESYS_PATHS_H_
