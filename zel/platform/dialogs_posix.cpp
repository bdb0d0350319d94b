// The POSIX side of zel/platform/dialogs.h: the desktop's dialogs run as
// helper programs (zenity, kdialog).
#include "zel/platform/dialogs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>
#include <string>

#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostpath.h"
#include "zel/platform/internal/hostinfo.h"

extern char** environ;

namespace ZEL_EXPORT zel {
namespace {

// The full name of `program` found on PATH, or empty.  Empty entries (the
// old spelling of the current folder) are skipped: a dialog helper is never
// taken from wherever the process happens to run.
std::string FindOnPath(const std::string& program) {
  const std::string path = detail::HostVariable("PATH", "/usr/local/bin:/usr/bin:/bin");
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      const std::string full = path.substr(start, end - start) + "/" + program;
      struct stat st;
      if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
          access(full.c_str(), X_OK) == 0) {
        return full;
      }
    }
    start = end + 1;
  }
  return {};
}

bool HaveDisplay() {
  return !detail::HostVariable("DISPLAY").empty() ||
         !detail::HostVariable("WAYLAND_DISPLAY").empty();
}

// The dialog helper to use: zenity, else kdialog; empty when there is none
// or no display to show it on.
std::string DialogProgram(bool& is_kdialog) {
  is_kdialog = false;
  if (!HaveDisplay()) return {};
  std::string p = FindOnPath("zenity");
  if (p.empty()) {
    p = FindOnPath("kdialog");
    is_kdialog = !p.empty();
  }
  return p;
}

// Runs `argv` (no shell), collects its standard output, and returns its exit
// status, or -1 when it could not be run or did not exit normally.  Its
// standard error goes to /dev/null (GTK is talkative there).
int RunCapture(const std::vector<std::string>& argv, std::string& out) {
  out.clear();
  int pipe_fd[2];
  if (pipe2(pipe_fd, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fd[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fd[1]);
  if (rc != 0) {
    close(pipe_fd[0]);
    return -1;
  }
  char buf[4096];
  for (;;) {
    const ssize_t n = read(pipe_fd[0], buf, sizeof buf);
    if (n > 0) {
      out.append(buf, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(pipe_fd[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// "*.txt;*.text" as the space-separated pattern list the helpers take.
std::string Patterns(const String& mask) {
  std::string p = ToUtf8(mask);
  for (char& c : p) {
    if (c == ';') c = ' ';
  }
  return p;
}

}  // namespace

bool TSaveDialog::Execute(TWindowHandle) {
  error_code_ = 0;
  bool kde = false;
  const std::string program = DialogProgram(kde);
  if (program.empty()) {
    error_code_ = kDialogFailure;
    return false;
  }
  // Where the dialog starts: the file name when it names a folder itself,
  // else the initial folder joined with it.  Handed over absolute, so that
  // a name such as "-x.txt" never reads as an option of the helper.
  std::string start = FileNameToBytes(file_name_);
  if (start.find('/') == std::string::npos && !initial_dir_.empty()) {
    std::string dir = FileNameToBytes(initial_dir_);
    if (dir.back() != '/') dir += '/';
    start = dir + start;
  }
  if (!start.empty() && start[0] != '/') start = FileNameToBytes(GetCurrentDir()) + "/" + start;
  // The selected type first, then the others in their order.
  std::vector<const FileType*> order;
  const int sel = filter_index_ - 1;
  if (sel >= 0 && sel < static_cast<int>(types_.size())) order.push_back(&types_[sel]);
  for (int i = 0; i < static_cast<int>(types_.size()); ++i) {
    if (i != sel) order.push_back(&types_[i]);
  }

  std::vector<std::string> argv{program};
  if (kde) {
    std::string filter;
    for (const FileType* t : order) {
      if (!filter.empty()) filter += '\n';
      filter += Patterns(t->FileMask) + "|" + ToUtf8(t->DisplayName);
    }
    if (!title_.empty()) argv.insert(argv.end(), {"--title", ToUtf8(title_)});
    // kdialog takes the next argument as the start whatever it reads, and
    // the filter as an operand: after "--", so that no mask reads as an
    // option.
    argv.insert(argv.end(), {"--getsavefilename", start.empty() ? "." : start});
    if (!filter.empty()) argv.insert(argv.end(), {"--", filter});
  } else {
    argv.insert(argv.end(), {"--file-selection", "--save"});
    if (!title_.empty()) argv.push_back("--title=" + ToUtf8(title_));
    if (!start.empty()) argv.push_back("--filename=" + start);
    for (const FileType* t : order) {
      argv.push_back("--file-filter=" + ToUtf8(t->DisplayName) + " | " + Patterns(t->FileMask));
    }
  }
  std::string out;
  const int status = RunCapture(argv, out);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (status == 0 && !out.empty()) {
    file_name_ = FileNameFromBytes(out);
    typed_name_.clear();
    return true;
  }
  if (status != 0 && status != 1) error_code_ = kDialogFailure;
  return false;
}

TModalResult QuestionDialog(const String& Title, const String& Text, bool WithCancel) {
  bool kde = false;
  const std::string program = DialogProgram(kde);
  if (program.empty()) return mrNone;
  std::vector<std::string> argv{program};
  if (kde) {
    argv.insert(argv.end(), {"--title", ToUtf8(Title), WithCancel ? "--yesnocancel" : "--yesno",
                             ToUtf8(Text)});
  } else {
    argv.insert(argv.end(), {"--question", "--no-markup", "--title=" + ToUtf8(Title),
                             "--text=" + ToUtf8(Text), "--ok-label=Yes", "--cancel-label=No",
                             "--default-cancel"});
    if (WithCancel) argv.push_back("--extra-button=Cancel");
  }
  std::string out;
  const int status = RunCapture(argv, out);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (status == 0) return mrYes;
  if (kde && status == 2) return mrCancel;
  if (status == 1) return out == "Cancel" ? mrCancel : mrNo;
  return mrNone;
}

}  // namespace zel
