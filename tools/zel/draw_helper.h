// tools/zel/draw_helper.h — the drawing commands, run by a helper program.
//
// `marks`, `frames`, the drawing section of `zel tour` and the PNG strip of
// `zel palette --png` need libzelgraphics, and with it cairo, pixman, X11,
// fontconfig, FreeType and libpng: some twenty shared libraries whose
// loading would double the start-up time of every other command.  They are
// built into `zel-draw`, a program of their own that `zel` runs only when
// it needs one of them, so that `zel` itself starts with no shared library
// but the C library's.
//
// zel-draw's command line (tools/zel/draw/main.cpp):
//   zel-draw NAME ARGS...           runs the drawing command NAME
//   zel-draw --list                 prints "NAME<TAB>SUMMARY" per command
//   zel-draw --tour DIR             the drawing section of the tour
//   zel-draw --png-strip FILE H     a strip H pixels high, one column per
//                                   colour read from stdin (hex 00BBGGRR,
//                                   one per line)
//
// The helper is looked for beside the `zel` executable (the build tree),
// then where the install puts it relative to the executable
// (LIBEXECDIR/zel/zel-draw).
#ifndef ZEL_TOOLS_ZEL_DRAW_HELPER_H_
#define ZEL_TOOLS_ZEL_DRAW_HELPER_H_

#include <span>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "zel/platform/types.h"

namespace zel::cli {

// Where zel-draw is, or "" when it is in neither place.
const std::string& DrawHelperPath();

// Runs `zel-draw ARGS...` (the command's name first) on this process's
// standard streams and returns its exit status.  A helper that cannot be
// run, or that dies by a signal, is reported ("zel: marks: the drawing
// helper zel-draw was killed by signal 11 (Segmentation fault)"; status 1).
int RunDrawCommand(const Args& args);

// Adds the helper's commands to the list `zel --help` prints, as the group
// after the labels.  Does nothing when the helper is missing or fails.
void RegisterDrawHelperCommands();

// Runs the drawing section of the tour in the helper, pictures in `dir`.
void RunDrawHelperTour(const std::string& dir);

// Writes a strip `height` pixels high, one column per colour (0x00BBGGRR),
// to the PNG file `path` through the helper.  Returns kOk, or kFailure
// after the helper (or this function) printed the reason, a death by a
// signal included.
int SavePngStrip(std::span<const TColor> columns, int height, const std::string& path);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_DRAW_HELPER_H_
