#include "tools/zel/tail.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/host.h"
#include "tools/zel/textstream.h"
#include "zel/platform/internal/hostio.h"

namespace zel::cli {
namespace {

// The offset where the last `n` lines of the first `size` bytes of `fd`
// begin (0 when there are no more than n), reading backwards in blocks.
// -1 with errno set when a read fails.
int64_t StartOfLastLines(int fd, int64_t size, int64_t n) {
  std::vector<char> buf(kTextBlock);
  int next = -1;  // the byte after the block being scanned; -1 past the end
  int64_t counted = 0;
  for (int64_t block_end = size; block_end > 0;) {
    const int64_t block_start = block_end > static_cast<int64_t>(kTextBlock)
                                    ? block_end - static_cast<int64_t>(kTextBlock)
                                    : 0;
    const auto len = static_cast<size_t>(block_end - block_start);
    for (size_t done = 0; done < len;) {
      const int64_t r = detail::ReadFdAt(fd, buf.data() + done, len - done, block_start + static_cast<int64_t>(done));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return -1;
      if (r == 0) {  // the file shrank while being read
        errno = EIO;
        return -1;
      }
      done += static_cast<size_t>(r);
    }
    // The line ends of the block, last first: LF, or a CR not before LF.
    // A line end that is the file's last byte ends the last line and
    // does not count.
    for (size_t limit = len; limit > 0;) {
      const char* lf = FindLastByte(buf.data(), '\n', limit);
      const char* cr = FindLastByte(buf.data(), '\r', limit);
      const char* hit = lf > cr ? lf : cr;
      if (hit == nullptr) break;
      const auto i = static_cast<size_t>(hit - buf.data());
      const int after = i + 1 < len ? static_cast<unsigned char>(buf[i + 1]) : next;
      const int64_t at = block_start + static_cast<int64_t>(i);
      if ((*hit == '\n' || after != '\n') && at != size - 1 && ++counted == n) return at + 1;
      limit = i;
    }
    next = static_cast<unsigned char>(buf[0]);
    block_end = block_start;
  }
  return 0;
}

// The last n lines of an input that is read forwards.
int LastLinesForwards(const Input& in, int64_t n) {
  std::deque<std::string> last;
  std::string line;
  int64_t held = 0;  // bytes held, with a string's own size per line
  constexpr int64_t kPerLine = sizeof(std::string);
  bool too_much = false;
  LineSplitter lines;
  auto piece = [&](std::string_view bytes, bool line_ends) {
    if (too_much) return;
    line.append(bytes);
    held += static_cast<int64_t>(bytes.size());
    if (!line_ends) {
      too_much = held > kMaxHeldBytes;
      return;
    }
    last.push_back(std::move(line));
    line.clear();
    held += kPerLine;
    if (static_cast<int64_t>(last.size()) > n) {
      held -= static_cast<int64_t>(last.front().size()) + kPerLine;
      last.pop_front();
    }
    too_much = held > kMaxHeldBytes;
  };
  if (!ReadBlocks(in, [&](std::string_view block) { lines.Feed(block, piece); return true; })) return ErrorStatus();
  lines.Finish(piece);
  if (too_much) {
    return Fail(Quoted(in.name) + ": the last " + std::to_string(n) + " lines hold more than " +
                std::to_string(kMaxHeldBytes >> 20) +
                " MiB, more than tail keeps from an input it cannot read backwards");
  }
  OutBuffer out;
  LinePrinter printer(out, false);
  for (const std::string& l : last) printer.Piece(l, true);
  return kOk;
}

}  // namespace

int PrintLastLines(const Input& in, int64_t n) {
  if (n <= 0) return kOk;
  struct stat st;
  const bool backwards = ::fstat(in.Fd(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
                         ::lseek(in.Fd(), 0, SEEK_CUR) == 0;
  if (!backwards) return LastLinesForwards(in, n);
  const int64_t start = StartOfLastLines(in.Fd(), st.st_size, n);
  if (start < 0 || ::lseek(in.Fd(), start, SEEK_SET) < 0) return FailWith(in.name, errno);
  OutBuffer out;
  LinePrinter printer(out, start == 0);
  if (!ReadBlocks(in, [&](std::string_view block) { printer.Write(block); return true; })) return ErrorStatus();
  printer.Finish();
  return kOk;
}

int PrintFromLine(const Input& in, int64_t first) {
  OutBuffer out;
  LinePrinter printer(out, false);
  LineSplitter lines;
  int64_t skipped = 0;
  auto piece = [&](std::string_view bytes, bool line_ends) {
    if (skipped + 1 < first) {
      skipped += line_ends;
      return;
    }
    printer.Piece(bytes, line_ends);
  };
  if (!ReadBlocks(in, [&](std::string_view block) { lines.Feed(block, piece); return true; })) return ErrorStatus();
  lines.Finish(piece);
  return kOk;
}

}  // namespace zel::cli
