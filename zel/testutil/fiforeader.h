// zel/testutil/fiforeader.h — a FIFO with a reader, for tests that save to
// one.  Test-only: not part of the installed library.
//
//   zel::testutil::FifoReader fifo(dir.Dir() + "/fifo");  // mkfifo, a reader
//   SaveSomething(fifo.Path());
//   EXPECT_EQ(fifo.Finish(), "bytes");                    // all that was written
#ifndef ZEL_TESTUTIL_FIFOREADER_H_
#define ZEL_TESTUTIL_FIFOREADER_H_

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

namespace zel::testutil {

class FifoReader {
 public:
  // Makes the FIFO `path` (unless it exists) and opens it for reading at
  // once, so a writer finds a reader from now on; a thread reads until the
  // writer closes it.
  explicit FifoReader(std::string path) : path_(std::move(path)) {
    if (mkfifo(path_.c_str(), 0600) != 0 && errno != EEXIST) {
      throw std::runtime_error("mkfifo failed");
    }
    fd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open the FIFO");
    thread_ = std::thread([this] {
      char buf[4096];
      for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, -1) < 0 && errno != EINTR) break;
        const ssize_t n = read(fd_, buf, sizeof buf);
        if (n > 0) got_.append(buf, static_cast<size_t>(n));
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;  // the writer is gone
      }
    });
  }
  ~FifoReader() { Finish(); }
  FifoReader(const FifoReader&) = delete;
  FifoReader& operator=(const FifoReader&) = delete;

  const std::string& Path() const { return path_; }

  // Waits until the writer closed the FIFO; what it wrote.  (When none came,
  // a writer that writes nothing stands in for it.)
  const std::string& Finish() {
    if (thread_.joinable()) {
      const int w = open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (w >= 0) close(w);
      thread_.join();
      close(fd_);
    }
    return got_;
  }

 private:
  std::string path_;
  int fd_ = -1;
  std::string got_;
  std::thread thread_;
};

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_FIFOREADER_H_
