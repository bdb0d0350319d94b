#include "tools/zel/textstream.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "tools/zel/cli.h"

namespace zel::cli {

bool ReadBlocks(const Input& in, const std::function<bool(std::string_view)>& feed) {
  std::vector<char> block(kTextBlock);
  for (;;) {
    const ssize_t n = ::read(in.Fd(), block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FailWith(in.name, errno), false;
    if (n == 0) return true;
    if (!feed(std::string_view(block.data(), static_cast<size_t>(n)))) return true;
  }
}

bool ReadLinesUpTo(const Input& in, size_t cap, const std::function<void(std::string_view)>& line) {
  LineSplitter lines = LineSplitter::LfOnly();
  std::string held;
  int64_t number = 0;
  bool too_long = false;
  const auto piece = [&](std::string_view bytes, bool line_ends) {
    if (too_long) return;
    if (held.size() + bytes.size() > cap) {
      too_long = true;
      return;
    }
    if (!line_ends) {
      held.append(bytes);
      return;
    }
    ++number;
    if (held.empty()) {
      line(bytes);
    } else {
      held.append(bytes);
      line(held);
      held.clear();
    }
  };
  if (!ReadBlocks(in, [&](std::string_view block) {
        lines.Feed(block, piece);
        return !too_long;
      })) {
    return false;
  }
  if (!too_long) lines.Finish(piece);
  if (!too_long) return true;
  Fail(Quoted(in.name) + ": line " + std::to_string(number + 1) + " is longer than " +
       std::to_string(cap) + " bytes, more than this command holds");
  return false;
}

size_t CompleteUtf8Prefix(std::string_view bytes) noexcept {
  // Look back at most three bytes for the lead byte of the last sequence.
  const size_t n = bytes.size();
  for (size_t back = 1; back <= 4 && back <= n; ++back) {
    const auto c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? n - back : n;
  }
  return n;
}

void AppendPrintable(std::string& out, std::string_view bytes, String& scratch) {
  const size_t ascii = AsciiPrefixLength(bytes);
  out.append(bytes.data(), ascii);
  if (ascii == bytes.size()) return;
  scratch.clear();
  AppendFromUtf8(scratch, bytes.substr(ascii));
  out += ToUtf8(scratch);
}

void LinePrinter::Write(std::string_view raw) {
  lines_.Feed(raw, [this](std::string_view bytes, bool line_ends) { Piece(bytes, line_ends); });
}

void LinePrinter::Finish() {
  lines_.Finish([this](std::string_view bytes, bool line_ends) { Piece(bytes, line_ends); });
}

void LinePrinter::Piece(std::string_view bytes, bool line_ends) {
  std::string text;
  if (!pending_.empty()) {
    pending_.append(bytes);
    bytes = pending_;
  }
  const size_t complete = line_ends ? bytes.size() : CompleteUtf8Prefix(bytes);
  AppendPrintable(text, bytes.substr(0, complete), decoded_);
  std::string rest(bytes.substr(complete));
  pending_ = std::move(rest);
  if (line_ends) text += '\n';
  out_.Append(text);
}

}  // namespace zel::cli
