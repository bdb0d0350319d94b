// The POSIX side of tools/zel/host.h.
#include "tools/zel/host.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <locale.h>
#include <stdlib.h>

#include <iterator>

namespace zel::cli {
namespace {

// A standard descriptor that the parent left closed is taken by a
// placeholder opened the wrong way round (/dev/null write-only for stdin,
// read-only for stdout and stderr): reads and writes on it still fail with
// EBADF, as on the closed descriptor, but no file this process opens can
// get its number and receive the output meant for stdout.
void GuardStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int placeholder = open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
    if (placeholder >= 0 && placeholder != fd) {
      // A lower descriptor was free too; it is guarded on its own turn.
      dup2(placeholder, fd);
      close(placeholder);
    }
  }
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
struct sigaction old_stop[std::size(kStopSignals)];
struct sigaction old_xfsz;

}  // namespace

void PrepareProcess() {
  signal(SIGPIPE, SIG_DFL);
  GuardStandardDescriptors();
}

void InstallStopHandlers(void (*handler)(int)) {
  struct sigaction act {}, ignore{};
  act.sa_handler = handler;
  sigemptyset(&act.sa_mask);
  for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &act, &old_stop[i]);
  // A write past the file size limit then fails with EFBIG and is reported
  // instead of ending the process with a half-written file.
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &old_xfsz);
}

void RestoreStopHandlers() {
  for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &old_stop[i], nullptr);
  sigaction(SIGXFSZ, &old_xfsz, nullptr);
}

double CStrtod(const char* text, char** end) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return strtod_l(text, end, c);
}


const char* FindLastByte(const char* p, char c, size_t n) {
  return static_cast<const char*>(::memrchr(p, c, n));
}

const char* FindBytes(const char* hay, size_t n, const char* needle, size_t m) {
  return static_cast<const char*>(::memmem(hay, n, needle, m));
}

}  // namespace zel::cli
