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

// --png-strip FILE HEIGHT: the colours, one hex 00BBGGRR per line, on stdin.
int PngStrip(const std::string& path, const std::string& height_text) {
  std::vector<TColor> columns;
  std::string line;
  while (std::getline(std::cin, line)) columns.push_back(static_cast<TColor>(std::stoul(line, nullptr, 16)));
  const int height = std::stoi(height_text);
  if (columns.empty() || height <= 0) return Fail("zel-draw --png-strip: no colours");
  TBitmap strip(static_cast<int>(columns.size()), height);
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
    SetTourDirectory(args[1]);
    RunTourSections();
    return kOk;
  }
  if (first == "--png-strip" && args.size() == 3) return PngStrip(args[1], args[2]);
  if (const Command* command = FindCommand(commands, first)) {
    return RunCommand(*command, Args(args.begin() + 1, args.end()));
  }
  return Fail("unknown command '" + first + "' (see 'zel --help')", kUsage);
}

}  // namespace
}  // namespace zel::cli

int main(int argc, char** argv) { return zel::cli::RunProgram(argc, argv, &zel::cli::Main); }
