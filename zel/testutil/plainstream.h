// zel/testutil/plainstream.h — a read-only stream over bytes that the
// library's readers cannot see into (no memory-stream fast path), for
// checking that a reader gives the same result either way.  Test-only.
//
//   const std::string bytes = "10\n3\n";
//   zel::testutil::PlainStream plain(bytes, /*max_read=*/1);  // a byte a call
//   zel::TStringStream mem(bytes);
//   // readers over `plain` and `mem` must agree
#ifndef ZEL_TESTUTIL_PLAINSTREAM_H_
#define ZEL_TESTUTIL_PLAINSTREAM_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "zel/platform/stream.h"

namespace zel::testutil {

class PlainStream : public TStream {
 public:
  // `bytes` must outlive the stream; each Read serves at most `max_read`
  // bytes (0: no limit).
  explicit PlainStream(const std::string& bytes, int64_t max_read = 0)
      : bytes_(bytes), max_read_(max_read) {}
  int64_t Read(void* buf, int64_t count) override {
    if (max_read_ > 0) count = std::min(count, max_read_);
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(bytes_.size()) - pos_);
    if (n <= 0) return 0;
    std::memcpy(buf, bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t off, TSeekOrigin origin) override {
    pos_ = (origin == soBeginning ? 0
            : origin == soCurrent ? pos_
                                  : static_cast<int64_t>(bytes_.size())) + off;
    return pos_;
  }

 private:
  const std::string& bytes_;
  int64_t max_read_;
  int64_t pos_ = 0;
};

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_PLAINSTREAM_H_
