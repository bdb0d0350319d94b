#include "zel/platform/filereplace.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>

#include "zel/platform/exceptions.h"
#include "zel/platform/stream.h"
#include "zel/platform/textfile.h"
#include "zel/testutil/tempdir.h"
#ifndef _WIN32
#include "zel/testutil/fiforeader.h"
#include "zel/testutil/filesizelimit.h"
#endif

namespace zel {
namespace {

using testutil::TempDir;

TEST(FileReplacement, ANewFileDoesNotOverwriteOneCreatedMeanwhile) {
  TempDir dir("replace");
  FileReplacement out(dir.Path("t.txt"));
  out.Write("mine", 4);
  dir.Put("t.txt", "theirs");
  try {
    out.Commit();
    ADD_FAILURE() << "the commit overwrote a file created meanwhile";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), EEXIST);
  }
  EXPECT_EQ(dir.Bytes("t.txt"), "theirs");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

#ifndef _WIN32
// POSIX hosts: modes, links, FIFOs and devices, unnamed files, descriptors.
using testutil::FifoReader;
using testutil::FileSizeLimit;

const std::string kLong(5000, 'x');

uint32_t ModeOf(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// The error code of a save's failure, 0 when it succeeds.
int SaveError(const String& target, const std::string& bytes) {
  try {
    FileReplacement out(target);
    out.Write(bytes.data(), bytes.size());
    out.Commit();
    return 0;
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
}

TEST(FileReplacement, CommitReplacesAndKeepsPermissions) {
  TempDir dir("replace");
  dir.Put("t.txt", "old");
  chmod((dir.Dir() + "/t.txt").c_str(), 0640);
  FileReplacement out(dir.Path("t.txt"));
  out.Write("new", 3);
  EXPECT_EQ(dir.Bytes("t.txt"), "old");  // nothing visible before the commit
  out.Commit();
  EXPECT_EQ(dir.Bytes("t.txt"), "new");
  EXPECT_EQ(dir.EntryCount(), 1u);
  struct stat st;
  ASSERT_EQ(stat((dir.Dir() + "/t.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(FileReplacement, ALinkKeepsPointingAtTheNewContent) {
  TempDir dir("replace");
  dir.Put("real.txt", "old");
  ASSERT_EQ(symlink("real.txt", (dir.Dir() + "/link.txt").c_str()), 0);
  FileReplacement out(dir.Path("link.txt"));
  out.Write("new", 3);
  out.Commit();
  EXPECT_EQ(dir.Bytes("real.txt"), "new");
  struct stat st;
  ASSERT_EQ(lstat((dir.Dir() + "/link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A dangling link: the file is created where it points.
  ASSERT_EQ(symlink("later.txt", (dir.Dir() + "/dangling").c_str()), 0);
  ASSERT_EQ(SaveError(dir.Path("dangling"), "made"), 0);
  EXPECT_EQ(dir.Bytes("later.txt"), "made");
  EXPECT_TRUE(S_ISLNK(ModeOf(dir.Dir() + "/dangling")));

  // A /proc/self/fd link of a deleted file reads "... (deleted)": no file
  // of that name is made beside it.
  const int gone = open((dir.Dir() + "/gone").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(gone, 0);
  unlink((dir.Dir() + "/gone").c_str());
  EXPECT_EQ(SaveError(FromUtf8("/proc/self/fd/" + std::to_string(gone)), "x"), ESTALE);
  close(gone);
  EXPECT_EQ(dir.EntryCount(), 4u);
}

TEST(FileReplacement, PrivateFilesStayPrivateAndNewFilesGetTheirModeFromTheStart) {
  TempDir dir("replace");
  dir.Put("secret", "old");
  chmod((dir.Dir() + "/secret").c_str(), 0600);
  ASSERT_EQ(SaveError(dir.Path("secret"), "new"), 0);
  EXPECT_EQ(ModeOf(dir.Dir() + "/secret") & 07777, 0600u);

  // While a new file is written, its temporary file already has the mode
  // it will keep: there is no moment in which it is readable by others.
  FileReplacement out(dir.Path("fresh"), 0600);
  out.Write("abc", 3);
  for (const auto& e : std::filesystem::directory_iterator(dir.Dir())) {
    EXPECT_EQ(ModeOf(e.path()) & 077, 0u) << e.path();
  }
  EXPECT_EQ(out.Mode(), 0600u);
  out.Commit();
  EXPECT_EQ(dir.Bytes("fresh"), "abc");
  EXPECT_EQ(ModeOf(dir.Dir() + "/fresh") & 07777, 0600u);
  EXPECT_EQ(dir.EntryCount(), 2u);
}

// A new file takes its name only if nobody took it meanwhile: a file made
// there by someone else is not overwritten.
// A new file is written without a name until it is complete, so even a
// kill that no handler sees leaves nothing in the directory.
TEST(FileReplacement, ANewFileLeavesNothingWhenTheProgramIsKilled) {
  TempDir dir("replace");
  const int probe = open(dir.Dir().c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (probe < 0) GTEST_SKIP() << "this file system has no unnamed files: " << strerror(errno);
  close(probe);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileReplacement out(dir.Path("t.txt"));
    out.Write(kLong.data(), kLong.size());
    raise(SIGKILL);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(dir.EntryCount(), 0u);
}

// Devices, FIFOs and links to them are written where they are; sockets and
// directories are refused.  The old save replaced each of them by a
// regular file.
TEST(FileReplacement, DevicesAndFifosAreWrittenNotReplaced) {
  TempDir dir("replace");
  const std::string fifo = dir.Dir() + "/fifo";
  ASSERT_EQ(symlink("fifo", (dir.Dir() + "/fifolink").c_str()), 0);
  for (const char* name : {"fifo", "fifolink"}) {
    SCOPED_TRACE(name);
    FifoReader reader(fifo);
    EXPECT_EQ(SaveError(dir.Path(name), "through the pipe"), 0);
    EXPECT_EQ(reader.Finish(), "through the pipe");
  }
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
  // Nobody reads: a clear error at once, not a hang.
  EXPECT_EQ(SaveError(dir.Path("fifo"), "x"), ENXIO);
  EXPECT_EQ(SaveError(dir.Path("fifolink"), "x"), ENXIO);

  // A pipe reached through /proc/self/fd, as `--out /dev/stdout` does.
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  EXPECT_EQ(SaveError(FromUtf8("/proc/self/fd/" + std::to_string(pipe_fds[1])), "piped"), 0);
  close(pipe_fds[1]);
  char buf[16] = {};
  EXPECT_EQ(read(pipe_fds[0], buf, sizeof buf), 5);
  EXPECT_EQ(std::string(buf), "piped");
  close(pipe_fds[0]);

  const int sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock_path = dir.Dir() + "/sock";
  ASSERT_LT(sock_path.size(), sizeof addr.sun_path);
  std::copy(sock_path.begin(), sock_path.end(), addr.sun_path);
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_EQ(SaveError(dir.Path("sock"), "x"), ENXIO);
  close(sock);
  EXPECT_TRUE(S_ISSOCK(ModeOf(sock_path)));
  std::filesystem::create_directory(dir.Dir() + "/sub");
  EXPECT_EQ(SaveError(dir.Path("sub"), "x"), EISDIR);
  EXPECT_EQ(dir.EntryCount(), 4u);  // fifo, fifolink, sock, sub: no temporary file
}

TEST(FileReplacement, ACharacterDeviceIsWrittenNotReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  TempDir dir("replace");
  const std::string null_dev = dir.Dir() + "/null";  // a private node of /dev/null
  if (mknod(null_dev.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "mknod refused here (a container without the capability?)";
  }
  ASSERT_EQ(symlink("null", (dir.Dir() + "/link").c_str()), 0);
  for (const char* name : {"null", "link"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(SaveError(dir.Path(name), kLong), 0);
    EXPECT_TRUE(S_ISCHR(ModeOf(null_dev)));
  }
  EXPECT_EQ(dir.EntryCount(), 2u);
}

// The form for a walker that holds directory descriptors: names are single
// entries of that directory, and a link there is refused, not followed.
TEST(FileReplacement, AtADirectoryDescriptor) {
  TempDir dir("replace");
  TempDir outside("replace_out");
  outside.Put("victim", "untouched");
  ASSERT_EQ(symlink((outside.Dir() + "/victim").c_str(), (dir.Dir() + "/link").c_str()), 0);
  const int dfd = open(dir.Dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(dfd, 0);
  {
    FileReplacement out(dfd, "new\xE9", 0640);  // not UTF-8: the same bytes on disk
    out.Write("at", 2);
    out.Commit();
  }
  EXPECT_EQ(dir.Bytes("new\xE9"), "at");
  auto error_at = [&](const char* name) {
    try {
      FileReplacement out(dfd, name);
      return 0;
    } catch (const EInOutError& e) {
      return e.ErrorCode();
    }
  };
  EXPECT_EQ(error_at("link"), ELOOP);
  EXPECT_EQ(error_at("../x"), EINVAL);
  EXPECT_EQ(error_at(""), EINVAL);
  // The caller's descriptor is used, not taken over: still open.
  EXPECT_EQ(fcntl(dfd, F_GETFD), FD_CLOEXEC);
  EXPECT_EQ(close(dfd), 0);
  EXPECT_EQ(outside.Bytes("victim"), "untouched");
  EXPECT_TRUE(S_ISLNK(ModeOf(dir.Dir() + "/link")));
  EXPECT_EQ(dir.EntryCount(), 2u);
}

// Another user who can write the directory swaps links in place of the
// temporary files while saves run: the saves write only through the
// descriptors they created, so nothing outside the directory changes.
TEST(FileReplacement, LinksSwappedInForTheTemporaryFileLeadNowhere) {
  TempDir dir("replace");
  TempDir outside("replace_out");
  outside.Put("victim", "untouched");
  const std::string victim = outside.Dir() + "/victim";
  std::atomic<bool> stop{false};
  std::atomic<int> swapped{0};
  std::thread attacker([&] {
    while (!stop.load()) {
      std::error_code ec;
      for (const auto& e : std::filesystem::directory_iterator(dir.Dir(), ec)) {
        const std::string name = e.path().filename();
        if (name.rfind(".t.txt.", 0) != 0) continue;
        if (unlink(e.path().c_str()) == 0 && symlink(victim.c_str(), e.path().c_str()) == 0) {
          ++swapped;
        }
      }
    }
  });
  int spoiled = 0;
  for (int i = 0; i < 300; ++i) {
    try {
      FileReplacement out(dir.Path("t.txt"));
      out.Write(kLong.data(), kLong.size());
      out.Commit();
    } catch (const EInOutError&) {
      ++spoiled;  // a save the attacker spoiled may fail; it must not write elsewhere
    }
    ASSERT_EQ(outside.Bytes("victim"), "untouched") << "after save " << i;
    // A link that got the target's name in a lost race would be written
    // through by the next save, as any link is: take it away.
    if (S_ISLNK(ModeOf(dir.Dir() + "/t.txt"))) {
      ++spoiled;
      unlink((dir.Dir() + "/t.txt").c_str());
    }
  }
  stop = true;
  attacker.join();
  EXPECT_EQ(outside.Bytes("victim"), "untouched");
  RecordProperty("swaps", swapped.load());
  RecordProperty("spoiled", spoiled);
}

// In a sticky, world-writable directory a link of another user is not
// followed, as the kernel refuses for open().
TEST(FileReplacement, AStrangersLinkInAStickyDirectoryIsNotFollowed) {
  if (geteuid() != 0) GTEST_SKIP() << "a link owned by another user needs root to make";
  TempDir dir("replace");
  TempDir outside("replace_out");
  outside.Put("victim", "untouched");
  ASSERT_EQ(chmod(dir.Dir().c_str(), 01777), 0);
  const std::string link = dir.Dir() + "/link";
  ASSERT_EQ(symlink((outside.Dir() + "/victim").c_str(), link.c_str()), 0);
  ASSERT_EQ(lchown(link.c_str(), 65534, 65534), 0);
  EXPECT_EQ(SaveError(FromUtf8(link), "x"), EACCES);
  EXPECT_EQ(outside.Bytes("victim"), "untouched");
  ASSERT_EQ(lchown(link.c_str(), 0, 0), 0);  // our own link is followed
  EXPECT_EQ(SaveError(FromUtf8(link), "x"), 0);
  EXPECT_EQ(outside.Bytes("victim"), "x");
}

TEST(FileReplacement, AMissingDirectoryOrAReadOnlyFileIsAnError) {
  TempDir dir("replace");
  EXPECT_THROW(FileReplacement(dir.Path("no/such/t.txt")), EInOutError);
  dir.Put("ro.txt", "keep");
  chmod((dir.Dir() + "/ro.txt").c_str(), 0444);
  EXPECT_THROW(FileReplacement(dir.Path("ro.txt")), EInOutError);
  EXPECT_EQ(dir.Bytes("ro.txt"), "keep");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

// A save that fails part-way (here a file-size limit, as a full disk would)
// or stops with an exception leaves the old file and no temporary file.
TEST(TextFileRewriteReplacing, FailedSavesLeaveTheOldFile) {
  TempDir dir("replace");
  dir.Put("t.txt", "old content");
  {
    FileSizeLimit limit(100);
    TextFile f(dir.Path("t.txt"));
    f.RewriteReplacing();
    f.Write(FromUtf8(kLong));
    EXPECT_THROW(f.Close(), EInOutError);
  }
  EXPECT_EQ(dir.Bytes("t.txt"), "old content");
  EXPECT_EQ(dir.EntryCount(), 1u);

  try {
    TextFile f(dir.Path("t.txt"));
    f.RewriteReplacing();
    f.WriteLn(u"half of it");
    throw std::runtime_error("the writer stops");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(dir.Bytes("t.txt"), "old content");
  EXPECT_EQ(dir.EntryCount(), 1u);

  TextFile f(dir.Path("t.txt"));
  f.RewriteReplacing();
  f.WriteLn(u"all of it");
  f.Close();
  EXPECT_EQ(dir.Bytes("t.txt"), "all of it\r\n");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(TextFileRewriteReplacing, WithChecksOffTheFailureIsTheResult) {
  TempDir dir("replace");
  dir.Put("t.txt", "old");
  FileSizeLimit limit(100);
  TextFile f(dir.Path("t.txt"));
  f.SetIOChecks(false);
  f.RewriteReplacing();
  f.Write(FromUtf8(kLong));
  f.Close();
  EXPECT_NE(f.IOResult(), 0);
  EXPECT_EQ(dir.Bytes("t.txt"), "old");
}

TEST(MemoryStreamSaveToFile, AFailedSaveLeavesTheOldFile) {
  TempDir dir("replace");
  dir.Put("m.bin", "old");
  TMemoryStream m;
  m.WriteBuffer(kLong.data(), static_cast<int64_t>(kLong.size()));
  {
    FileSizeLimit limit(100);
    EXPECT_THROW(m.SaveToFile(dir.Path("m.bin")), EInOutError);
  }
  EXPECT_EQ(dir.Bytes("m.bin"), "old");
  m.SaveToFile(dir.Path("m.bin"));
  EXPECT_EQ(dir.Bytes("m.bin"), kLong);
  EXPECT_EQ(dir.EntryCount(), 1u);
}

#endif  // !_WIN32

#ifdef _WIN32
// Windows: the save on a directory handle (a C runtime descriptor over it)
// never leaves that directory and takes names as single UTF-16 names.
TEST(FileReplacement, AtADirectoryHandle) {
  TempDir dir("replace");
  dir.Put("old.txt", "old");
  dir.Put("ro.txt", "keep");
  std::filesystem::permissions(dir.Dir() + "/ro.txt", std::filesystem::perms::owner_write |
                                                          std::filesystem::perms::group_write |
                                                          std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  std::filesystem::create_directory(dir.Dir() + "/adir");
  const HANDLE h = CreateFileW(std::filesystem::path(dir.Dir()).wstring().c_str(),
                               FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const int dfd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY);
  ASSERT_GE(dfd, 0);
  {
    FileReplacement out(dfd, String(u"new\u00E9"), 0640);
    out.Write("at", 2);
    EXPECT_EQ(dir.EntryCount(), 4u);  // the temporary file beside adir, old.txt, ro.txt
    out.Commit();
  }
  {
    // The name as UTF-16, not through the narrow code page.
    std::ifstream in(std::filesystem::path(dir.Dir()) / std::filesystem::path(u"new\u00E9"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "at");
  }
  {
    FileReplacement out(dfd, std::string_view("old.txt"));
    out.Write("replaced", 8);
    EXPECT_EQ(dir.Bytes("old.txt"), "old");  // nothing visible before the commit
    out.Commit();
  }
  EXPECT_EQ(dir.Bytes("old.txt"), "replaced");
  {
    FileReplacement out(dfd, String(u"abandoned"));
    out.Write("x", 1);
  }
  {
    FileReplacement out(dfd, String(u"raced"));
    out.Write("mine", 4);
    dir.Put("raced", "theirs");
    try {
      out.Commit();
      ADD_FAILURE() << "the commit overwrote a file created meanwhile";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), EEXIST);
    }
  }
  EXPECT_EQ(dir.Bytes("raced"), "theirs");
  auto error_at = [&](const String& name) {
    try {
      FileReplacement out(dfd, name);
      return 0;
    } catch (const EInOutError& e) {
      return e.ErrorCode();
    }
  };
  struct Case {
    const char16_t* name;
    int err;
  } cases[] = {{u"", EINVAL}, {u"..\\x", EINVAL}, {u"a/b", EINVAL}, {u"..", EINVAL}, {u"old.txt:s", EINVAL},
               {u"adir", EISDIR}, {u"ro.txt", EACCES}};
  for (const Case& c : cases) EXPECT_EQ(error_at(c.name), c.err) << ToUtf8(c.name);
  EXPECT_EQ(_close(dfd), 0);  // the caller's descriptor, still open
  EXPECT_EQ(dir.Bytes("ro.txt"), "keep");
  EXPECT_EQ(dir.EntryCount(), 5u);  // adir newé old.txt raced ro.txt: no temporary file
  std::filesystem::permissions(dir.Dir() + "/ro.txt", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}
#endif  // _WIN32

}  // namespace
}  // namespace zel
