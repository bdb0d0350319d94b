// The POSIX side of tools/zel/draw_helper.h: zel-draw run with posix_spawn.
#include "tools/zel/draw_helper.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace zel::cli {
namespace {

// The installed helper's place relative to the executable's directory,
// set by the build (e.g. "../libexec/zel/zel-draw").
#ifndef ZEL_DRAW_HELPER_FROM_BIN
#define ZEL_DRAW_HELPER_FROM_BIN "../libexec/zel/zel-draw"
#endif

// The group order of the drawing commands in `zel --help`.
constexpr int kDrawGroupOrder = 35;

std::string ExecutableDirectory() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return ".";
  path.resize(static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::vector<char*> Argv(const std::string& program, const Args& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Runs the helper with `args`, feeding it `input` on stdin when given and
// collecting its stdout into `output` when given (never both: the pipes
// are served one after the other).  Returns its exit status, or -1 when
// it could not be run or died by a signal (after a message; a helper that
// a closed pipe ended, SIGPIPE, is not reported: its reader went away).
int RunHelper(const Args& args, const std::string* input, std::string* output) {
  const std::string& program = DrawHelperPath();
  if (program.empty()) {
    Fail("the drawing helper zel-draw is not installed beside zel");
    return -1;
  }
  int in_pipe[2] = {-1, -1}, out_pipe[2] = {-1, -1};
  if ((input != nullptr && pipe(in_pipe) != 0) || (output != nullptr && pipe(out_pipe) != 0)) {
    Fail(std::string("cannot run zel-draw: ") + std::strerror(errno));
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, in_pipe[0], 0);
    posix_spawn_file_actions_addclose(&actions, in_pipe[1]);
  }
  if (output != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
  }
  std::cout.flush();
  std::fflush(stdout);
  pid_t pid = 0;
  std::vector<char*> argv = Argv(program, args);
  const int spawn_error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (input != nullptr) close(in_pipe[0]);
  if (output != nullptr) close(out_pipe[1]);
  if (spawn_error == 0 && input != nullptr) {
    // A helper that exits early closes the pipe: stop writing, keep its
    // status (and do not let SIGPIPE end this process meanwhile).
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    for (size_t done = 0; done < input->size();) {
      const ssize_t n = write(in_pipe[1], input->data() + done, input->size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    sigaction(SIGPIPE, &previous, nullptr);
  }
  if (input != nullptr) close(in_pipe[1]);
  if (spawn_error == 0 && output != nullptr) {
    char buffer[4096];
    for (;;) {
      const ssize_t n = read(out_pipe[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      output->append(buffer, static_cast<size_t>(n));
    }
  }
  if (output != nullptr) close(out_pipe[0]);
  if (spawn_error != 0) {
    Fail("cannot run '" + program + "': " + std::strerror(spawn_error));
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status) && WTERMSIG(status) != SIGPIPE) {
    const int signo = WTERMSIG(status);
    const char* name = strsignal(signo);
    Fail("the drawing helper zel-draw was killed by signal " + std::to_string(signo) +
         (name != nullptr ? " (" + std::string(name) + ")" : std::string()));
  }
  return -1;
}

}  // namespace

const std::string& DrawHelperPath() {
  static const std::string path = [] {
    const std::string dir = ExecutableDirectory();
    for (const std::string& candidate :
         {dir + "/zel-draw", dir + "/" + ZEL_DRAW_HELPER_FROM_BIN}) {
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::string();
  }();
  return path;
}

int RunDrawCommand(const Args& args) {
  if (!args.empty()) SetRunningCommand(args[0]);
  const int status = RunHelper(args, nullptr, nullptr);
  return status < 0 ? kFailure : status;
}

void RegisterDrawHelperCommands() {
  // Names and summaries must outlive the registry's spans.
  static std::deque<std::string> texts;
  static std::vector<Command> commands;
  if (!commands.empty() || DrawHelperPath().empty()) return;
  std::string list;
  if (RunHelper({"--list"}, nullptr, &list) != kOk) return;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    const std::string line = list.substr(start, end - start);
    start = end + 1;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string& name = texts.emplace_back(line.substr(0, tab));
    const std::string& summary = texts.emplace_back(line.substr(tab + 1));
    commands.push_back({.name = name, .summary = summary});
  }
  if (!commands.empty()) {
    static const CommandGroup group(kDrawGroupOrder, commands);
  }
}

void RunDrawHelperTour(const std::string& dir) {
  if (DrawHelperPath().empty()) {
    TourHeading("zelbase", "drawing");
    TourShow("left out: the drawing helper zel-draw", std::string("not installed"));
    return;
  }
  RunHelper({"--tour", dir}, nullptr, nullptr);
}

int SavePngStrip(std::span<const TColor> columns, int height, const std::string& path) {
  std::string input;
  char hex[16];
  for (TColor c : columns) {
    std::snprintf(hex, sizeof hex, "%08X\n", static_cast<unsigned>(c));
    input += hex;
  }
  const int status = RunHelper({"--png-strip", path, std::to_string(height)}, &input, nullptr);
  return status == kOk ? kOk : kFailure;
}

}  // namespace zel::cli
