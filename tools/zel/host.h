// tools/zel/host.h — what the tool needs of its host beyond the library:
// the process's standard streams and signals, and byte searches that glibc
// has and other C libraries lack.  host_posix.cpp and host_win32.cpp.
#ifndef ZEL_TOOLS_ZEL_HOST_H_
#define ZEL_TOOLS_ZEL_HOST_H_

#include <cstddef>
#include <string>

namespace zel::cli {

// Run first: standard streams that move bytes unchanged, a standard
// descriptor the parent left closed guarded by a placeholder, and the
// default action for a broken pipe (POSIX).
void PrepareProcess();

// While a long copy runs, the signals that should stop it cleanly (Ctrl-C,
// and on POSIX SIGTERM, SIGHUP, SIGPIPE) call `handler`, and a write past
// the file size limit fails instead of ending the process; restored by
// `RestoreStopHandlers`.
void InstallStopHandlers(void (*handler)(int));
void RestoreStopHandlers();

// strtod in the "C" locale ("." as the decimal point), whatever the
// process locale.  The tool's common parts link the shared library, which
// exports no internals, so they do not use the library's own.
double CStrtod(const char* text, char** end);


// The last `c` in [p, p + n), or null (memrchr).
const char* FindLastByte(const char* p, char c, size_t n);
// The first occurrence of [needle, needle + m) in [hay, hay + n), or null
// (memmem).
const char* FindBytes(const char* hay, size_t n, const char* needle, size_t m);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_HOST_H_
