// zel-draw: the drawing commands of the `zel` tool, in a program of their
// own so that only they load the graphics library (see
// tools/zel/draw_helper.h for why and for the command line).  `zel` hands
// them over with the same arguments; messages read as the tool's own.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "zel/graphics/bitmap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filename.h"

namespace zel::cli {
namespace {

// `text` as a whole number in the given base within [0, max], or -1.
long long WholeNumber(const std::string& text, int base, long long max) {
  if (text.empty() || text.size() > 16) return -1;
  long long value = 0;
  for (char c : text) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : 99;
    if (digit >= base) return -1;
    value = value * base + digit;
    if (value > max) return -1;
  }
  return value;
}

// --png-strip FILE HEIGHT: the colours, one hex 00BBGGRR per line, on stdin.
// zel writes that input; anything else is refused with the line at fault.
int PngStrip(const std::string& path, const std::string& height_text) {
  constexpr int kMaxHeight = 4096, kMaxColumns = 100000;
  const long long height = WholeNumber(height_text, 10, kMaxHeight);
  if (height <= 0) return Fail("--png-strip: the height must be 1 to 4096, not '" + height_text + "'", kUsage);
  std::vector<TColor> columns;
  std::string line;
  while (std::getline(std::cin, line)) {
    const long long c = WholeNumber(line, 16, 0xFFFFFFFF);
    if (c < 0 || columns.size() >= kMaxColumns) {
      return Fail("--png-strip: line " + std::to_string(columns.size() + 1) +
                      " is not a colour as 8 hex digits (or too many lines)",
                  kUsage);
    }
    columns.push_back(static_cast<TColor>(c));
  }
  if (columns.empty()) return Fail("--png-strip: no colours", kUsage);
  TBitmap strip(static_cast<int>(columns.size()), static_cast<int>(height));
  for (int y = 0; y < height; ++y) std::copy(columns.begin(), columns.end(), strip.ScanLine(y));
  try {
    strip.SaveToPNG(FileNameFromBytes(path));
  } catch (const Exception& e) {
    return Fail(e.what());
  }
  return kOk;
}

int Main(const Args& args) {
  if (args.empty()) return Fail("zel-draw: no command (it is run by zel)", kUsage);
  const std::vector<Command> commands = AllCommands();
  const std::string& first = args[0];
  if (first == "--list") {
    for (const Command& c : commands) std::cout << c.name << '\t' << c.summary << '\n';
    return kOk;
  }
  if (first == "--tour" && args.size() == 2) {
    SetRunningCommand("tour");
    SetTourDirectory(args[1]);
    RunTourSections();
    return kOk;
  }
  if (first == "--png-strip" && args.size() == 3) {
    SetRunningCommand("palette");  // the strip of `zel palette --png`
    return PngStrip(args[1], args[2]);
  }
  if (const Command* command = FindCommand(commands, first)) {
    return RunCommand(*command, Args(args.begin() + 1, args.end()));
  }
  return Fail("unknown command '" + first + "' (see 'zel --help')", kUsage);
}

}  // namespace
}  // namespace zel::cli

int main(int argc, char** argv) { return zel::cli::RunProgram(argc, argv, &zel::cli::Main); }
