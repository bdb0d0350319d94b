// Line ends in blocks of bytes: counting them at memory speed and cutting a
// block into lines, by the rules `TextFile` reads with (CR LF, LF or a lone
// CR end a line; a UTF-8 byte-order mark at the start of the file is no
// text).
#ifndef ZEL_FILESYS_INTERNAL_LINEBLOCKS_H_
#define ZEL_FILESYS_INTERNAL_LINEBLOCKS_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace zel::detail {

// Counts the lines of a file fed to it block by block, in order.
class LineCounter {
 public:
  void Add(std::string_view block);
  // Complete lines so far (ended by a line end).
  int64_t Lines() const noexcept { return ends_; }
  // All lines, a last one without line end included.
  int64_t Finish() const noexcept;

 private:
  int64_t ends_ = 0;
  int64_t bytes_ = 0;
  unsigned char head_[3] = {0, 0, 0};
  unsigned char last_ = 0;
};

// The lines of `bytes`.  With `AtFileStart` a leading byte-order mark is
// skipped; without it, `bytes` starts somewhere inside a file and everything
// up to its first line end (a partial line) is dropped.
std::vector<std::string_view> SplitLines(std::string_view bytes, bool AtFileStart);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_LINEBLOCKS_H_
