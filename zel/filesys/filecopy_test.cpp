#include "zel/filesys/filecopy.h"

#include <gtest/gtest.h>
#include <errno.h>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "zel/filesys/internal/copyfile.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::pair<int64_t, int64_t>>;

// The feedback records its calls; `abort_at` (1-based) aborts from inside
// the call of that number.
Calls calls;
size_t abort_at = 0;
void Record(int64_t done, int64_t size) {
  calls.emplace_back(done, size);
  if (calls.size() == abort_at) AbortAnyFileCopying();
}

class FileCopyTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  FileCopyTest() : TempDir("filecopy") {
    calls.clear();
    abort_at = 0;
  }
  static std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + i / 8192) & 0xFF);
    return s;
  }
  // Names in the directory, so a leftover temporary file shows.
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(Dir())) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(FileCopyTest, FeedbackPerBlockAsIfReadBlockByBlock) {
  // The text's example first, then the sizes around a block and around the
  // larger chunk the copy really reads.
  Put("ex", Pattern(20000));
  ASSERT_EQ(FileCopyFeedBk(Path("ex"), Path("ex.out"), false, Record), fcOK);
  EXPECT_EQ(calls, (Calls{{0, 20000}, {0, 20000}, {8192, 20000}, {16384, 20000}, {20000, 20000}}));

  for (const size_t size : {size_t{0}, size_t{1}, size_t{8191}, size_t{8192}, size_t{8193},
                            size_t{262144}, size_t{262145}, size_t{600000}}) {
    SCOPED_TRACE(size);
    calls.clear();
    const std::string data = Pattern(size);
    Put("src", data);
    ASSERT_EQ(FileCopyFeedBk(Path("src"), Path("dst"), false, Record), fcOK);
    EXPECT_EQ(Bytes("dst"), data);
    const auto n = static_cast<int64_t>(size);
    Calls want{{0, n}};
    for (int64_t done = 0; done <= n; done += 8192) want.emplace_back(done, n);
    want.emplace_back(n, n);
    EXPECT_EQ(calls, want);
  }
}

#ifndef _WIN32
// POSIX hosts: modes, times by utimensat, file-size limits, holes, FIFOs.
TEST_F(FileCopyTest, DestinationDirectoryAndTimeStamp) {
  Put("data.bin", "payload");
  fs::create_directory(Dir() + "/into");
  const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 123456700}};
  ASSERT_EQ(utimensat(AT_FDCWD, (Dir() + "/data.bin").c_str(), times, 0), 0);
  for (const char* dest : {"into", "into/"}) {
    ASSERT_EQ(FileCopyFeedBk(Path("data.bin"), Path(dest), false, nullptr), fcOK) << dest;
    EXPECT_EQ(Bytes("into/data.bin"), "payload");
  }
  struct stat st;
  ASSERT_EQ(stat((Dir() + "/into/data.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456700);
}

TEST_F(FileCopyTest, AttributesCopiedWithOwnerWriteOrKept) {
  Put("ro", "x");
  chmod((Dir() + "/ro").c_str(), 0440);
  auto mode = [&](const char* name) {
    struct stat st;
    return stat((Dir() + "/" + name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
  };
  ASSERT_EQ(FileCopyFeedBk(Path("ro"), Path("with"), true, nullptr), fcOK);
  EXPECT_EQ(mode("with"), 0640u);
  // A replaced file keeps its own mode unless attributes are copied, less
  // what the source denies group and others: the copy is not readable by
  // more people than the source.
  Put("old", "previous");
  chmod((Dir() + "/old").c_str(), 0664);
  ASSERT_EQ(FileCopyFeedBk(Path("ro"), Path("old"), false, nullptr), fcOK);
  EXPECT_EQ(Bytes("old"), "x");
  EXPECT_EQ(mode("old"), 0640u);
}

// A private source is never copied into a file that others may read, not
// even while the copy is written: every file of the directory is looked at
// from the feedback, during the copy.
std::string watched_dir;
bool saw_wider = false;
void CheckModes(int64_t, int64_t) {
  for (const auto& e : fs::directory_iterator(watched_dir)) {
    struct stat st;
    if (lstat(e.path().c_str(), &st) == 0 && (st.st_mode & 077) != 0) saw_wider = true;
  }
}

TEST_F(FileCopyTest, APrivateFileIsNeverVisibleWithWiderPermissions) {
  Put("secret", Pattern(100000));
  chmod((Dir() + "/secret").c_str(), 0600);
  watched_dir = Dir();
  for (const bool attribs : {false, true}) {
    saw_wider = false;
    ASSERT_EQ(FileCopyFeedBk(Path("secret"), Path(attribs ? "a" : "b"), attribs, CheckModes), fcOK);
    EXPECT_FALSE(saw_wider) << attribs;
  }
  struct stat st;
  ASSERT_EQ(stat((Dir() + "/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);
}

// A file-size limit (as a full disk) fails the copy part-way: no file is
// left under the final name, nor a temporary one when the error is seen
// (SIGXFSZ ignored, the write fails with EFBIG).  When the signal kills the
// program instead, the final name still never shows the partial copy.
TEST_F(FileCopyTest, AFileSizeLimitLeavesNoPartialDestination) {
  Put("src", Pattern(300000));
  for (const bool ignore_signal : {true, false}) {
    SCOPED_TRACE(ignore_signal);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, ignore_signal ? SIG_IGN : SIG_DFL);
      rlimit limit{100000, 100000};
      setrlimit(RLIMIT_FSIZE, &limit);
      _exit(-FileCopyFeedBk(Path("src"), Path("dst"), false, nullptr));
    }
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child);
    if (ignore_signal) {
      ASSERT_TRUE(WIFEXITED(wstatus));
      EXPECT_EQ(-WEXITSTATUS(wstatus), fcWriteError);
      EXPECT_EQ(Names(), std::vector<std::string>{"src"});
    } else {
      ASSERT_TRUE(WIFSIGNALED(wstatus));
      EXPECT_EQ(WTERMSIG(wstatus), SIGXFSZ);
      EXPECT_FALSE(fs::exists(Dir() + "/dst"));
    }
  }
}

// The holes of a sparse file stay holes in the copy.
TEST_F(FileCopyTest, SparseFilesKeepTheirHoles) {
  const std::string src = Dir() + "/sparse";
  const int fd = open(src.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block = Pattern(4096);
  const off_t size = off_t{64} << 20;
  for (const off_t at : {off_t{0}, off_t{20} << 20, size - 4096}) {
    ASSERT_EQ(pwrite(fd, block.data(), block.size(), at), 4096);
  }
  close(fd);
  struct stat st;
  ASSERT_EQ(stat(src.c_str(), &st), 0);
  {
    const int probe = open(src.c_str(), O_RDONLY | O_CLOEXEC);
    const off_t hole = lseek(probe, 0, SEEK_HOLE);
    close(probe);
    if (hole >= size || st.st_blocks * 512 >= size) {
      GTEST_SKIP() << "this file system does not keep holes";
    }
  }
  ASSERT_EQ(FileCopyFeedBk(Path("sparse"), Path("copy"), false, Record), fcOK);
  EXPECT_EQ(calls.size(), static_cast<size_t>(size / 8192 + 3));  // block feedback as for any file
  struct stat copy;
  ASSERT_EQ(stat((Dir() + "/copy").c_str(), &copy), 0);
  EXPECT_EQ(copy.st_size, size);
  EXPECT_LE(copy.st_blocks, st.st_blocks + 64) << "the holes were written as data";
  std::ifstream a(src, std::ios::binary), b(Dir() + "/copy", std::ios::binary);
  std::vector<char> x(1 << 20), y(1 << 20);
  for (off_t at = 0; at < size; at += 1 << 20) {
    a.read(x.data(), 1 << 20);
    b.read(y.data(), 1 << 20);
    ASSERT_TRUE(a && b && x == y) << "differs in the MiB at " << at;
  }
}

// The copy between directory descriptors never follows a link at either
// end and never blocks on a FIFO.
TEST_F(FileCopyTest, CopyFileAtStaysInsideItsDirectories) {
  testutil::TempDir outside("filecopy_out");
  outside.Put("victim", "untouched");
  Put("src", Pattern(20000));
  fs::create_directory(Dir() + "/to");
  ASSERT_EQ(symlink((outside.Dir() + "/victim").c_str(), (Dir() + "/to/link").c_str()), 0);
  ASSERT_EQ(symlink((outside.Dir() + "/victim").c_str(), (Dir() + "/srclink").c_str()), 0);
  ASSERT_EQ(mkfifo((Dir() + "/fifo").c_str(), 0600), 0);
  const int from = open(Dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int to = open((Dir() + "/to").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(from, 0);
  ASSERT_GE(to, 0);
  auto forward = [](void*, int64_t done, int64_t size) { Record(done, size); };
  struct Case {
    const char* source;
    const char* dest;
    int status;
  } cases[] = {
      {"src", "copy", fcOK},
      {"srclink", "other", fcSourceError},
      {"fifo", "other", fcSourceError},
      {"to", "other", fcSourceError},
      {"missing", "other", fcSourceError},
      {"src", "link", fcCreateError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " -> " + c.dest);
    calls.clear();
    EXPECT_EQ(detail::CopyFileAt(from, c.source, to, c.dest, false, forward, nullptr), c.status);
    if (c.status == fcOK) {
      EXPECT_EQ(calls, (Calls{{0, 20000}, {0, 20000}, {8192, 20000}, {16384, 20000},
                              {20000, 20000}}));
    }
  }
  close(from);
  close(to);
  EXPECT_EQ(Bytes("to/copy"), Pattern(20000));
  EXPECT_EQ(outside.Bytes("victim"), "untouched");
  EXPECT_TRUE(fs::is_symlink(Dir() + "/to/link"));
  std::vector<std::string> in_to;
  for (const auto& e : fs::directory_iterator(Dir() + "/to")) in_to.push_back(e.path().filename());
  std::sort(in_to.begin(), in_to.end());
  EXPECT_EQ(in_to, (std::vector<std::string>{"copy", "link"}));
}

#endif  // !_WIN32

TEST_F(FileCopyTest, FailuresLeaveNothingBehind) {
  Put("src", Pattern(50000));
  Put("guarded", "keep me");
  fs::permissions(Dir() + "/guarded", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);  // read-only by its mode, even for root
  fs::create_directory(Dir() + "/adir");
  fs::create_directory(Dir() + "/adir/src");  // the joined destination is a directory
  struct Case {
    const char* source;
    const char* dest;
    int status;
    size_t feedback_calls;
  } cases[] = {
      {"missing", "out", fcSourceError, 0},
      {"adir", "out", fcSourceError, 0},  // a directory is no source
      {"src", "no/such/dir/out", fcCreateError, 2},
      {"src", "guarded", fcCreateError, 2},
      {"src", "adir", fcCreateError, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " -> " + c.dest);
    calls.clear();
    EXPECT_EQ(FileCopyFeedBk(Path(c.source), Path(c.dest), false, Record), c.status);
    EXPECT_EQ(calls.size(), c.feedback_calls);
  }
  EXPECT_EQ(Bytes("guarded"), "keep me");
  EXPECT_EQ(Names(), (std::vector<std::string>{"adir", "guarded", "src"}));
}

TEST_F(FileCopyTest, AbortFromOwnFeedbackRemovesPartialCopy) {
  const std::string data = Pattern(100000);
  Put("src", data);
  abort_at = 3;  // inside the feedback of the second block
  EXPECT_EQ(FileCopyFeedBk(Path("src"), Path("dst"), false, Record), fcAborted);
  EXPECT_EQ(calls, (Calls{{0, 100000}, {0, 100000}, {8192, 100000}, {16384, 100000}}));
  EXPECT_EQ(Names(), std::vector<std::string>{"src"});

  // An existing destination survives an aborted replacement whole.
  Put("dst", "old content");
  calls.clear();
  EXPECT_EQ(FileCopyFeedBk(Path("src"), Path("dst"), false, Record), fcAborted);
  EXPECT_EQ(Bytes("dst"), "old content");
  EXPECT_EQ(Names(), (std::vector<std::string>{"dst", "src"}));

  // The next copy starts with the switch cleared.
  abort_at = 0;
  EXPECT_EQ(FileCopyFeedBk(Path("src"), Path("dst"), false, nullptr), fcOK);
  EXPECT_EQ(Bytes("dst"), data);
  EXPECT_FALSE(FileCopyingAborted());
}

#ifndef _WIN32
TEST_F(FileCopyTest, SameFileUnderAnyNameIsLeftAlone) {
  Put("f", "content");
  fs::create_hard_link(Dir() + "/f", Dir() + "/hard");
  for (const std::string dest : {"f", "./f", "hard", "."}) {
    SCOPED_TRACE(dest);
    const String d = dest == "./f" ? FromUtf8(Dir() + "/./f") : Path(dest);
    EXPECT_EQ(FileCopyFeedBk(Path("f"), d, false, nullptr), fcOK);
    EXPECT_EQ(Bytes("f"), "content");
  }
  EXPECT_EQ(fs::hard_link_count(Dir() + "/f"), 2u);  // not replaced by a new file
  EXPECT_EQ(Names(), (std::vector<std::string>{"f", "hard"}));
}

TEST_F(FileCopyTest, ReplacingThroughALinkWritesTheLinkedFile) {
  Put("target", "old");
  Put("src", "new");
  fs::create_symlink("target", Dir() + "/link");
  ASSERT_EQ(FileCopyFeedBk(Path("src"), Path("link"), false, nullptr), fcOK);
  EXPECT_TRUE(fs::is_symlink(Dir() + "/link"));
  EXPECT_EQ(Bytes("target"), "new");
}

#endif  // !_WIN32

#ifdef _WIN32
// The copy between directory handles (C runtime descriptors over them):
// the same statuses as on POSIX hosts for the cases Windows has.
TEST_F(FileCopyTest, CopyFileAtStaysInsideItsDirectories) {
  Put("src", Pattern(20000));
  Put("src2", "second");
  fs::create_directory(Dir() + "/to");
  fs::create_directory(Dir() + "/to/adir");
  Put("to/ro", "read-only");
  fs::permissions(Dir() + "/to/ro", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  auto open_dir = [](const std::string& path) {
    const HANDLE h = CreateFileW(fs::path(path).wstring().c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return h == INVALID_HANDLE_VALUE ? -1 : _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY);
  };
  const int from = open_dir(Dir());
  const int to = open_dir(Dir() + "/to");
  ASSERT_GE(from, 0);
  ASSERT_GE(to, 0);
  auto forward = [](void*, int64_t done, int64_t size) { Record(done, size); };
  struct Case {
    const char* source;
    const char* dest;
    int status;
  } cases[] = {
      {"src", "copy", fcOK},
      {"src2", "copy", fcOK},        // replaces the first copy
      {"to", "other", fcSourceError},  // a directory is no source
      {"missing", "other", fcSourceError},
      {"src", "adir", fcCreateError},
      {"src", "ro", fcCreateError},
      {"src", "sub\\name", fcCreateError},  // one name only, never a path
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " -> " + c.dest);
    calls.clear();
    EXPECT_EQ(detail::CopyFileAt(from, c.source, to, c.dest, false, forward, nullptr), c.status);
    if (c.status == fcOK && std::string(c.source) == "src") {
      EXPECT_EQ(calls, (Calls{{0, 20000}, {0, 20000}, {8192, 20000}, {16384, 20000}, {20000, 20000}}));
    }
  }
  _close(from);
  _close(to);
  EXPECT_EQ(Bytes("to/copy"), "second");
  EXPECT_EQ(Bytes("to/ro"), "read-only");
  std::vector<std::string> in_to;
  for (const auto& e : fs::directory_iterator(Dir() + "/to")) in_to.push_back(e.path().filename().string());
  std::sort(in_to.begin(), in_to.end());
  EXPECT_EQ(in_to, (std::vector<std::string>{"adir", "copy", "ro"}));  // no temporary file left
  fs::permissions(Dir() + "/to/ro", fs::perms::owner_write, fs::perm_options::add);
}
#endif  // _WIN32

}  // namespace
}  // namespace zel
