#include "zel/platform/internal/treewalk_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "zel/platform/hostfs.h"
#include "zel/platform/syserror.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

detail::FileIdW IdOf(const std::string& path) {
  detail::ScopedHandle h(detail::OpenDirPath(FromUtf8(path), false));
  detail::FileIdW id;
  EXPECT_NE(h.get(), nullptr) << path;
  if (h.get() != nullptr) {
    EXPECT_EQ(detail::IdOfHandle(h.get(), id), 0);
  }
  return id;
}

TEST(TreeWalkWin, OpenDirAtTakesSingleNamesOnly) {
  testutil::TempDir dir("treewalk");
  fs::create_directories(dir.Dir() + "/sub/inner");
  dir.Put("file", "x");
  detail::ScopedHandle root(detail::OpenDirPath(FromUtf8(dir.Dir()), true));
  ASSERT_NE(root.get(), nullptr);
  const detail::FileIdW sub = IdOf(dir.Dir() + "/sub");
  const detail::FileIdW inner = IdOf(dir.Dir() + "/sub/inner");
  struct Case {
    const char16_t* name;
    const detail::FileIdW* expected;
    int err;
  } cases[] = {
      {u"sub", nullptr, 0},         {u"SUB", &sub, 0},  // one name without regard to case
      {u"sub", &inner, ESTALE},     {u"", nullptr, EINVAL},
      {u".", nullptr, EINVAL},      {u"..", nullptr, EINVAL},
      {u"sub\\inner", nullptr, EINVAL}, {u"sub/inner", nullptr, EINVAL},
      {u"file", nullptr, ENOTDIR},  {u"missing", nullptr, ENOENT},
      {u"sub:stream", nullptr, EINVAL},  // a stream of "sub", never
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    errno = 0;
    detail::ScopedHandle h(detail::OpenDirAt(root.get(), c.name, c.expected));
    EXPECT_EQ(h.get() == nullptr ? errno : 0, c.err);
  }
  // The single calls refuse paths as well: nothing below is touched.
  EXPECT_EQ(detail::RemoveAt(root.get(), u"sub\\inner", true), EINVAL);
  EXPECT_EQ(detail::RemoveAt(root.get(), u"sub", false), EISDIR);
  EXPECT_EQ(detail::RenameAtNoReplace(root.get(), u"file", root.get(), u"sub\\moved"), EINVAL);
  EXPECT_EQ(detail::RenameAtNoReplace(root.get(), u"file", root.get(), u"sub"), EEXIST);
  EXPECT_EQ(detail::CreateFileAt(root.get(), u"file:stream", GENERIC_WRITE, 0), nullptr);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_TRUE(fs::exists(dir.Dir() + "/sub/inner"));
  EXPECT_EQ(dir.Bytes("file"), "x");
}

// The codes the walker reports that the C runtime has no text for read as
// on POSIX hosts, not "Unknown error".
TEST(TreeWalkWin, ErrorsOfTheWalkHaveTheirOwnMessages) {
  EXPECT_EQ(SysErrorMessage(ESTALE), u"Stale file handle");
  EXPECT_EQ(SysErrorMessage(ELOOP), u"Too many levels of symbolic links");
  EXPECT_EQ(SysErrorMessage(ECANCELED), u"Operation canceled");
  EXPECT_EQ(SysErrorMessage(EINVAL), u"Invalid argument");
}

// Records the walk: "dir\" as it is listed, "dir\name" for each entry,
// "<dir\name" when the walk is back from a subdirectory.
class Recorder : public detail::TreeVisitor {
 public:
  std::vector<std::string> log;
  std::vector<int> errors;
  void OnDir(const String& rel) override { log.push_back(ToUtf8(rel)); }
  void OnEntry(HANDLE, const detail::DirEntry& e, const String& rel) override {
    log.push_back(ToUtf8(rel + e.name));
  }
  void LeaveDir(HANDLE dir, const detail::DirEntry& e, const String& rel, bool complete) override {
    log.push_back("<" + ToUtf8(rel + e.name) + (complete && dir != nullptr ? "" : " incomplete"));
  }
  void OnError(const String&, int err) override { errors.push_back(err); }
};

TEST(TreeWalkWin, FilesBeforeSubdirectoriesThroughABoundedChain) {
  testutil::TempDir dir("treewalk");
  // Twelve levels, each with one file: deeper than the chain keeps open
  // below, so every level above is opened again on the way up.
  std::string rel;
  for (int i = 0; i < 12; ++i) {
    rel += (i ? "/" : "") + std::string("d") + std::to_string(i);
    fs::create_directories(dir.Dir() + "/" + rel);
    dir.Put(rel + "/f", "x");
  }
  Recorder rec;
  ASSERT_TRUE(detail::WalkTree(detail::OpenDirPath(FromUtf8(dir.Dir()), true), rec));
  EXPECT_TRUE(rec.errors.empty());
  ASSERT_EQ(rec.log.size(), 1u + 12 * 3);
  EXPECT_EQ(rec.log[0], "");
  EXPECT_EQ(rec.log[1], "d0\\");
  EXPECT_EQ(rec.log[2], "d0\\f");
  EXPECT_EQ(rec.log[3], "d0\\d1\\");
  EXPECT_EQ(rec.log.back(), "<d0");

  detail::DirChain chain(3);
  ASSERT_TRUE(chain.Start(detail::OpenDirPath(FromUtf8(dir.Dir()), true)));
  std::string path = dir.Dir();
  std::vector<detail::FileIdW> ids{IdOf(path)};
  for (int i = 0; i < 12; ++i) {
    path += "/d" + std::to_string(i);
    ids.push_back(IdOf(path));
    ASSERT_EQ(chain.Push(FromUtf8("d" + std::to_string(i)), &ids.back()), 0) << i;
  }
  while (chain.Depth() > 1) {
    ASSERT_EQ(chain.Pop(), 0) << chain.Depth();
    detail::FileIdW id;
    ASSERT_NE(chain.Top(), nullptr);
    ASSERT_EQ(detail::IdOfHandle(chain.Top(), id), 0);
    EXPECT_TRUE(detail::SameFileId(id, ids[chain.Depth() - 1])) << chain.Depth();
  }
}

TEST(TreeWalkWin, ALevelSwappedWhileItsHandleWasClosedIsRefused) {
  testutil::TempDir dir("treewalk");
  fs::create_directories(dir.Dir() + "/a/b/c/d/e");
  fs::create_directories(dir.Dir() + "/other");
  detail::DirChain chain(3);
  ASSERT_TRUE(chain.Start(detail::OpenDirPath(FromUtf8(dir.Dir()), true)));
  for (const char16_t* name : {u"a", u"b", u"c", u"d", u"e"}) ASSERT_EQ(chain.Push(name, nullptr), 0);
  // "b" is closed by now; another directory takes its name.
  std::error_code ec;
  fs::rename(dir.Dir() + "/a/b", dir.Dir() + "/moved", ec);
  if (ec) GTEST_SKIP() << "this host does not rename a directory with open handles below it: " << ec.message();
  fs::rename(dir.Dir() + "/other", dir.Dir() + "/a/b");
  int err = 0;
  while (chain.Depth() > 2 && err == 0) err = chain.Pop();
  EXPECT_EQ(err, ESTALE);
  EXPECT_EQ(chain.Top(), nullptr);
}

// Links need a host that makes them: Windows with the privilege or the
// developer mode; Wine 8 reports success and makes nothing.
bool MakeDirLinkOrSkip(const std::string& target, const std::string& link) {
  if (!CreateSymLink(FromUtf8(target), FromUtf8(link))) return false;
  TFileInfo info;
  return GetFileInfo(FromUtf8(link), info, false) && (info.Attr & faSymLink);
}

TEST(TreeWalkWin, LinksAreEntriesNeverEntered) {
  testutil::TempDir dir("treewalk");
  testutil::TempDir outside("treewalk_out");
  outside.Put("secret", "outside");
  fs::create_directories(dir.Dir() + "/t");
  if (!MakeDirLinkOrSkip(outside.Dir(), dir.Dir() + "/t/out")) {
    GTEST_SKIP() << "this host makes no symbolic links (Wine 8 reports success and makes none)";
  }
  Recorder rec;
  ASSERT_TRUE(detail::WalkTree(detail::OpenDirPath(FromUtf8(dir.Dir() + "/t"), true), rec));
  EXPECT_EQ(rec.log, (std::vector<std::string>{"", "out"}));
  String target;
  ASSERT_TRUE(ReadSymLink(FromUtf8(dir.Dir() + "/t/out"), target));
  EXPECT_EQ(ToUtf8(target), outside.Dir());
  detail::ScopedHandle t(detail::OpenDirPath(FromUtf8(dir.Dir() + "/t"), true));
  errno = 0;
  EXPECT_EQ(detail::OpenDirAt(t.get(), u"out", nullptr), nullptr);
  EXPECT_EQ(errno, ELOOP);
  EXPECT_EQ(detail::RemoveAt(t.get(), u"out", false), 0);
  EXPECT_EQ(outside.Bytes("secret"), "outside");
}

}  // namespace
}  // namespace zel
