// The Windows side of tools/zel/draw_helper.h: the drawing library and its
// helper program are not built on Windows yet, so the tool has no drawing
// commands; `palette --png` says so, and the tour leaves the drawing
// section out with the reason.
#include "tools/zel/draw_helper.h"

#include <string>

#include "tools/zel/cli.h"

namespace zel::cli {

const std::string& DrawHelperPath() {
  static const std::string none;
  return none;
}

int RunDrawCommand(const Args&) {
  return Fail("the drawing commands are not available on this host (Windows) yet");
}

void RegisterDrawHelperCommands() {}

void RunDrawHelperTour(const std::string&) {
  TourHeading("zelbase", "drawing");
  TourShow("left out: the drawing commands", std::string("not available on Windows yet"));
}

int SavePngStrip(std::span<const TColor>, int, const std::string&) {
  return Fail("PNG pictures are not available on this host (Windows) yet");
}

}  // namespace zel::cli
