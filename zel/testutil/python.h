// zel/testutil/python.h — runs a python3 snippet over bytes a test made,
// for differential tests against Python's standard library.  Test-only.
//
//   std::string out;
//   ASSERT_TRUE(zel::testutil::RunPython(
//       "import sys, base64; sys.stdout.buffer.write(base64.b64encode(data))",
//       bytes, out));
//
// The snippet finds the input bytes in the variable `data`; whatever it
// writes to stdout comes back in `out`.  Returns false when python3 cannot
// run or the snippet fails.
#ifndef ZEL_TESTUTIL_PYTHON_H_
#define ZEL_TESTUTIL_PYTHON_H_

#include <stdio.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <string>

#include "zel/testutil/tempdir.h"

// Skips the running test where no python3 can be started: a Windows build
// runs its tests under Wine, which has none.
#if defined(_WIN32)
#define ZEL_SKIP_WITHOUT_PYTHON() GTEST_SKIP() << "no python3 to compare with on this host"
#else
#define ZEL_SKIP_WITHOUT_PYTHON() static_cast<void>(0)
#endif

namespace zel::testutil {

inline bool RunPython(const std::string& snippet, const std::string& input, std::string& out) {
#if defined(_WIN32)
  (void)snippet, (void)input, (void)out;
  return false;
#else
  TempDir dir("py");
  dir.Put("in.bin", input);
  dir.Put("run.py", "import sys\ndata = open(sys.argv[1], 'rb').read()\n" + snippet + "\n");
  const std::string cmd = "python3 " + dir.Dir() + "/run.py " + dir.Dir() + "/in.bin";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (pipe == nullptr) return false;
  out.clear();
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int status = pclose(pipe);
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_PYTHON_H_
