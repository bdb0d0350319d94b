// zel/testutil/filesizelimit.h — a file-size limit for the time of a test,
// the way to make a save fail part-way as a full disk would.
// Test-only: not part of the installed library.
//
//   {
//     zel::testutil::FileSizeLimit limit(100);  // writes past 100 bytes fail (EFBIG)
//     EXPECT_THROW(table.SaveAsXMLFile(name, u"t"), zel::EInOutError);
//   }                                            // limit and signal restored
#ifndef ZEL_TESTUTIL_FILESIZELIMIT_H_
#define ZEL_TESTUTIL_FILESIZELIMIT_H_

#include <signal.h>
#include <sys/resource.h>

#include <cstdint>

namespace zel::testutil {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_limit_);
    // Without this, crossing the limit kills the process with SIGXFSZ;
    // ignored, the write fails with EFBIG instead.
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit_);
    signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_limit_{};
  void (*old_handler_)(int) = SIG_DFL;
};

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_FILESIZELIMIT_H_
