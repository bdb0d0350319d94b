// zel/filesys/textfiles.h — whole text files: appending lines, the last
// lines, counting lines, repairing line ends, searching text, reading words,
// and recognising a file's encoding from its first bytes.
//
//   zel::AppendToTextFile(u"log.txt", u"started");     // created if missing
//   int64_t total;
//   auto last = zel::ReadLastNLinesOfTextFile(u"log.txt", 3, total);
//   // last.size() == 3, last.back() is the file's last line
//   zel::CountLinesInTextFile(u"big.txt", nullptr);     // 64-bit count
//   zel::EnsureCRLFInFile(u"unix.txt", u"unix.txt");    // in place, safely
//   String line;
//   int pos = zel::FindFirstMatchInTextFile(u"a.txt", u"world", true, line);
//
// Lines end with CR LF, LF or a lone CR, as `TextFile` reads them; a last
// line without a line end counts.  Text is read as `TextFile` reads it
// (UTF-8, other bytes as Windows-1252) and written as UTF-8 with CR LF.
//
// Speed: the functions that take a file name work on blocks of bytes; line
// counting scans each block at memory speed, and the last lines are read
// from the end of the file, so `ReadLastLinesOfFile` takes the same time for
// any file size.  The variants on an open `TextFile` read it line by line.
//
// Errors: a file that cannot be opened or read raises `EInOutError`.
// `AppendToTextFile` creates a missing file; `CheckTextFileType` ignores a
// failure while reading the first bytes.  Line counts are 64-bit.
#ifndef ZEL_FILESYS_TEXTFILES_H_
#define ZEL_FILESYS_TEXTFILES_H_

#include <cstdint>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/stringlist.h"
#include "zel/platform/textfile.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// The encoding a text file's first bytes announce: UTF-16 little/big
// endian, UTF-32 little/big endian, RTF, UTF-8 (a byte order mark), or none
// of these (see `CheckTextFileType`).
enum TTextfileType : uint8_t {
  tftUnicode_le,
  tftUnicode_be,
  tftUnicode4_le,
  tftUnicode4_be,
  tftRTF,
  tftUTF8,
  tftUnknown
};

// Appends the line (or each string of the list) and a line end.  Only a
// file that does not exist yet is created; any other failure to open it
// raises, so an existing file is never emptied.
void AppendToTextFile(const String& FileName, StringView Line);
void AppendToTextFile(const String& FileName, const TStringList& Lines);

// Exactly `N` strings: the last N lines of the file, the file's last line
// last; when the file has fewer lines the entries in front are empty.
// `LineCount` receives the number of lines of the whole file.  N <= 0 gives
// an empty array (the count is still given).  The open-file variant leaves
// the file reset to its start.
std::vector<String> ReadLastNLinesOfTextFile(TextFile& F, int N, int64_t& LineCount);
std::vector<String> ReadLastNLinesOfTextFile(const String& FileName, int N, int64_t& LineCount);

// The last at most `N` lines of the file (fewer when it has fewer), read
// from the end of the file without looking at the rest: constant time in the
// file's size.
std::vector<String> ReadLastLinesOfFile(const String& FileName, int64_t N);

// The number of lines.  After every 1000th line `FeedBack` (if given) is
// called with sender nullptr, the count so far and 0.  The open-file
// variant leaves the file reset to its start.
int64_t CountLinesInTextFile(TextFile& F, TFeedbackProc FeedBack);
int64_t CountLinesInTextFile(const String& FileName, TFeedbackProc FeedBack);

// Copies `InFile` to `OutFile` with every CR followed by LF: CR LF stays, a
// lone CR becomes CR LF, a lone LF stays.  Bytes are copied as they are.
// `OutFile` may be `InFile`: the result is written to a temporary file
// beside `OutFile` and renamed over it only when complete, so a failure
// leaves `OutFile` as it was.
void EnsureCRLFInFile(const String& InFile, const String& OutFile);

// The position of the first occurrence of `SearchText`, counted over the
// file's lines joined without line ends, when it begins within the first
// `CharLimit` characters; else 0.  `IgnoreCase` folds A-Z only.
int DetectStringInFile(const String& FileName, StringView SearchText, bool IgnoreCase,
                       int CharLimit);

// The position of `SearchText` in the first line that holds it (0 if none)
// and that line as written.  `IgnoreCase` uses locale-aware folding.  The
// second form also gives the line's number (from 1; 0 if none).
int FindFirstMatchInTextFile(const String& FileName, StringView SearchText, bool IgnoreCase,
                             String& MatchingLine);
int FindFirstMatchInTextFile(const String& FileName, StringView SearchText, bool IgnoreCase,
                             String& MatchingLine, int64_t& LineNumber);

// The next run of characters above code 32, skipping what comes before it;
// the character that ends it is consumed.  "" at the end of the file.
String ReadNextWordInTextFile(TextFile& F);

// The encoding a file's first four bytes announce (missing bytes count as
// 0): EF BB BF UTF-8, FF FE 00 00 and 00 00 FE FF UTF-32, FF FE and FE FF
// UTF-16, "{\r" RTF.  Raises when the file cannot be opened.
TTextfileType CheckTextFileType(const String& FileName);
// The type of the given first bytes (at most 4 are looked at).
TTextfileType TextFileTypeOfBytes(std::string_view FirstBytes);

// The full name of the first file below `PathWithMask`'s directory (that
// directory first, then its subdirectories depth-first in name order) whose
// name matches the mask part without regard to case; "" if none.  Hidden
// entries (names beginning with ".") are not found and symbolic links to
// directories are not followed.  The directory part is used as given; the
// name comes back as stored.
String FileDetect(const String& PathWithMask);

}  // namespace zel

#endif  // ZEL_FILESYS_TEXTFILES_H_
