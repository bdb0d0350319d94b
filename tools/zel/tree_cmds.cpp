// Subcommands over directory trees and files: find, copy, trash, rmtree,
// dates.
#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "tools/zel/cli.h"
#include "tools/zel/host.h"
#include "zel/filesys/dirtree.h"
#include "zel/filesys/filecopy.h"
#include "zel/filesys/filedates.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/filesys/trash.h"
#include "zel/platform/casemap.h"
#include "zel/platform/datetime.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/pathmodel.h"
#include "zel/platform/stringlist.h"
#include "zel/platform/syserror.h"

namespace zel::cli {
namespace {

int Find(const ParsedArgs& a);
int Copy(const ParsedArgs& a);
int Trash(const ParsedArgs& a);
int RmTree(const ParsedArgs& a);
int Dates(const ParsedArgs& a);

constexpr Option kFindOptions[] = {
    {"recursive", 'r', {}, "search the subdirectories too (not hidden ones, never through links)"},
};
constexpr Option kDatesOptions[] = {
    {"set-modified", 0, "DATE", "set the modification time: YYYY-MM-DD[ HH:MM[:SS[.mmm]]], UTC"},
};

constexpr Command kCommands[] = {
    {.name = "find",
     .summary = "list the files in a directory whose names match a mask",
     .operands = "DIR MASK",
     .description =
         "Prints the path of every file in DIR whose name matches MASK ('*' any\n"
         "run, '?' one character; without regard to case, so '*.txt' finds\n"
         "'A.TXT').  Names are printed as stored.  With --recursive the\n"
         "subdirectories are searched as well, except hidden ones; a link to a\n"
         "directory is never followed.  A directory that cannot be searched is\n"
         "named with the reason.  Exit status 1 when nothing matched, 2 when a\n"
         "directory could not be searched.",
     .options = kFindOptions,
     .main = &Find},
    {.name = "copy",
     .summary = "copy a file or a directory tree",
     .operands = "SRC DST",
     .description =
         "Copies the file SRC to DST (into it, under SRC's name, when DST is a\n"
         "directory), or the directory SRC to the directory DST, which is\n"
         "created as needed and then holds what SRC holds.  Copies keep the\n"
         "modification time and permission bits; links inside a tree are copied\n"
         "as links.  An existing file is replaced only by a complete copy.  A\n"
         "link in the destination is never written through: such an item is\n"
         "refused, as is every item that cannot be read or made, each named\n"
         "with the reason (exit status 1).  Shows a progress bar on stderr when\n"
         "stderr is a terminal.  Ctrl-C (or SIGTERM, SIGHUP, SIGPIPE) stops the\n"
         "copy cleanly: the file being copied is removed (files already copied\n"
         "stay) and the exit status is 128 + the signal (130 for Ctrl-C).  A\n"
         "file beyond the size limit (ulimit -f) is a write error.  A directory\n"
         "is not copied into itself or below itself (nothing is created).",
     .main = &Copy},
    {.name = "trash",
     .summary = "move files to the desktop's trash",
     .operands = "MASK...",
     .description =
         "Moves the files that match each MASK (a path whose name part may hold\n"
         "'*' and '?') to the freedesktop trash, from where a file manager can\n"
         "restore them.  Directories and names starting with '.' are not moved.\n"
         "Exit status 1 when a MASK moved nothing.",
     .main = &Trash},
    {.name = "rmtree",
     .summary = "delete directory trees",
     .operands = "DIR...",
     .description =
         "Deletes each DIR with everything in it.  Links are removed, never what\n"
         "they point to, and nothing outside DIR is touched even if its\n"
         "subdirectories are swapped for links meanwhile.  A file without any\n"
         "write permission bit is left in place and reported, and the deletion\n"
         "of that DIR stops there, as at any item that cannot be deleted (named\n"
         "with the reason).  '/', '.', '..' and any DIR that is the root, the\n"
         "current directory or one of its parents are refused.",
     .main = &RmTree},
    {.name = "dates",
     .summary = "show or set the time stamps of a file",
     .operands = "FILE",
     .description =
         "Prints the creation (where the file system keeps it), last access and\n"
         "last modification times of FILE in UTC.  --set-modified sets the\n"
         "modification time first; the creation time cannot be set here.",
     .options = kDatesOptions,
     .main = &Dates},
};

// File-name operands and names printed go as their exact bytes
// (zel/platform/filename.h).
String Arg(const std::string& operand) { return FileNameFromBytes(operand); }
std::string Shown(const String& name) { return FileNameToBytes(name); }

std::string Reason(int err) { return ToUtf8(SysErrorMessage(err)); }

// One message per item a tree function could not handle, with the
// system's reason; the number of messages.
int PrintProblems(const detail::TreeProblemLog& log) {
  for (const detail::TreeProblem& p : log.Problems()) {
    const std::string path = "'" + Shown(p.Path) + "'";
    switch (p.Op) {
      case detail::toRead:
        Fail("cannot read " + path + ": " +
             (p.Error == EINVAL ? std::string("not a regular file, directory or link") : Reason(p.Error)));
        break;
      case detail::toCreate: Fail("cannot create " + path + ": " + Reason(p.Error)); break;
      case detail::toWrite: Fail("write error on " + path + ": " + Reason(p.Error)); break;
      case detail::toDelete: Fail("cannot delete " + path + ": " + Reason(p.Error)); break;
      case detail::toReadOnly: Fail("cannot delete " + path + ": read-only file left in place"); break;
      case detail::toRefused:
        Fail("refusing to delete " + path +
             ": it is the root, the current directory or one of its parents");
        break;
    }
  }
  return static_cast<int>(log.Problems().size());
}

// --- find -----------------------------------------------------------------

int Find(const ParsedArgs& a) {
  AnswersNoMatch();
  a.RequireOperands(2, 2, "DIR MASK");
  const std::string& dir = a.Operands()[0];
  const String mask = Arg(a.Operands()[1]);
  if (mask.find(u'/') != String::npos) throw BadUsage("MASK is a name pattern, without '/'");
  TFileInfo info;
  if (!GetFileInfo(Arg(dir), info)) return FailWith(dir, LastOSError());
  if (!(info.Attr & faDirectory)) return FailWith(dir, ENOTDIR);
  TStringList found;
  detail::TreeProblemLog log;
  ScanFilesToStrList(HostJoin(Arg(dir), mask), a.Has("recursive"), &found, nullptr);
  std::string out;
  for (int i = 0; i < found.Count(); ++i) {
    out += Shown(found[i]);
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::cout << out;
      out.clear();
    }
  }
  std::cout << out << std::flush;
  // A directory that could not be searched is named: the list is not whole.
  if (PrintProblems(log) > 0) return kTrouble;
  return found.Count() > 0 ? kOk : kNoMatch;
}

// --- copy -----------------------------------------------------------------

// The signal that ended a copy (0: none).  Each of these stops the copy
// cleanly: the file being copied is removed and nothing stays under a
// final name half written.
std::atomic<int> interrupted{0};

void OnInterrupt(int signo) {
  interrupted.store(signo);
  AbortAnyFileCopying();
}

// The progress bar: "\rcopying [#####     ]  50%  NAME" on stderr, drawn
// only when the figure shown changes.
struct Bar {
  bool on = false;
  int last_percent = -1;
  int last_count = -1;
  bool drawn = false;
} bar;

void Draw(int percent, const std::string& what) {
  DrawProgressBar("copying", percent, what);
  bar.drawn = true;
}

int Percent(int64_t done, int64_t size) {
  return size <= 0 ? 100 : static_cast<int>(done * 100 / size);
}

std::string file_label;
void FileProgress(int64_t done, int64_t size) {
  const int p = Percent(done, size);
  if (p == bar.last_percent) return;
  bar.last_percent = p;
  Draw(p, file_label);
}

void TreeProgress(int64_t done, int64_t size, const String& name, int count) {
  const int p = Percent(done, size);
  if (p == bar.last_percent && count == bar.last_count) return;
  bar.last_percent = p;
  bar.last_count = count;
  Draw(p, std::to_string(count) + " files, " + Shown(HostNamePart(name)));
}

std::string CopyError(int status, const std::string& src, const std::string& dst, int err) {
  const std::string why = err != 0 ? ": " + Reason(err) : std::string();
  switch (status) {
    case fcSourceError: return "cannot read '" + src + "'" + why;
    case fcCreateError: return "cannot create '" + dst + "'" + why;
    case fcWriteError: return "write error on '" + dst + "'" + why;
    case fcReadError: return "read error on '" + src + "'" + why;
    default: return "copy of '" + src + "' failed" + why;
  }
}

// The absolute, link-free form of `path`, whose last components need not
// exist yet (those are appended as given); "" when it cannot be found.
std::string ResolvedPath(const std::string& path) {
  std::string head = path, tail;
  for (;;) {
    const String real = RealPath(FileNameFromBytes(head.empty() ? "." : head));
    if (!real.empty()) {
      const std::string resolved = FileNameToBytes(real);
      return tail.empty() ? resolved : (resolved == "/" ? "" : resolved) + "/" + tail;
    }
    if (LastOSError() != ENOENT) return "";
    // The host's separators ("\\" too on Windows).
    const std::string_view seps = detail::kHostHasDrives ? "/\\" : "/";
    while (head.size() > 1 && seps.find(head.back()) != std::string_view::npos) head.pop_back();
    const size_t slash = head.find_last_of(seps);
    const std::string last = slash == std::string::npos ? head : head.substr(slash + 1);
    if (last.empty() || last == "." || last == "..") return "";
    tail = tail.empty() ? last : last + "/" + tail;
    head = slash == std::string::npos ? "" : head.substr(0, slash == 0 ? 1 : slash);
  }
}

// True when `dst` is the directory `src` or lies inside it (a copy of the
// tree would then copy its own copy, without end), links followed.  Paths
// compare as the host's file system compares names: on Windows without
// regard to case, with either separator.
bool IsWithin(const std::string& dst, const std::string& src) {
  const std::string s8 = ResolvedPath(src), d8 = ResolvedPath(dst);
  if (s8.empty() || d8.empty()) return false;
  String s = FileNameFromBytes(s8), d = FileNameFromBytes(d8);
  if (detail::kHostNamesIgnoreCase) {
    s = AnsiUpperCase(s);
    d = AnsiUpperCase(d);
  }
  for (String* p : {&s, &d}) {  // one separator for every spelling
    for (Char& c : *p) {
      if (detail::IsPathSep(c, detail::kHostPath)) c = u'/';
    }
  }
  if (d.size() < s.size() || d.compare(0, s.size(), s) != 0) return false;
  return d.size() == s.size() || s.back() == u'/' || d[s.size()] == u'/';
}

int Copy(const ParsedArgs& a) {
  a.RequireOperands(2, 2, "SRC DST");
  const std::string& src = a.Operands()[0];
  const std::string& dst = a.Operands()[1];
  TFileInfo info;
  if (!GetFileInfo(Arg(src), info)) return FailWith(src, LastOSError());
  if ((info.Attr & faDirectory) && IsWithin(dst, src)) {
    return Fail("cannot copy the directory '" + src + "' into itself, '" + dst + "'");
  }
  bar = Bar{};
  bar.on = isatty(STDERR_FILENO) != 0;
  interrupted.store(0);
  InstallStopHandlers(OnInterrupt);

  std::string error;
  int problems = 0;
  if (info.Attr & faDirectory) {
    detail::TreeProblemLog log;
    const int failed = CopyFileTree(Arg(src), Arg(dst), true, bar.on ? TreeProgress : nullptr);
    if (bar.drawn) std::fputs("\n", stderr);
    bar.drawn = false;
    if (interrupted.load() == 0) problems = PrintProblems(log);
    if (failed > 0) error = std::to_string(failed) + " item(s) of '" + src + "' could not be copied";
  } else {
    file_label = Shown(HostNamePart(Arg(src)));
    errno = 0;
    const int status = FileCopyFeedBk(Arg(src), Arg(dst), true, bar.on ? FileProgress : nullptr);
    const int err = errno;
    if (status != fcOK && status != fcAborted) error = CopyError(status, src, dst, err);
  }
  RestoreStopHandlers();
  if (bar.drawn) std::fputs("\n", stderr);
  if (const int signo = interrupted.load()) {
    return Fail("interrupted; the unfinished file was removed", 128 + signo);
  }
  if (!error.empty()) return Fail(error);
  return problems > 0 ? kFailure : kOk;
}

// --- trash and rmtree -----------------------------------------------------

int Trash(const ParsedArgs& a) {
  a.RequireOperands(1, -1, "MASK");
  int status = kOk;
  for (const std::string& mask : a.Operands()) {
    bool failed = false;
    const int moved = MoveToRecycleBin(Arg(mask), [&](const String& path, const String& why) {
      failed = true;
      status = Fail("cannot move '" + Shown(path) + "' to the trash: " + ToUtf8(why));
    });
    if (moved == 0 && !failed) status = Fail("'" + mask + "': nothing moved to the trash");
  }
  return status;
}

int RmTree(const ParsedArgs& a) {
  a.RequireOperands(1, -1, "DIR");
  int status = kOk;
  for (const std::string& dir : a.Operands()) {
    TFileInfo info;
    if (!GetFileInfo(Arg(dir), info, false)) {
      status = FailWith(dir, LastOSError());
      continue;
    }
    if (!(info.Attr & (faDirectory | faSymLink))) {
      status = FailWith(dir, ENOTDIR);
      continue;
    }
    detail::TreeProblemLog log;
    const String left = DelDirTree(Arg(dir));
    if (left.empty()) continue;
    // Each item that stays is named with the reason; a failure the library
    // could not explain is still named.
    if (PrintProblems(log) == 0) Fail("cannot delete '" + Shown(left) + "'");
    status = kFailure;
  }
  return status;
}

// --- dates ----------------------------------------------------------------

// "YYYY-MM-DD[( |T)HH:MM[:SS[.mmm]]]" as a date-time; false when malformed.
bool ParseDate(const std::string& text, TDateTime& out) {
  unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  char sep = 0;
  int used = 0;
  const int n = std::sscanf(text.c_str(), "%4u-%2u-%2u%n%c%2u:%2u%n", &y, &mo, &d, &used, &sep, &h,
                            &mi, &used);
  if (n != 3 && n != 6) return false;
  if (n == 6 && sep != ' ' && sep != 'T') return false;
  size_t pos = static_cast<size_t>(used);
  if (n == 6 && pos < text.size()) {
    int more = 0;
    if (std::sscanf(text.c_str() + pos, ":%2u%n", &s, &more) != 1) return false;
    pos += static_cast<size_t>(more);
    if (pos < text.size()) {
      if (std::sscanf(text.c_str() + pos, ".%3u%n", &ms, &more) != 1) return false;
      pos += static_cast<size_t>(more);
    }
  }
  if (pos != text.size()) return false;
  TDateTime date, time;
  if (!TryEncodeDate(static_cast<uint16_t>(y), static_cast<uint16_t>(mo), static_cast<uint16_t>(d), date) ||
      !TryEncodeTime(static_cast<uint16_t>(h), static_cast<uint16_t>(mi), static_cast<uint16_t>(s),
                     static_cast<uint16_t>(ms), time)) {
    return false;
  }
  out = ComposeDateTime(date, time);
  return true;
}

int Dates(const ParsedArgs& a) {
  a.RequireOperands(1, 1, "FILE");
  const std::string& file = a.Operands()[0];
  if (a.Has("set-modified")) {
    TDateTime when = 0;
    if (!ParseDate(a.Get("set-modified"), when)) {
      throw BadUsage("bad DATE '" + a.Get("set-modified") + "' (want YYYY-MM-DD[ HH:MM[:SS]])");
    }
    if (SetFileDates(Arg(file), 0, 0, when) != 0) {
      return Fail("cannot set the time of " + Quoted(file) + ": " + Reason(LastOSError()));
    }
  }
  TDateTime created, accessed, modified;
  if (GetFileDates(Arg(file), created, accessed, modified) != 0) return FailWith(file, LastOSError());
  const auto show = [](TDateTime t) {
    return ToUtf8(FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", t)) + " UTC";
  };
  std::cout << "created:  " << (created == 0 ? std::string("unknown") : show(created)) << '\n'
            << "accessed: " << show(accessed) << '\n'
            << "modified: " << show(modified) << '\n';
  return kOk;
}

const CommandGroup kGroup(92, kCommands);

}  // namespace
}  // namespace zel::cli
