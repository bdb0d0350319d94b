#include "zel/filesys/trash.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <string>

#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/trash.h"
#include "zel/platform/datetime.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/treewalk_posix.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

// Why a folder cannot serve as (part of) a trash; "" when it can.  It must
// exist (created with mode 0700 when missing), be a real directory and not
// a link, belong to `uid`, and, with `exact_mode`, have exactly mode 0700.
String UnsafeDirReason(const String& dir, uint32_t uid, bool exact_mode) {
  if (!CreateDir(dir, 0700) && LastOSError() != EEXIST) {
    return u"cannot create the trash folder " + dir + u": " + SysErrorMessage(LastOSError());
  }
  TFileInfo info;
  if (!GetFileInfo(dir, info, false)) {
    return u"cannot use the trash folder " + dir + u": " + SysErrorMessage(LastOSError());
  }
  if (info.Attr & faSymLink) return u"the trash folder " + dir + u" is a link";
  if (!(info.Attr & faDirectory)) return u"the trash folder " + dir + u" is not a directory";
  if (info.Owner != uid) return u"the trash folder " + dir + u" is not yours";
  if (exact_mode && (info.Mode & 07777) != 0700) {
    return u"the trash folder " + dir + u" is open to other users (mode is not 0700)";
  }
  return String();
}

// The path as the trash entry stores it: its bytes, every byte outside the
// unreserved URL characters and "/" written as %XX.
std::string EscapePath(StringView path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : FileNameToBytes(path)) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       std::string_view("-_.!~*'()/").find(static_cast<char>(c)) !=
                           std::string_view::npos;
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

size_t NameBytes(StringView name) { return FileNameToBytes(name).size(); }

// `text` without its last character (a surrogate pair counts as one).
void DropLastChar(String& text) {
  const bool pair = text.size() >= 2 && text.back() >= 0xDC00 && text.back() <= 0xDFFF &&
                    text[text.size() - 2] >= 0xD800 && text[text.size() - 2] <= 0xDBFF;
  text.resize(text.size() - (pair ? 2 : 1));
}

}  // namespace

namespace ZEL_HIDDEN detail {

String HomeTrashDir() {
  // The base-directory rules ignore a relative $XDG_DATA_HOME.
  const String data = GetEnvVar(u"XDG_DATA_HOME");
  if (!data.empty() && data[0] == u'/') return HostJoin(data, u"Trash");
  const String home = GetEnvVar(u"HOME");
  if (home.empty() || home[0] != u'/') return String();
  return HostJoin(home, u".local/share/Trash");
}

String TopDirTrash(StringView TopDir, uint32_t Uid, String* Why) {
  const String uid = FromUtf8(std::to_string(Uid));
  // An administrator's shared trash: a sticky directory, not a link, with a
  // folder of the user's own in it.
  const String shared = HostJoin(TopDir, u".Trash");
  TFileInfo info;
  if (GetFileInfo(shared, info, false) && (info.Attr & faDirectory) && !(info.Attr & faSymLink) &&
      (info.Mode & 01000)) {
    const String mine = HostJoin(shared, uid);
    if (UnsafeDirReason(mine, Uid, false).empty()) return mine;
  }
  const String own = HostJoin(TopDir, u".Trash-" + uid);
  String why = UnsafeDirReason(own, Uid, true);
  if (why.empty()) return own;
  if (Why != nullptr) *Why = std::move(why);
  return String();
}

String TrashCandidateName(StringView Name, int N) {
  const size_t dot = Name.rfind(u'.');
  String base(Name), ext;
  if (dot != StringView::npos && dot != 0) {
    base = String(Name.substr(0, dot));
    ext = String(Name.substr(dot));
  }
  const String number = N > 1 ? u"." + FromUtf8(std::to_string(N)) : String();
  // An extension too long to keep whole is cut with the rest.
  if (NameBytes(ext) + NameBytes(number) + 1 > kMaxTrashNameBytes) {
    base += ext;
    ext.clear();
  }
  while (!base.empty() && NameBytes(base) + NameBytes(number) + NameBytes(ext) > kMaxTrashNameBytes) {
    DropLastChar(base);
  }
  return base + number + ext;
}

bool TrashOneFile(StringView Path, StringView Trash, StringView TopDir, String* Why, int SrcDirFd,
                  const std::string* SrcName) {
  const auto fail = [&](String why) {
    if (Why != nullptr) *Why = std::move(why);
    return false;
  };
  const String files = HostJoin(Trash, u"files");
  const String infos = HostJoin(Trash, u"info");
  const uint32_t uid = CurrentUserId();
  for (const String& dir : {String(Trash), files, infos}) {
    String why = UnsafeDirReason(dir, uid, false);
    if (!why.empty()) return fail(std::move(why));
  }
  String recorded(Path);
  if (!TopDir.empty()) {
    const String top = TopDir.back() == u'/' ? String(TopDir) : String(TopDir) + u'/';
    if (recorded.compare(0, top.size(), top) == 0) recorded = recorded.substr(top.size());
  }
  const std::string entry = "[Trash Info]\nPath=" + EscapePath(recorded) + "\nDeletionDate=" +
                            ToUtf8(FormatDateTime(u"yyyy-mm-dd'T'hh:nn:ss", Now())) + "\n";
  const String name = HostNamePart(Path);
  for (int n = 1; n < 10000; ++n) {
    const String cand = TrashCandidateName(name, n);
    const String info_path = HostJoin(infos, cand + u".trashinfo");
    const String file_path = HostJoin(files, cand);
    THostFile out;
    // The info file is created first and exclusively: it reserves the name.
    if (!out.CreateNew(info_path, 0600)) {
      if (LastOSError() == EEXIST) continue;
      return fail(u"cannot write " + info_path + u": " + SysErrorMessage(LastOSError()));
    }
    if (!out.Write(entry.data(), entry.size()) || !out.Close()) {
      const int err = LastOSError();
      DeleteFile(info_path);
      return fail(u"cannot write " + info_path + u": " + SysErrorMessage(err));
    }
    const int err = SrcName != nullptr
                        ? RenameAtNoReplace(SrcDirFd, *SrcName, AT_FDCWD, FileNameToBytes(file_path))
                        : (RenameNoReplace(Path, file_path) ? 0 : LastOSError());
    if (err == 0) return true;
    DeleteFile(info_path);
    if (err != EEXIST) return fail(SysErrorMessage(err));
  }
  return fail(u"no free name in " + files);
}

}  // namespace detail

int MoveToRecycleBin(StringView FileMask, const TTrashFailureEvent& OnFailure) {
  int moved = 0;
  const uint32_t uid = CurrentUserId();
  const String home = detail::HomeTrashDir();
  String home_problem;  // why the home trash cannot be used, once known
  bool home_checked = false;
  TFileInfo home_info;
  const auto fail = [&](const String& path, const String& why) {
    if (OnFailure) OnFailure(path, why);
  };
  // Each file is moved as the entry the walk found, through its directory's
  // descriptor: a directory of the path swapped for a link meanwhile moves
  // nothing from elsewhere.
  detail::ForEachMaskEntry(FileMask, [&](int dirfd, const std::string& name, const String& path,
                                         const TSearchRec&) {
    struct stat info;
    if (const int err = detail::StatAt(dirfd, name, false, info)) {
      return fail(path, SysErrorMessage(err));
    }
    if (!home.empty() && !home_checked) {
      home_checked = true;
      if (!ForceDirectories(HostDirPart(home))) {
        home_problem = u"cannot create " + HostDirPart(home) + u": " + SysErrorMessage(LastOSError());
      } else {
        home_problem = UnsafeDirReason(home, uid, false);
      }
      // Its device, also when it cannot be used: a file there then hears
      // why the home trash was refused.
      if (!GetFileInfo(home_problem.empty() ? home : HostDirPart(home), home_info)) {
        home_info.Device = ~uint64_t{0};
      }
    }
    // TFileInfo's device number is major << 32 | minor.
    const uint64_t device = (uint64_t{major(info.st_dev)} << 32) | minor(info.st_dev);
    const bool home_fs = home_checked && home_info.Device == device;
    String why;
    if (home_fs && home_problem.empty()) {
      if (detail::TrashOneFile(path, home, u"", &why, dirfd, &name)) {
        ++moved;
      } else {
        fail(path, why);
      }
      return;
    }
    // Another file system: its own trash, the path relative to its top.
    const String real = HostJoin(RealPath(HostDirPart(path)), HostNamePart(path));
    const String top = MountPointOf(HostDirPart(path));
    if (top.empty()) return fail(path, SysErrorMessage(LastOSError()));
    const String trash = detail::TopDirTrash(top, uid, &why);
    if (trash.empty()) return fail(path, home_fs ? home_problem : why);
    if (detail::TrashOneFile(real, trash, top, &why, dirfd, &name)) {
      ++moved;
    } else {
      fail(path, why);
    }
  });
  return moved;
}

}  // namespace zel
