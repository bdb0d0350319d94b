// The Windows side of tools/zel/host.h.
#include "tools/zel/host.h"

#include <fcntl.h>
#include <io.h>
#include <signal.h>
#include <stdlib.h>
#include <windows.h>


#include <algorithm>
#include <cstring>

namespace zel::cli {
namespace {

using Handler = void (*)(int);
Handler old_int = SIG_DFL;
Handler old_term = SIG_DFL;

}  // namespace

void PrepareProcess() {
  // The tool writes the bytes it means (CR LF where it wants one).
  for (int fd = 0; fd <= 2; ++fd) _setmode(fd, _O_BINARY);
}

void InstallStopHandlers(void (*handler)(int)) {
  old_int = signal(SIGINT, handler);
  old_term = signal(SIGTERM, handler);
}

void RestoreStopHandlers() {
  signal(SIGINT, old_int);
  signal(SIGTERM, old_term);
}

double CStrtod(const char* text, char** end) { return __mingw_strtod(text, end); }


const char* FindLastByte(const char* p, char c, size_t n) {
  for (size_t i = n; i > 0; --i) {
    if (p[i - 1] == c) return p + i - 1;
  }
  return nullptr;
}

const char* FindBytes(const char* hay, size_t n, const char* needle, size_t m) {
  if (m == 0) return hay;
  const char* end = hay + n;
  const char* at = std::search(hay, end, needle, needle + m);
  return at == end ? nullptr : at;
}

}  // namespace zel::cli
