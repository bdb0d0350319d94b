#include "zel/platform/internal/hostassoc.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zel/platform/internal/hostinfo.h"
#include "zel/testutil/envvar.h"
#include "zel/testutil/tempdir.h"

namespace zel::detail {
namespace {

namespace fs = std::filesystem;
using testutil::EnvVar;
using Dirs = std::vector<std::string>;

TEST(XdgDirs, RelativePathsAreIgnored) {
  EnvVar home("HOME", "/home/ann");
  struct Case {
    const char* what;
    std::optional<std::string> own, system;
    Dirs data, config;
  } cases[] = {
      {"absolute", "/d/own", "/d/a:/d/b", {"/d/own", "/d/a", "/d/b"}, {"/d/own", "/d/a", "/d/b"}},
      {"unset", std::nullopt, std::nullopt,
       {"/home/ann/.local/share", "/usr/local/share", "/usr/share"},
       {"/home/ann/.config", "/etc/xdg"}},
      {"relative own", "rel/own", "/d/a", {"/home/ann/.local/share", "/d/a"},
       {"/home/ann/.config", "/d/a"}},
      {"relative entries dropped", "/d/own", "rel:/d/a::./x:/d/b",
       {"/d/own", "/d/a", "/d/b"}, {"/d/own", "/d/a", "/d/b"}},
      {"only relative entries: the default", "/d/own", "rel:x",
       {"/d/own", "/usr/local/share", "/usr/share"}, {"/d/own", "/etc/xdg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EnvVar dh("XDG_DATA_HOME", c.own), dd("XDG_DATA_DIRS", c.system);
    EnvVar ch("XDG_CONFIG_HOME", c.own), cd("XDG_CONFIG_DIRS", c.system);
    EXPECT_EQ(XdgDataDirs(), c.data);
    EXPECT_EQ(XdgConfigDirs(), c.config);
  }
  // Without an absolute $HOME there is no folder of the user's own.
  EnvVar no_home("HOME", "relative");
  EnvVar dh("XDG_DATA_HOME", std::nullopt), dd("XDG_DATA_DIRS", "/d/a");
  EXPECT_EQ(XdgDataDirs(), Dirs{"/d/a"});
}

TEST(KeyFiles, ValuesByGroupAndKey) {
  const std::string text =
      "# comment\n[Desktop Entry]\n Name = Editor \r\nExec=editor %F\nExec=second\n"
      "[Desktop Action new]\nExec=wrong\n[Desktop Entry\nTerminal=bogus\n[Other]\nKey=v=w\n";
  EXPECT_EQ(KeyFileValue(text, "Desktop Entry", "Name"), "Editor");
  EXPECT_EQ(KeyFileValue(text, "Desktop Entry", "Exec"), "editor %F");  // the first
  EXPECT_EQ(KeyFileValue(text, "Desktop Action new", "Exec"), "wrong");
  EXPECT_EQ(KeyFileValue(text, "Desktop Entry", "Terminal"), "");  // "[Desktop Entry" is no group
  EXPECT_EQ(KeyFileValue(text, "Other", "Key"), "v=w");
  EXPECT_EQ(KeyFileValue(text, "Missing", "Exec"), "");
  EXPECT_EQ(KeyFileValue("", "A", "B"), "");
}

TEST(MimeGlobs, WeightsCaseAndOrder) {
  const std::vector<std::string> globs = {
      "60:text/x-first:*.dup\n50:text/lower:*.low\n",
      "# c\n60:text/x-second:*.dup\n90:text/x-heavy:*.low\n50:text/cs:*.CS:cs\n"
      "bad line\n50::*.empty\n50:text/short:*.\n999999999999:text/huge:*.big\n10:text/x-glob:*.j[p]g\n"};
  struct Case {
    const char* ext;
    const char* type;
  } cases[] = {{"dup", "text/x-first"}, {"LOW", "text/x-heavy"}, {"CS", "text/cs"}, {"cs", ""},
               {"empty", ""},           {"big", "text/huge"},    {"JPG", "text/x-glob"},
               {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(MimeTypeFromGlobs(globs, c.ext), c.type) << c.ext;
}

// The default and associated applications across lists, with removals
// applying to the list that makes them and the less important ones.
TEST(Associations, DefaultsAddedAndRemoved) {
  const std::map<std::string, std::string> installed = {
      {"editor.desktop", "[Desktop Entry]\nExec=editor %F\n"},
      {"viewer.desktop", "[Desktop Entry]\nExec=viewer %u\n"},
      {"hidden.desktop", "[Desktop Entry]\nHidden=true\nExec=hidden\n"},
      {"noexec.desktop", "[Desktop Entry]\nName=x\n"},
  };
  const auto desktop = [&](const std::string& id) {
    const auto it = installed.find(id);
    return it == installed.end() ? std::string() : it->second;
  };
  struct Case {
    const char* what;
    std::vector<AssocSource> sources;
    const char* command;
  } cases[] = {
      {"first installed default", {{"[Default Applications]\nt=missing.desktop;hidden.desktop;noexec.desktop;viewer.desktop\n"}}, "viewer %u"},
      {"a more important list removes a default below it",
       {{"[Removed Associations]\nt=editor.desktop\n"},
        {"[Default Applications]\nt=editor.desktop;viewer.desktop\n"}}, "viewer %u"},
      {"a list's own removal counts for its default",
       {{"[Default Applications]\nt=editor.desktop\n[Removed Associations]\nt=editor.desktop\n"},
        {"[Added Associations]\nt=viewer.desktop\n"}}, "viewer %u"},
      {"a less important removal does not count",
       {{"[Default Applications]\nt=editor.desktop\n"}, {"[Removed Associations]\nt=editor.desktop;\n"}},
       "editor %F"},
      {"a default beats an added association above it",
       {{"[Added Associations]\nt=viewer.desktop\n"}, {"[Default Applications]\nt=editor.desktop\n"}},
       "editor %F"},
      {"removed from the cache", {{"[Removed Associations]\nt=editor.desktop\n"}, {"[MIME Cache]\nt=editor.desktop;\n", true}}, ""},
      {"removed added association, the next one",
       {{"[Removed Associations]\nt=editor.desktop\n"},
        {"[Added Associations]\nt=editor.desktop;viewer.desktop\n"}}, "viewer %u"},
      {"a list's additions come before its own removals",
       {{"[Added Associations]\nt=editor.desktop\n[Removed Associations]\nt=editor.desktop\n"}}, "editor %F"},
      {"another type's removal does not count",
       {{"[Removed Associations]\nu=editor.desktop\n"}, {"[MIME Cache]\nt=editor.desktop\n", true}}, "editor %F"},
      {"a cache's groups other than its own do not count",
       {{"[Removed Associations]\nt=viewer.desktop\n", true}, {"[MIME Cache]\nt=viewer.desktop\n", true}},
       "viewer %u"},
      {"ids that are paths are never looked up",
       {{"[Default Applications]\nt=../editor.desktop;/x/editor.desktop;a/editor.desktop\n"}}, ""},
      {"nothing", {}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseOpenCommand("t", c.sources, desktop), c.command) << c.what;
  }
}

// The whole road through the files, in a private XDG world.
class AssocFiles : public ::testing::Test {
 protected:
  testutil::TempDir dir{"hostassoc"};
  EnvVar data_home{"XDG_DATA_HOME", dir.Dir() + "/home"};
  EnvVar data_dirs{"XDG_DATA_DIRS", dir.Dir() + "/sys"};
  EnvVar config_home{"XDG_CONFIG_HOME", dir.Dir() + "/config"};
  EnvVar config_dirs{"XDG_CONFIG_DIRS", dir.Dir() + "/etc"};
  EnvVar desktop{"XDG_CURRENT_DESKTOP", std::nullopt};

  void Put(const std::string& rel, const std::string& text) {
    fs::create_directories((fs::path(dir.Dir()) / rel).parent_path());
    dir.Put(rel, text);
  }
  void SetUp() override {
    Put("sys/mime/globs2", "50:text/plain:*.txt\n");
    Put("sys/applications/editor.desktop", "[Desktop Entry]\nExec=editor %F\n");
    Put("sys/applications/viewer.desktop", "[Desktop Entry]\nExec=viewer %u\n");
    Put("sys/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=editor.desktop;viewer.desktop;\n");
  }
};

TEST_F(AssocFiles, RemovedAssociationsOfTheUser) {
  EXPECT_EQ(OpenCommandForExtension("txt"), "editor %F");
  Put("config/mimeapps.list", "[Removed Associations]\ntext/plain=editor.desktop\n");
  EXPECT_EQ(OpenCommandForExtension("txt"), "viewer %u");
}

TEST_F(AssocFiles, ARelativeDataHomeIsNotRead) {
  // A data home given relative to the current folder: ignored, so its
  // globs and lists give nothing, even where they would be found.
  Put("rel/mime/globs2", "90:text/x-rel:*.txt\n");
  Put("rel/applications/rel.desktop", "[Desktop Entry]\nExec=relative\n");
  Put("rel/applications/mimeapps.list", "[Default Applications]\ntext/x-rel=rel.desktop\n");
  const std::string relative = fs::relative(dir.Dir() + "/rel").string();
  ASSERT_FALSE(relative.empty());
  ASSERT_NE(relative[0], '/');
  EnvVar rel_home("XDG_DATA_HOME", relative);
  EXPECT_EQ(MimeTypeForExtension("txt"), "text/plain");
  EXPECT_EQ(OpenCommandForExtension("txt"), "editor %F");
}

TEST_F(AssocFiles, AFifoOrFolderInPlaceOfAFileIsNotWaitedFor) {
  fs::create_directories(dir.Dir() + "/config");
  ASSERT_EQ(mkfifo((dir.Dir() + "/config/mimeapps.list").c_str(), 0600), 0);
  fs::create_directories(dir.Dir() + "/home/mime/globs2");  // a folder
  ASSERT_EQ(mkfifo((dir.Dir() + "/sys/applications/other.desktop").c_str(), 0600), 0);
  Put("sys/applications/mimeapps.list", "[Default Applications]\ntext/plain=other.desktop\n");
  EXPECT_EQ(OpenCommandForExtension("txt"), "editor %F");  // returns, without blocking
}

}  // namespace
}  // namespace zel::detail
