#include "zel/filesys/savedialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zel/platform/hostfs.h"
#include "zel/platform/hostpath.h"
#include "zel/testutil/envvar.h"
#include "zel/testutil/symlink.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

using testutil::EnvVar;

// Expects `run` to raise EZELFileSysError with exactly `message`.
template <class F>
void ExpectFileSysError(F run, const String& message) {
  try {
    run();
    ADD_FAILURE() << "no error; expected " << ToUtf8(message);
  } catch (const EZELFileSysError& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

// The application's own dialog, scripted: each showing takes the next
// (reply, name); the other handlers take their replies from queues.  Every
// call is logged.
struct AppDialog {
  TUnivSaveDialog dlg{nullptr};
  std::deque<std::pair<TModalResult, String>> selections;
  std::deque<TModalResult> forbidden_replies, overwrite_replies;
  std::vector<String> existing;
  std::vector<std::string> log;

  explicit AppDialog(bool check, bool overwrite, bool forbidden) {
    dlg.SetName(u"SaveDlg");
    dlg.SetUseStandardDialog(false);
    dlg.SetParameters(u"ext=txt");
    dlg.OnFileSelect = [this](TObject*, const String& params, TModalResult& reply, String& name) {
      log.push_back("select " + ToUtf8(name));
      EXPECT_EQ(params, u"ext=txt");
      EXPECT_EQ(reply, mrCancel);  // the reply starts as cancel
      if (selections.empty()) return;
      std::tie(reply, name) = selections.front();
      selections.pop_front();
    };
    if (check) {
      dlg.OnFileCheck = [this](TObject*, const String& name, bool& exists) {
        EXPECT_FALSE(exists);
        exists = std::find(existing.begin(), existing.end(), name) != existing.end();
      };
    }
    if (overwrite) {
      dlg.OnOverwrite = [this](TObject*, const String& name, TModalResult& reply) {
        log.push_back("overwrite " + ToUtf8(name));
        EXPECT_EQ(reply, mrNo);
        if (!overwrite_replies.empty()) {
          reply = overwrite_replies.front();
          overwrite_replies.pop_front();
        }
      };
    }
    if (forbidden) {
      dlg.OnForbiddenDir = [this](TObject*, const String& path, TModalResult& reply) {
        log.push_back("forbidden " + ToUtf8(path));
        EXPECT_EQ(reply, mrYes);
        if (!forbidden_replies.empty()) {
          reply = forbidden_replies.front();
          forbidden_replies.pop_front();
        }
      };
    }
  }
};

TEST(UnivSaveDialog, ApplicationDialogPolicy) {
  struct Case {
    const char* what;
    bool check, overwrite, forbidden;
    std::deque<std::pair<TModalResult, String>> selections;
    std::deque<TModalResult> forbidden_replies, overwrite_replies;
    bool result;
    const char16_t* file_name;
    std::vector<std::string> log;
  } cases[] = {
      {"cancelled", true, true, true, {{mrCancel, u"/d/a.txt"}}, {}, {}, false, u"/d/a.txt",
       {"select "}},
      {"new file", true, true, true, {{mrOk, u"/d/new.csv"}}, {}, {}, true, u"/d/new.csv",
       {"select "}},
      {"forbidden, cancel", true, true, true, {{mrOk, u"c:\\windows\\x.txt"}}, {mrCancel}, {},
       false, u"c:\\windows\\x.txt", {"select ", "forbidden c:\\windows\\"}},
      {"forbidden, no: shown again", true, true, true,
       {{mrOk, u"C:\\WINDOWS\\system\\x.txt"}, {mrOk, u"c:\\data\\x.txt"}}, {mrNo}, {}, true,
       u"c:\\data\\x.txt",
       {"select ", "forbidden C:\\WINDOWS\\system\\", "select C:\\WINDOWS\\system\\x.txt"}},
      {"forbidden, yes", true, true, true, {{mrOk, u"c:\\windows\\x.txt"}}, {mrYes}, {}, true,
       u"c:\\windows\\x.txt", {"select ", "forbidden c:\\windows\\"}},
      {"forbidden without handler: consent", true, true, false, {{mrOk, u"c:\\windows\\x.txt"}},
       {}, {}, true, u"c:\\windows\\x.txt", {"select "}},
      {"a longer folder name is another folder", true, true, true,
       {{mrOk, u"c:\\windowsapps\\x.txt"}}, {}, {}, true, u"c:\\windowsapps\\x.txt", {"select "}},
      {"exists, yes", true, true, true, {{mrOk, u"/d/old.txt"}}, {}, {mrYes}, true,
       u"/d/old.txt", {"select ", "overwrite /d/old.txt"}},
      {"exists, cancel", true, true, true, {{mrOk, u"/d/old.txt"}}, {}, {mrCancel}, false,
       u"/d/old.txt", {"select ", "overwrite /d/old.txt"}},
      {"exists, reply left at no: shown again", true, true, true,
       {{mrOk, u"/d/old.txt"}, {mrOk, u"/d/new.txt"}}, {}, {}, true, u"/d/new.txt",
       {"select ", "overwrite /d/old.txt", "select /d/old.txt"}},
      {"no existence check: absent", false, false, true, {{mrOk, u"/d/old.txt"}}, {}, {}, true,
       u"/d/old.txt", {"select "}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    AppDialog app(c.check, c.overwrite, c.forbidden);
    app.dlg.SetForbiddenDir(u"C:\\Windows");
    app.selections = c.selections;
    app.forbidden_replies = c.forbidden_replies;
    app.overwrite_replies = c.overwrite_replies;
    app.existing = {u"/d/old.txt"};
    EXPECT_EQ(app.dlg.Execute(), c.result);
    EXPECT_EQ(app.dlg.FileName(), c.file_name);
    EXPECT_EQ(app.log, c.log);
  }
}

TEST(UnivSaveDialog, ApplicationDialogErrors) {
  {
    TUnivSaveDialog dlg(nullptr);
    dlg.SetName(u"SaveDlg");
    dlg.SetUseStandardDialog(false);
    ExpectFileSysError([&] { dlg.Execute(); },
                       u"Component \"SaveDlg\": File select dialog is not assigned");
  }
  {
    AppDialog app(true, false, false);
    app.selections = {{mrOk, u"/d/old.txt"}};
    app.existing = {u"/d/old.txt"};
    ExpectFileSysError([&] { app.dlg.Execute(); },
                       u"Component \"SaveDlg\": Overwrite dialog is not assigned");
  }
  for (TModalResult bad : {mrOk, mrNone, 99}) {
    AppDialog app(true, true, false);
    app.selections = {{mrOk, u"/d/old.txt"}};
    app.existing = {u"/d/old.txt"};
    app.overwrite_replies = {bad};
    ExpectFileSysError([&] { app.dlg.Execute(); },
                       u"Component \"SaveDlg\": Invalid reply argument from overwrite dialog");
  }
}

TEST(UnivSaveDialog, ForbiddenDirRule) {
  TUnivSaveDialog dlg(nullptr);
  EXPECT_FALSE(dlg.IsForbiddenDir(u"/etc/"));  // no forbidden folder set
  dlg.SetForbiddenDir(u"/Etc");
  struct Case {
    const char16_t* dir;
    bool forbidden;
  } cases[] = {{u"/etc/", true},      {u"/ETC/ssh/", true}, {u"/etc", true},
               {u"/etcetera/", false}, {u"/home/etc/", false}, {u"", false}};
  for (const Case& c : cases) EXPECT_EQ(dlg.IsForbiddenDir(c.dir), c.forbidden) << ToUtf8(c.dir);
  dlg.SetForbiddenDir(u"/srv/");
  EXPECT_TRUE(dlg.IsForbiddenDir(u"/srv/www/"));
  EXPECT_FALSE(dlg.IsForbiddenDir(u"/srvx/"));
}

// The forbidden folder is where a name really leads: ".." and repeated
// separators, links to the folder or into it (dangling ones too), and a
// forbidden folder that is itself given through a link.
TEST(UnivSaveDialog, ForbiddenDirIsComparedWhereTheNameLeads) {
  testutil::TempDir tmp("forbidden");
  const std::string d = tmp.Dir();
  ASSERT_TRUE(CreateDir(tmp.Path("secret")));
  ASSERT_TRUE(CreateDir(tmp.Path("secret/sub")));
  ASSERT_TRUE(CreateDir(tmp.Path("other")));
  // Links, where the host makes them (see zel/testutil/symlink.h).
  const bool links = testutil::MakeSymLink(tmp.Path("secret"), tmp.Path("ln")) &&
                     testutil::MakeSymLink(u"../secret/sub", tmp.Path("other/rel")) &&
                     testutil::MakeSymLink(tmp.Path("secret/new.txt"), tmp.Path("dangling.txt")) &&
                     testutil::MakeSymLink(tmp.Path("loop"), tmp.Path("loop"));
#if !defined(_WIN32)
  ASSERT_TRUE(links);
  const std::string doubled = "/" + d + "//secret/sub/";  // "//" at the start too
#else
  const std::string doubled = d + "//secret//sub/";  // "C:" stands first
#endif

  TUnivSaveDialog dlg(nullptr);
  std::vector<std::string> forbidden_dirs = {d + "/secret", d + "/other/../secret"};
  if (links) forbidden_dirs.push_back(d + "/ln/");
  for (const std::string& forbidden : forbidden_dirs) {
    SCOPED_TRACE(forbidden);
    dlg.SetForbiddenDir(FromUtf8(forbidden));
    struct Case {
      std::string dir;
      bool forbidden;
      bool through_link;
    } cases[] = {
        {d + "/secret/", true, false},
        {d + "/SECRET/sub/", true, false},  // without regard to case, as before
        {d + "/other/../secret/", true, false},
        {doubled, true, false},
        {d + "/./ln/", true, true},
        {d + "/ln/not-yet/", true, true},  // below a link, not existing yet
        {d + "/other/rel/", true, true},   // a relative link into the folder
        {d + "/ln/../other/", false, true},  // ".." of where the link leads
        {d + "/other/", false, false},
        {d + "/secretx/", false, false},
        {d + "/loop/", false, true},
        {d + "\\secret\\", true, false},  // "\" separates as in the path functions
    };
    for (const Case& c : cases) {
      if (c.through_link && !links) continue;
      EXPECT_EQ(dlg.IsForbiddenDir(FromUtf8(c.dir)), c.forbidden) << c.dir;
    }
  }
  if (!links) GTEST_SKIP() << "no symbolic links here (Windows makes them only with a privilege, Wine not at all)";

  // Execute asks about the folder the file would land in: a link named in
  // an allowed folder that leads into the forbidden one needs consent too.
  AppDialog app(true, true, true);
  app.dlg.SetForbiddenDir(FromUtf8(d + "/secret"));
  app.dlg.SetParameters(u"ext=txt");
  app.selections = {{mrOk, FromUtf8(d + "/dangling.txt")}, {mrOk, FromUtf8(d + "/ln/x.txt")},
                    {mrOk, FromUtf8(d + "/other/ok.txt")}};
  app.forbidden_replies = {mrNo, mrNo};
  EXPECT_TRUE(app.dlg.Execute());
  EXPECT_EQ(app.dlg.FileName(), FromUtf8(d + "/other/ok.txt"));
  EXPECT_EQ(app.log, (std::vector<std::string>{"select ", "forbidden " + d + "/",
                                               "select " + d + "/dangling.txt",
                                               "forbidden " + d + "/ln/",
                                               "select " + d + "/ln/x.txt"}));
}

TEST(UnivSaveDialog, ParametersAsNumbersAndText) {
  TUnivSaveDialog dlg(nullptr);
  dlg.SetName(u"D");
  dlg.SetParameters(u"Width=42 scale=\"1,5e2\" caption=\"Save it\" ext=txt");
  EXPECT_EQ(dlg.ExtractParamAsString(u"CAPTION"), u"Save it");
  EXPECT_EQ(dlg.ExtractParamAsString(u"initialdir"), u"");
  EXPECT_EQ(dlg.ExtractParamAsInt(u"width"), 42);
  EXPECT_DOUBLE_EQ(dlg.ExtractParamAsDouble(u"scale"), 150.0);
  ExpectFileSysError([&] { dlg.ExtractParamAsInt(u"height"); },
                     u"Component \"D\": height is not specified in property Parameters");
  ExpectFileSysError([&] { dlg.ExtractParamAsDouble(u"zoom"); },
                     u"Component \"D\": zoom is not specified in property Parameters");
}

TEST(UnivSaveDialog, TypeChangeGivesTheTypedNameTheNewExtension) {
  TUnivSaveDialog owner(nullptr);
  TSaveDialog sd(nullptr);
  sd.AddFileType(u"Text", u"*.txt");
  sd.AddFileType(u"All", u"*.*");
  sd.AddFileType(u"Markdown", u"*.md");
  sd.OnTypeChange = [&](TObject* s) { owner.SaveDiagTypeChange(s); };
  struct Case {
    const char16_t* file_name;
    const char16_t* typed;
    int type;
    const char16_t* result;
  } cases[] = {
      {u"/x/report.csv", u"", 1, u"report.txt"},        // the dialog's name, folder dropped
      {u"/x/report.csv", u"draft.v2.csv", 3, u"draft.v2.md"},
      {u"/x/report.csv", u"notes", 1, u"notes.txt"},     // no extension yet
      {u"/x.d/report", u"", 3, u"report.md"},            // a dot in the folder is no extension
      {u"/x/report.csv", u"draft.csv", 2, u"draft.csv"}, // *.* leaves it alone
      {u"", u"", 1, u""},
  };
  for (const Case& c : cases) {
    sd.SetFileName(c.file_name);
    sd.SetTypedFileName(c.typed);
    sd.SelectFileType(c.type);
    EXPECT_EQ(sd.TypedFileName(), c.result) << ToUtf8(c.file_name) << " " << ToUtf8(c.typed);
  }
}

#if !defined(_WIN32)
// The helper programs below are shell scripts; Windows shows the common
// dialog instead, which needs a desktop to click in and is not tested here.

// Puts a stand-in dialog helper `program` into DIR/bin: it logs its
// arguments to DIR/log, one per line and "--" after each call, and answers
// each call with the next line of DIR/replies: an exit status, then
// optionally the text it prints.
void PutStandIn(const testutil::TempDir& dir, const std::string& program) {
  const std::string d = dir.Dir();
  mkdir((d + "/bin").c_str(), 0755);
  dir.Put("bin/" + program,
          "#!/bin/sh\n"
          "PATH=/usr/bin:/bin\n"
          "d=\"" + d + "\"\n"
          "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$d/log\"; done\n"
          "echo -- >> \"$d/log\"\n"
          "n=$(cat \"$d/count\" 2>/dev/null || echo 0); n=$((n+1)); echo $n > \"$d/count\"\n"
          "line=$(sed -n \"${n}p\" \"$d/replies\")\n"
          "case \"$line\" in *' '*) printf '%s\\n' \"${line#* }\";; esac\n"
          "exit ${line%% *}\n");
  chmod((d + "/bin/" + program).c_str(), 0755);
}

// A stand-in `zenity` first on PATH.
class StandInZenity : public ::testing::Test {
 protected:
  testutil::TempDir dir{"zenity"};
  EnvVar path{"PATH", dir.Dir() + "/bin:" + std::string(getenv("PATH") ? getenv("PATH") : "")};
  EnvVar display{"DISPLAY", ":77"};
  TUnivSaveDialog dlg{nullptr};

  void SetUp() override {
    PutStandIn(dir, "zenity");
    dlg.SetName(u"SaveDlg");
  }
  void Replies(const std::string& text) { dir.Put("replies", text); }
  // The arguments of each call.
  std::vector<std::vector<std::string>> Calls() {
    std::vector<std::vector<std::string>> calls(1);
    std::istringstream in(dir.Bytes("log"));
    for (std::string line; std::getline(in, line);) {
      if (line == "--") {
        calls.emplace_back();
      } else {
        calls.back().push_back(line);
      }
    }
    calls.pop_back();
    return calls;
  }
};

TEST_F(StandInZenity, ShowsTypesTitleFolderAndNameAndForcesTheExtension) {
  const std::string d = dir.Dir();
  dlg.SetParameters(FromUtf8("filter=\"Text|*.txt|All|*.*|odd\" ext=txt caption=\"Save it\" "
                             "initialdir=" + d));
  dlg.SetFilterIndex(2);
  dlg.SetFileName(u"report.csv");
  Replies("0 " + d + "/out/report.csv\n");
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), FromUtf8(d + "/out/report.txt"));
  EXPECT_EQ(dlg.FilterIndex(), 2);
  const std::vector<std::vector<std::string>> expected = {
      {"--file-selection", "--save", "--title=Save it", "--filename=" + d + "/report.csv",
       "--file-filter=All | *.*", "--file-filter=Text | *.txt"}};
  EXPECT_EQ(Calls(), expected);
}

TEST_F(StandInZenity, ANameStartingWithADashIsGivenAbsolute) {
  dlg.SetFileName(u"-x.txt");
  Replies("1\n");
  EXPECT_FALSE(dlg.Execute());
  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0][2], "--filename=" + ToUtf8(GetCurrentDir()) + "/-x.txt");
}

TEST_F(StandInZenity, OverwriteNoShowsTheDialogAgainWithTheLastChoice) {
  const std::string d = dir.Dir();
  dir.Put("a.txt", "old");
  dlg.SetParameters(u"ext=txt");
  std::vector<String> asked;
  dlg.OnOverwrite = [&](TObject*, const String& name, TModalResult& reply) {
    asked.push_back(name);
  };
  Replies("0 " + d + "/a.txt\n0 " + d + "/b\n");
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), FromUtf8(d + "/b.txt"));
  EXPECT_EQ(asked, std::vector<String>{FromUtf8(d + "/a.txt")});
  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1][2], "--filename=" + d + "/a.txt");
}

TEST_F(StandInZenity, ExistingFileWithoutHandlerRaises) {
  dir.Put("a.txt", "old");
  Replies("0 " + dir.Dir() + "/a.txt\n");
  ExpectFileSysError([&] { dlg.Execute(); },
                     u"Component \"SaveDlg\": Overwrite dialog is not assigned");
}

TEST_F(StandInZenity, CancelAndFailures) {
  dlg.SetFileName(u"keep.txt");
  Replies("1\n3\n");
  EXPECT_FALSE(dlg.Execute());
  EXPECT_EQ(dlg.FileName(), u"keep.txt");
  const String failed = u"Component \"SaveDlg\": Error in standard dialog (errnum = $FFFF).";
  ExpectFileSysError([&] { dlg.Execute(); }, failed);  // the helper failed (status 3)
  {
    EnvVar no_display("DISPLAY", std::nullopt);
    EnvVar no_wayland("WAYLAND_DISPLAY", std::nullopt);
    ExpectFileSysError([&] { dlg.Execute(); }, failed);
  }
  {
    EnvVar empty_path("PATH", dir.Dir() + "/none");
    ExpectFileSysError([&] { dlg.Execute(); }, failed);
  }
  EXPECT_EQ(Calls().size(), 2u);  // no helper ran in the last two
}

TEST_F(StandInZenity, QuestionReplies) {
  Replies("0\n1\n1 Cancel\n");
  EXPECT_EQ(QuestionDialog(u"Save", u"Replace <b>x</b>?", true), mrYes);
  EXPECT_EQ(QuestionDialog(u"Save", u"Replace?", true), mrNo);
  EXPECT_EQ(QuestionDialog(u"Save", u"Replace?", true), mrCancel);
  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 3u);
  const std::vector<std::string> first = {"--question", "--no-markup", "--title=Save",
                                          "--text=Replace <b>x</b>?", "--ok-label=Yes",
                                          "--cancel-label=No", "--default-cancel",
                                          "--extra-button=Cancel"};
  EXPECT_EQ(calls[0], first);
  EnvVar no_display("DISPLAY", std::nullopt);
  EnvVar no_wayland("WAYLAND_DISPLAY", std::nullopt);
  EXPECT_EQ(QuestionDialog(u"Save", u"Replace?", false), mrNone);
}

// Without zenity, kdialog: its own argument form and exit codes.
TEST(StandInKdialog, SaveAndQuestion) {
  testutil::TempDir dir("kdialog");
  const std::string d = dir.Dir();
  PutStandIn(dir, "kdialog");
  dir.Put("replies", "0 " + d + "/x.dat\n2\n1\n");
  EnvVar path("PATH", d + "/bin");  // no zenity here
  EnvVar display("DISPLAY", ":77");

  TSaveDialog sd(nullptr);
  sd.AddFileType(u"Data", u"*.dat;*.bin");
  sd.AddFileType(u"All", u"*");
  sd.SetTitle(u"Save data");
  sd.SetInitialDir(FromUtf8(d + "/"));
  sd.SetFileName(u"x");
  ASSERT_TRUE(sd.Execute());
  EXPECT_EQ(sd.FileName(), FromUtf8(d + "/x.dat"));
  EXPECT_EQ(QuestionDialog(u"Q", u"Replace?", true), mrCancel);
  EXPECT_EQ(QuestionDialog(u"Q", u"Replace?", false), mrNo);
  EXPECT_EQ(dir.Bytes("log"),
            "--title\nSave data\n--getsavefilename\n" + d + "/x\n--\n*.dat *.bin|Data\n*|All\n--\n"
            "--title\nQ\n--yesnocancel\nReplace?\n--\n"
            "--title\nQ\n--yesno\nReplace?\n--\n");
}

// A name starting with "-" never reaches a helper where it could read as an
// option: it goes absolute, and kdialog's masks come after "--".
TEST(StandInKdialog, NamesStartingWithADashAreNoOptions) {
  testutil::TempDir dir("kdialog-dash");
  const std::string d = dir.Dir();
  PutStandIn(dir, "kdialog");
  dir.Put("replies", "1\n");
  EnvVar path("PATH", d + "/bin");
  EnvVar display("DISPLAY", ":77");
  TSaveDialog sd(nullptr);
  sd.AddFileType(u"Odd", u"-r");
  sd.SetFileName(u"-rf.txt");
  EXPECT_FALSE(sd.Execute());
  EXPECT_EQ(dir.Bytes("log"), "--getsavefilename\n" + ToUtf8(GetCurrentDir()) +
                                  "/-rf.txt\n--\n-r|Odd\n--\n");
}

#endif  // !_WIN32

}  // namespace
}  // namespace zel
