// Subcommands that draw pictures with the graphics library: marks, frames.
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "tools/zel/colorspec.h"
#include "tools/zel/draw/sheets.h"
#include "zel/graphics/graphics.h"
#include "zel/platform/filename.h"

namespace zel::cli {
namespace {

int Marks(const ParsedArgs& args);
int Frames(const ParsedArgs& args);

constexpr Option kMarksOptions[] = {
    {"out", 'o', "FILE", "write the sheet as a PNG file (default marks.png without --pdf)"},
    {"scale", 0, "N", "magnify each mark N times, 1 to 32 (default 4)"},
    {"color", 0, "C", "mark colour: a name, #RRGGBB, $hex or r,g,b (default black)"},
    {"pdf", 0, "FILE", "also print the sheet to a PDF file, drawn on the printer's canvas"},
};
constexpr Option kFramesOptions[] = {
    {"out", 'o', "FILE", "the PNG file to write (required)"},
    {"scale", 0, "N", "magnify the frames N times, 1 to 16 (default 3)"},
};

constexpr Command kCommands[] = {
    {.name = "marks", .summary = "draw the 256 plot mark types as a labelled sheet",
     .operands = "",
     .description =
         "Draws every mark type (0-51 shapes, 52-255 characters, 200-209 the\n"
         "digits) on a 16 x 16 sheet, each on its own 15 x 15 bitmap magnified so\n"
         "its pixels show, with the type number below.  The PNG goes to --out\n"
         "(marks.png when neither --out nor --pdf is given); --pdf prints the same\n"
         "sheet on the printer's canvas, where the small patterns become lines.\n"
         "Prints the name of each file written.",
     .options = kMarksOptions, .main = &Marks},
    {.name = "frames", .summary = "draw the five frame styles into a PNG file",
     .operands = "",
     .description =
         "Draws fsSimple, fsLowered, fsRaised, fsEmbossed and fsEngraved side by\n"
         "side on a silver ground (colours white, light grey, grey, black),\n"
         "magnified so each one-pixel line shows, each named below.",
     .options = kFramesOptions, .main = &Frames},
};

// Saves a sheet and prints its name; false after a message when it fails.
bool Save(const TBitmap& sheet, const std::string& path) {
  try {
    sheet.SaveToPNG(FileNameFromBytes(path));
  } catch (const Exception& e) {
    Fail(e.what());
    return false;
  }
  std::cout << path << '\n';
  return true;
}

int Marks(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  const int scale = static_cast<int>(args.GetInt("scale", 4, 1, 32));
  TColor color = clBlack;
  if (args.Has("color") && !ParseColor(args.Get("color"), true, color)) {
    throw BadUsage("not a colour: '" + args.Get("color") + "'");
  }
  color &= 0xFFFFFF;
  if (args.Has("out") || !args.Has("pdf")) {
    if (!Save(*RenderMarkSheet(scale, color), args.Get("out", "marks.png"))) return kFailure;
  }
  if (args.Has("pdf")) {
    const std::string pdf = args.Get("pdf");
    try {
      PrintMarkSheet(pdf, color);
    } catch (const Exception& e) {
      return Fail(e.what());
    }
    std::cout << pdf << '\n';
  }
  return kOk;
}

int Frames(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  if (!args.Has("out")) throw BadUsage("missing --out FILE");
  const int scale = static_cast<int>(args.GetInt("scale", 3, 1, 16));
  return Save(*RenderFrameSheet(scale), args.Get("out")) ? kOk : kFailure;
}

const CommandGroup kGroup(35, kCommands);

}  // namespace
}  // namespace zel::cli
