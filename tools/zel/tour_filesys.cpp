// `zel tour` section for the file-system unit: path and file-name rules,
// and text files (last lines, line counts, CR LF repair, the ASC header).
#include <filesystem>
#include <string>

#include <unistd.h>

#include "tools/zel/cli.h"
#include "zel/filesys/filesys.h"
#include "zel/platform/textfile.h"

namespace zel::cli {
namespace {

void TourPaths() {
  TourHeading("filesys", "paths and file names (\"\\\" and \"/\" both separate)");
  TourShow("StripPath(\"C:\\\\x\\\\data.tar.gz\")", StripPath(u"C:\\x\\data.tar.gz"));
  TourShow("StripExtension(\"/home/a/data.tar.gz\")", StripExtension(u"/home/a/data.tar.gz"));
  TourShow("ParentDir(\"a/b/c\")", ParentDir(u"a/b/c"));
  TourShow("ExtractDrive(\"c:\\\\temp\")", ExtractDrive(u"c:\\temp"));
  TourShow("AbridgeFilePath(\"C:\\\\dir1\\\\dir2\\\\dir3\\\\file.txt\", 20)",
           AbridgeFilePath(u"C:\\dir1\\dir2\\dir3\\file.txt", 20));
  TourShow("IsDOS83Path(\"C:\\\\VERYLONGDIR\\\\X\")", IsDOS83Path(u"C:\\VERYLONGDIR\\X"));
  TourShow("ReplaceInvalidFileNameChars(\"a?b:c\", '_')", ReplaceInvalidFileNameChars(u"a?b:c", u'_'));
  TourShow("EnsureDefaultFileExt(\"report\", \"txt\")", EnsureDefaultFileExt(u"report", u"txt"));
  TourShow("InsertBeforeFileExt(\"_old\", \"d/data.txt\")", InsertBeforeFileExt(u"_old", u"d/data.txt"));
  TourShow("MatchesMask(\"Report.TXT\", \"*.txt\")", MatchesMask(u"Report.TXT", u"*.txt"));
}

void TourTextFiles() {
  TourHeading("filesys", "text files: last lines, counting, CR LF repair, ASC header");
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("zel-tour-filesys-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directory(dir);
  const String log = FromUtf8(dir + "/Log.txt");
  for (int i = 1; i <= 5; ++i) AppendToTextFile(log, u"entry " + FromUtf8(std::to_string(i)));
  int64_t count = 0;
  const std::vector<String> last = ReadLastNLinesOfTextFile(log, 3, count);
  TourShow("ReadLastNLinesOfTextFile(log, 3) last line", last.back());
  TourShow("  lines in the file", count);
  TourShow("CountLinesInTextFile(log)", CountLinesInTextFile(log, nullptr));
  TourShow("DOSToWinPath(dir + \"/LOG.TXT\") finds", StripPath(DOSToWinPath(FromUtf8(dir) + u"/LOG.TXT")));
  String line;
  TourShow("FindFirstMatchInTextFile(log, \"ENTRY 4\", ignore case)",
           FindFirstMatchInTextFile(log, u"ENTRY 4", true, line));
  TourShow("  matching line", line);

  const String mac = FromUtf8(dir + "/old.txt");
  {
    TextFile f(mac);
    f.Rewrite();
    f.Write(u"one\rtwo\rthree");
    f.Close();
  }
  EnsureCRLFInFile(mac, mac);
  TourShow("EnsureCRLFInFile: lone CRs become CR LF, lines now", CountLinesInTextFile(mac, nullptr));
  TourShow("CheckTextFileType(old.txt) is tftUnknown", CheckTextFileType(mac) == tftUnknown);

  TStringStream asc("Calibration run\n10\n3\ntrue FALSE TRUE false\n1 2 3\n");
  String comment;
  int32_t a = 0, b = 0;
  bool f1, f2, f3, f4;
  TourShow("ReadHeaderOfASC(stream) status", ReadHeaderOfASC(asc, comment, a, b, f1, f2, f3, f4));
  TourShow("  comment", comment);
  TourShow("  counts", std::to_string(a) + " x " + std::to_string(b));
  TourShow("  flags", std::string(f1 ? "T" : "F") + (f2 ? "T" : "F") + (f3 ? "T" : "F") + (f4 ? "T" : "F"));
  std::filesystem::remove_all(dir);
}

const TourSection kPaths(90, &TourPaths);
const TourSection kTextFiles(91, &TourTextFiles);

}  // namespace
}  // namespace zel::cli
