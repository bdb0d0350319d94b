// The POSIX side of zel/platform/hostfs.h: names as their exact bytes,
// statx, readdir, the *at calls and plain descriptors.
#include "zel/platform/hostfs.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string_view>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/filemask.h"
#include "zel/platform/internal/treewalk_posix.h"
#include "zel/platform/internal/pathmodel.h"

namespace ZEL_EXPORT zel {
namespace {

bool Failed() noexcept {
  detail::SetLastOSError(errno);
  return false;
}

// Names go to the system as their exact bytes (zel/platform/filename.h).
std::string U8(StringView s) { return FileNameToBytes(s); }

// The classic attribute bits of a file mode (see the header).
uint32_t AttrOfMode(mode_t mode) noexcept {
  uint32_t attr = 0;
  if (S_ISDIR(mode)) {
    attr |= faDirectory;
  } else if (S_ISREG(mode)) {
    attr |= faArchive;
  } else if (!S_ISLNK(mode)) {
    attr |= faSysFile;
  }
  if ((mode & 0222) == 0 && !S_ISLNK(mode)) attr |= faReadOnly;
  return attr;
}

timespec FromStatx(const statx_timestamp& t) noexcept {
  timespec ts{};
  ts.tv_sec = t.tv_sec;
  ts.tv_nsec = t.tv_nsec;
  return ts;
}

void FillInfo(const struct statx& sx, TFileInfo& Info) noexcept {
  Info = TFileInfo{};
  Info.Attr = AttrOfMode(sx.stx_mode);
  Info.Mode = sx.stx_mode & 07777;
  Info.Size = S_ISDIR(sx.stx_mode) ? 0 : static_cast<int64_t>(sx.stx_size);
  Info.Access = FromStatx(sx.stx_atime);
  Info.Modify = FromStatx(sx.stx_mtime);
  Info.HasBirth = (sx.stx_mask & STATX_BTIME) != 0;
  if (Info.HasBirth) Info.Birth = FromStatx(sx.stx_btime);
  Info.Device = (static_cast<uint64_t>(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
  Info.Inode = sx.stx_ino;
  Info.Owner = sx.stx_uid;
}

bool StatAt(int dirfd, const char* name, struct stat& st, bool follow) noexcept {
  return fstatat(dirfd, name, &st, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
}

// The current directory's bytes, however long (a directory deeper than
// PATH_MAX too).  False with errno set when it has none (removed
// meanwhile) or it cannot be read.
bool CurrentDirectoryBytes(std::string& Out) {
  Out.assign(4096, '\0');
  // A path longer than the buffer is ERANGE; 16 MiB is beyond any tree
  // the system can hold in memory for one path.
  while (getcwd(Out.data(), Out.size()) == nullptr) {
    if (errno != ERANGE || Out.size() > (1u << 24)) return false;
    Out.resize(Out.size() * 2);
  }
  Out.resize(std::char_traits<char>::length(Out.c_str()));
  return true;
}

}  // namespace

namespace ZEL_HIDDEN detail {
bool CurrentDirectory(String& Out) {
  std::string bytes;
  if (!CurrentDirectoryBytes(bytes)) return false;
  Out = FileNameFromBytes(bytes);
  return true;
}

uint32_t HostAttrOfMode(uint32_t mode) noexcept { return AttrOfMode(static_cast<mode_t>(mode)); }
}  // namespace detail

bool GetFileInfo(StringView Path, TFileInfo& Info, bool FollowLink) {
  const std::string p = U8(Path);
  struct statx sx;
  const unsigned want = STATX_BASIC_STATS | STATX_BTIME;
  if (statx(AT_FDCWD, p.c_str(), AT_SYMLINK_NOFOLLOW, want, &sx) != 0) return Failed();
  uint32_t link_bit = 0;
  if (S_ISLNK(sx.stx_mode)) {
    link_bit = faSymLink;
    struct statx target;
    if (FollowLink && statx(AT_FDCWD, p.c_str(), 0, want, &target) == 0) sx = target;
  }
  FillInfo(sx, Info);
  Info.Attr |= link_bit;
  return true;
}

// --- directory search -----------------------------------------------------

TDirSearch::TDirSearch(StringView Dir, StringView Mask, bool Details, bool AllDirs)
    : details_(Details), all_dirs_(AllDirs), mask_(Mask) {
  const std::string dir = U8(Dir);
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) {
    error_ = errno;
    detail::SetLastOSError(error_);
  }
  dir_ = d;
  if (!dir.empty()) dir_prefix_ = dir.back() == '/' ? dir : dir + "/";
  const std::string mask8 = U8(Mask);
  match_all_ = Mask == u"*" || Mask == u"*.*";
  mask_is_ascii_ = detail::IsAsciiText(mask8);
  if (mask_is_ascii_) ascii_mask_ = detail::FoldAscii(mask8);
}

TDirSearch::~TDirSearch() {
  if (dir_ != nullptr) closedir(static_cast<DIR*>(dir_));
}

bool TDirSearch::Next(TSearchRec& Rec) {
  if (dir_ == nullptr) return false;
  DIR* d = static_cast<DIR*>(dir_);
  const int fd = dirfd(d);
  for (;;) {
    errno = 0;
    const dirent* e = readdir(d);
    if (e == nullptr) {
      if (errno != 0) detail::SetLastOSError(error_ = errno);
      return false;
    }
    const char* name = e->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    const std::string_view name8(name);
    bool matched = match_all_;
    if (!matched) {
      if (mask_is_ascii_ && detail::IsAsciiText(name8)) {
        matched = detail::MatchAsciiMask(name8, ascii_mask_);
      } else {
        matched = MatchesFileMask(FileNameFromBytes(name8), mask_);
      }
      // A directory may still be wanted; other kinds are known to be unwanted.
      if (!matched && (!all_dirs_ || e->d_type == DT_REG)) continue;
      if (!matched && e->d_type != DT_DIR && e->d_type != DT_UNKNOWN && e->d_type != DT_LNK) continue;
    }
    Rec.Name = FileNameFromBytes(name8);
    Rec.Mode = 0;
    Rec.Size = 0;
    Rec.Modify = timespec{};
    uint32_t attr = 0;
    struct stat st;
    unsigned char type = e->d_type;
    if (details_ || type == DT_UNKNOWN) {
      if (!StatAt(fd, name, st, false)) continue;  // gone meanwhile
      type = S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;  // refined below
      if (!S_ISLNK(st.st_mode)) {
        attr = AttrOfMode(st.st_mode);
        if (details_) {
          Rec.Mode = st.st_mode & 07777;
          Rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
          Rec.Modify = st.st_mtim;
        }
      }
    } else if (type == DT_DIR) {
      attr = faDirectory;
    } else if (type == DT_REG) {
      attr = faArchive;
    } else if (type != DT_LNK) {
      attr = faSysFile;
    }
    if (type == DT_LNK) {
      attr = faSymLink;
      if (StatAt(fd, name, st, true)) {
        attr |= AttrOfMode(st.st_mode);
        if (details_) {
          Rec.Mode = st.st_mode & 07777;
          Rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
          Rec.Modify = st.st_mtim;
        }
      } else if (details_ && StatAt(fd, name, st, false)) {
        Rec.Size = static_cast<int64_t>(st.st_size);
        Rec.Modify = st.st_mtim;
      }
    }
    if (!matched && !(attr & faDirectory)) continue;
    if (name[0] == '.') attr |= faHidden;
    Rec.Attr = attr;
    return true;
  }
}

// --- directories and files ------------------------------------------------

bool CreateDir(StringView Path, uint32_t Mode) {
  return mkdir(U8(Path).c_str(), static_cast<mode_t>(Mode)) == 0 || Failed();
}

// Each missing level is made relative to the one above it and no link is
// followed on the way (zel/platform/internal/treewalk_posix.h).
bool ForceDirectories(StringView Path) {
  return detail::MakeDirectories(U8(Path)) || Failed();
}

bool RemoveDir(StringView Path) { return rmdir(U8(Path).c_str()) == 0 || Failed(); }

bool DeleteFile(StringView Path) { return unlink(U8(Path).c_str()) == 0 || Failed(); }

bool RenameFile(StringView From, StringView To) {
  return rename(U8(From).c_str(), U8(To).c_str()) == 0 || Failed();
}

bool RenameNoReplace(StringView From, StringView To) {
  return renameat2(AT_FDCWD, U8(From).c_str(), AT_FDCWD, U8(To).c_str(), RENAME_NOREPLACE) == 0 ||
         Failed();
}

bool CreateSymLink(StringView Target, StringView LinkPath) {
  return symlink(U8(Target).c_str(), U8(LinkPath).c_str()) == 0 || Failed();
}

bool ReadSymLink(StringView Path, String& Target) {
  const std::string p = U8(Path);
  std::vector<char> buf(256);
  for (;;) {
    const ssize_t n = readlink(p.c_str(), buf.data(), buf.size());
    if (n < 0) return Failed();
    if (static_cast<size_t>(n) < buf.size()) {
      Target = FileNameFromBytes(std::string_view(buf.data(), static_cast<size_t>(n)));
      return true;
    }
    buf.resize(buf.size() * 2);
  }
}

bool SetFileTimes(StringView Path, const timespec* Access, const timespec* Modify) {
  timespec times[2];
  times[0] = Access != nullptr ? *Access : timespec{0, UTIME_OMIT};
  times[1] = Modify != nullptr ? *Modify : timespec{0, UTIME_OMIT};
  return utimensat(AT_FDCWD, U8(Path).c_str(), times, 0) == 0 || Failed();
}

bool SetFileMode(StringView Path, uint32_t Mode) {
  return chmod(U8(Path).c_str(), static_cast<mode_t>(Mode & 07777)) == 0 || Failed();
}

bool CanCreateFileIn(StringView Dir) {
  const std::string dir = Dir.empty() ? std::string(".") : U8(Dir);
  int fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return Failed();
  // No unnamed files here: a fresh name that no file has, removed again.
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string probe = dir + "/.zel-probe-" + std::to_string(getpid()) + "-" +
                              std::to_string(counter.fetch_add(1));
    fd = open(probe.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
      close(fd);
      unlink(probe.c_str());
      return true;
    }
    if (errno != EEXIST) return Failed();
  }
  return Failed();
}

String ExpandFileName(StringView Path) {
  std::string p = U8(Path);
  const bool trailing = !p.empty() && p.back() == '/';
  if (p.empty() || p[0] != '/') {
    std::string cwd;
    if (!CurrentDirectoryBytes(cwd)) return String(Path);
    p = cwd + "/" + p;
  }
  std::vector<std::string_view> parts;
  std::string_view rest(p);
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (const auto part : parts) {
    out += '/';
    out += part;
  }
  if (out.empty() || trailing) out += '/';
  return FileNameFromBytes(out);
}

String RealPath(StringView Path) {
  char* r = realpath(U8(Path).c_str(), nullptr);
  if (r == nullptr) {
    Failed();
    return String();
  }
  String out = FileNameFromBytes(r);
  free(r);
  return out;
}

String MountPointOf(StringView Dir) {
  char* r = realpath(U8(Dir).c_str(), nullptr);
  if (r == nullptr) {
    Failed();
    return String();
  }
  std::string cur(r);
  free(r);
  struct stat st;
  if (stat(cur.c_str(), &st) != 0) {
    Failed();
    return String();
  }
  const dev_t dev = st.st_dev;
  while (cur != "/") {
    const size_t slash = cur.rfind('/');
    const std::string parent = slash == 0 ? "/" : cur.substr(0, slash);
    if (stat(parent.c_str(), &st) != 0 || st.st_dev != dev) break;
    cur = parent;
  }
  return FileNameFromBytes(cur);
}

String GetEnvVar(StringView Name) {
  const char* v = getenv(U8(Name).c_str());
  return v == nullptr ? String() : FileNameFromBytes(v);
}

uint32_t CurrentUserId() noexcept { return static_cast<uint32_t>(getuid()); }

// --- THostFile -------------------------------------------------------------

bool THostFile::OpenRead(StringView Path, TFileInfo* Info) {
  Close();
  const int fd = open(U8(Path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Failed();
  struct statx sx{};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0 ||
      !S_ISREG(sx.stx_mode)) {
    const int err = S_ISDIR(sx.stx_mode) ? EISDIR : EINVAL;
    close(fd);
    errno = err;
    return Failed();
  }
  if (Info != nullptr) FillInfo(sx, *Info);
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  return true;
}

bool THostFile::CreateNew(StringView Path, uint32_t Mode) {
  Close();
  const int fd = open(U8(Path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                      static_cast<mode_t>(Mode));
  if (fd < 0) return Failed();
  fd_ = fd;
  return true;
}

int64_t THostFile::Read(void* Buffer, size_t Count) {
  char* p = static_cast<char*>(Buffer);
  size_t done = 0;
  while (done < Count) {
    const ssize_t n = read(fd_, p + done, Count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Failed();
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool THostFile::Write(const void* Buffer, size_t Count, size_t* Written) {
  const char* p = static_cast<const char*>(Buffer);
  size_t done = 0;
  bool ok = true;
  while (done < Count) {
    const ssize_t n = write(fd_, p + done, Count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = Failed();
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (Written != nullptr) *Written = done;
  return ok;
}

bool THostFile::SetMode(uint32_t Mode) {
  return fchmod(fd_, static_cast<mode_t>(Mode & 07777)) == 0 || Failed();
}

bool THostFile::SetModifyTime(const timespec& Modify) {
  const timespec times[2] = {{0, UTIME_OMIT}, Modify};
  return futimens(fd_, times) == 0 || Failed();
}

bool THostFile::Close() {
  if (fd_ < 0) return true;
  const int fd = fd_;
  fd_ = -1;
  return close(fd) == 0 || Failed();
}

}  // namespace zel
