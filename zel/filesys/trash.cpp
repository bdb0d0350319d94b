#include "zel/filesys/trash.h"

#include <errno.h>

#include <string>

#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/trash.h"
#include "zel/platform/datetime.h"
#include "zel/platform/hostfs.h"

namespace zel {
namespace {

// A directory that exists (created with `mode` when missing) and is a real
// directory, not a link to one.
bool EnsurePlainDir(const String& dir, uint32_t mode) {
  if (!CreateDir(dir, mode) && LastOSError() != EEXIST) return false;
  TFileInfo info;
  return GetFileInfo(dir, info, false) && (info.Attr & faDirectory) && !(info.Attr & faSymLink);
}

// The path as the trash entry stores it: UTF-8 bytes, every byte outside
// the unreserved URL characters and "/" written as %XX.
std::string EscapePath(StringView path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : ToUtf8(path)) {
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

// The n-th candidate name for `name` in the trash: "a.txt", "a.2.txt", ...
String Candidate(const String& name, int n) {
  if (n == 1) return name;
  const size_t dot = name.rfind(u'.');
  const size_t cut = dot == String::npos || dot == 0 ? name.size() : dot;
  return name.substr(0, cut) + u'.' + FromUtf8(std::to_string(n)) + name.substr(cut);
}

}  // namespace

namespace detail {

String HomeTrashDir() {
  const String data = GetEnvVar(u"XDG_DATA_HOME");
  if (!data.empty() && data[0] == u'/') return HostJoin(data, u"Trash");
  const String home = GetEnvVar(u"HOME");
  if (home.empty()) return String();
  return HostJoin(home, u".local/share/Trash");
}

String TopDirTrash(StringView TopDir, uint32_t Uid) {
  const String uid = FromUtf8(std::to_string(Uid));
  // An administrator's shared trash: a sticky directory, not a link.
  const String shared = HostJoin(TopDir, u".Trash");
  TFileInfo info;
  if (GetFileInfo(shared, info, false) && (info.Attr & faDirectory) && !(info.Attr & faSymLink) &&
      (info.Mode & 01000)) {
    const String mine = HostJoin(shared, uid);
    if (EnsurePlainDir(mine, 0700)) return mine;
  }
  const String own = HostJoin(TopDir, u".Trash-" + uid);
  if (EnsurePlainDir(own, 0700) && GetFileInfo(own, info, false) && info.Owner == Uid) return own;
  return String();
}

bool TrashOneFile(StringView Path, StringView Trash, StringView TopDir) {
  const String files = HostJoin(Trash, u"files");
  const String infos = HostJoin(Trash, u"info");
  if (!EnsurePlainDir(String(Trash), 0700) || !EnsurePlainDir(files, 0700) ||
      !EnsurePlainDir(infos, 0700)) {
    return false;
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
    const String cand = Candidate(name, n);
    const String info_path = HostJoin(infos, cand + u".trashinfo");
    const String file_path = HostJoin(files, cand);
    THostFile out;
    // The info file is created first and exclusively: it reserves the name.
    if (!out.CreateNew(info_path, 0600)) {
      if (LastOSError() == EEXIST) continue;
      return false;
    }
    if (!out.Write(entry.data(), entry.size()) || !out.Close()) {
      DeleteFile(info_path);
      return false;
    }
    if (RenameNoReplace(Path, file_path)) return true;
    const int err = LastOSError();
    DeleteFile(info_path);
    if (err != EEXIST) return false;
  }
  return false;
}

}  // namespace detail

int MoveToRecycleBin(StringView FileMask) {
  int moved = 0;
  const String home = detail::HomeTrashDir();
  bool home_ready = false;
  TFileInfo home_info;
  detail::ForEachMaskFile(FileMask, [&](const String& path, const TSearchRec&) {
    TFileInfo info;
    if (!GetFileInfo(path, info, false)) return;
    if (!home.empty() && !home_ready) {
      home_ready = ForceDirectories(HostDirPart(home)) && EnsurePlainDir(home, 0700) &&
                   GetFileInfo(home, home_info);
    }
    if (home_ready && home_info.Device == info.Device) {
      if (detail::TrashOneFile(path, home, u"")) ++moved;
      return;
    }
    // Another file system: its own trash, the path relative to its top.
    const String real = HostJoin(RealPath(HostDirPart(path)), HostNamePart(path));
    const String top = MountPointOf(HostDirPart(path));
    if (top.empty()) return;
    const String trash = detail::TopDirTrash(top, CurrentUserId());
    if (!trash.empty() && detail::TrashOneFile(real, trash, top)) ++moved;
  });
  return moved;
}

}  // namespace zel
