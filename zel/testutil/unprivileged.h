// zel/testutil/unprivileged.h — runs part of a test as an ordinary user, so
// that "permission denied" can be tested where the tests run as root (CI
// and many containers), where it would otherwise have to be skipped.
// Test-only: not part of the installed library.
//
//   zel::testutil::Unprivileged user(dir.Dir());  // the tree becomes nobody's
//   if (!user.Active()) GTEST_SKIP() << user.WhyNot();
//   EXPECT_EQ(CopyFileTree(...), 1);                // runs as nobody
//   user.Restore();                                 // root again (also at scope end)
//
// As root, the tree under `dir` is given to the unprivileged user and the
// process's effective user and group become that user's (the real and
// saved IDs stay root, which is how they are taken back).  As an ordinary
// user nothing changes: the test already runs unprivileged.  A mode of 0 on
// a directory then denies its owner too, as it does for any user.
#ifndef ZEL_TESTUTIL_UNPRIVILEGED_H_
#define ZEL_TESTUTIL_UNPRIVILEGED_H_

#include <errno.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace zel::testutil {

class Unprivileged {
 public:
  static constexpr uid_t kUser = 65534;  // "nobody" on Debian and most systems
  static constexpr gid_t kGroup = 65534;

  explicit Unprivileged(const std::string& dir) {
    if (::geteuid() != 0) {
      active_ = true;
      return;
    }
    std::error_code ec;
    if (::lchown(dir.c_str(), kUser, kGroup) != 0) {
      Fail("lchown");
      return;
    }
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (::lchown(it->path().c_str(), kUser, kGroup) != 0) {
        Fail("lchown");
        return;
      }
    }
    if (ec) {
      why_not_ = "cannot list " + dir + ": " + ec.message();
      return;
    }
    if (::setegid(kGroup) != 0) {
      Fail("setegid");
      return;
    }
    if (::seteuid(kUser) != 0) {
      Fail("seteuid");
      (void)::setegid(0);
      return;
    }
    active_ = dropped_ = true;
  }
  ~Unprivileged() { Restore(); }
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;

  // True when the code that follows runs without the super-user's rights.
  bool Active() const { return active_; }
  std::string WhyNot() const { return why_not_; }

  // Takes the root rights back (when they were given up).
  void Restore() {
    if (!dropped_) return;
    dropped_ = false;
    if (::seteuid(0) != 0 || ::setegid(0) != 0) std::abort();  // the rest of the run needs root
  }

 private:
  void Fail(const char* call) {
    why_not_ = std::string("cannot act as an ordinary user (") + call + ": " + std::strerror(errno) + ")";
  }

  bool active_ = false;
  bool dropped_ = false;
  std::string why_not_;
};

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_UNPRIVILEGED_H_
