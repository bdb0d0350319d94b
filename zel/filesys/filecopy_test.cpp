#include "zel/filesys/filecopy.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
    for (const auto& e : fs::directory_iterator(Dir())) out.push_back(e.path().filename());
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
  // A replaced file keeps its own mode unless attributes are copied.
  Put("old", "previous");
  chmod((Dir() + "/old").c_str(), 0604);
  ASSERT_EQ(FileCopyFeedBk(Path("ro"), Path("old"), false, nullptr), fcOK);
  EXPECT_EQ(Bytes("old"), "x");
  EXPECT_EQ(mode("old"), 0604u);
}

TEST_F(FileCopyTest, FailuresLeaveNothingBehind) {
  Put("src", Pattern(50000));
  Put("guarded", "keep me");
  chmod((Dir() + "/guarded").c_str(), 0444);  // read-only by its mode, even for root
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

}  // namespace
}  // namespace zel
