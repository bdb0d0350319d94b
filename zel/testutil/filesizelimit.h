// zel/testutil/filesizelimit.h — a file-size limit for the time of a test,
// the way to make a save fail part-way as a full disk would.
// Test-only: not part of the installed library.
//
//   {
//     zel::testutil::FileSizeLimit limit(100);  // writes past 100 bytes fail (EFBIG)
//     if (!limit.Active()) GTEST_SKIP() << limit.WhyNot();
//     EXPECT_THROW(table.SaveAsXMLFile(name, u"t"), zel::EInOutError);
//   }                                            // limit and signal restored
//
// Windows has no per-process limit on the size of a file: there the limit
// is never active, and a test that needs one skips.
#ifndef ZEL_TESTUTIL_FILESIZELIMIT_H_
#define ZEL_TESTUTIL_FILESIZELIMIT_H_

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#endif

#include <cstdint>
#include <string>

namespace zel::testutil {

#if defined(_WIN32)

class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t) {}
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool Active() const { return false; }
  std::string WhyNot() const {
    return "Windows has no per-process file-size limit to make a write fail part-way";
  }
};

#else

class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_limit_);
    // Without this, crossing the limit kills the process with SIGXFSZ;
    // ignored, the write fails with EFBIG instead.
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit_);
    signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  // True when writes past the limit fail from now on.
  bool Active() const { return active_; }
  std::string WhyNot() const { return active_ ? "" : "setrlimit(RLIMIT_FSIZE) failed"; }

 private:
  bool active_ = false;
  rlimit old_limit_{};
  void (*old_handler_)(int) = SIG_DFL;
};

#endif

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_FILESIZELIMIT_H_
