// zel/testutil/deeptree.h — a chain of nested directories deeper than
// PATH_MAX, made through descriptors (no path to it could be opened).
// Test-only: not part of the installed library.
//
//   ASSERT_TRUE(zel::testutil::MakeDeepTree(dir.Dir() + "/src", 2000, 250));
//   // src/dd/dd/.../dd (2,000 levels), a file "f.txt" every 250 levels
#ifndef ZEL_TESTUTIL_DEEPTREE_H_
#define ZEL_TESTUTIL_DEEPTREE_H_

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace zel::testutil {

// Makes `root` and `depth` levels of "dd" below it; the levels whose index
// (from 0) gives `file_every - 1` modulo `file_every` get a one-byte
// "f.txt".  False when a step fails.
inline bool MakeDeepTree(const std::string& root, int depth, int file_every) {
  if (mkdir(root.c_str(), 0700) != 0) return false;
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int i = 0; i < depth && fd >= 0; ++i) {
    if (i % file_every == file_every - 1) {
      const int file = openat(fd, "f.txt", O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
      const bool written = file >= 0 && write(file, "x", 1) == 1;
      if (file >= 0) close(file);
      if (!written) {
        close(fd);
        return false;
      }
    }
    const int next = mkdirat(fd, "dd", 0700) == 0
                         ? openat(fd, "dd", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                         : -1;
    close(fd);
    fd = next;
  }
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_DEEPTREE_H_
