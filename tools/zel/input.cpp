// Opening the tool's inputs.  Apart from the rest of io.cpp because it
// opens files through the library's own host opener (an internal), which
// only the `zel` binary links; zel-draw shares io.cpp but links the shared
// library, which exports no internals, and reads no input files.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "tools/zel/cli.h"
#include "tools/zel/io.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/hostio.h"

namespace zel::cli {

Input OpenInput(const std::string& path) {
  if (path.empty() || path == "-") {
    // A closed stdin (or the placeholder RunProgram puts there) fails a
    // read of nothing with EBADF: said at once, for every command alike.
    char none;
    if (::read(0, &none, 0) < 0 && errno == EBADF) {
      FailWith(kStdinName, EBADF);
      return {nullptr, std::string(kStdinName)};
    }
    return {std::make_unique<FdStream>(0, false), std::string(kStdinName)};
  }
  const int fd = detail::OpenFileFd(FileNameFromBytes(path), O_RDONLY);
  if (fd < 0) {
    FailWith(path, errno);
    return {nullptr, path};
  }
  return {std::make_unique<FdStream>(fd, true), path};
}

bool ReadLines(const std::string& path, std::vector<String>& lines, bool keep_line_ends) {
  const Input in = OpenInput(path);
  return in.stream != nullptr && ReadLines(in, lines, keep_line_ends);
}

}  // namespace zel::cli
