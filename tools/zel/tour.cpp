// `zel tour`: one short, real demonstration per unit of the library.  Each
// section calls the library and prints what came back; nothing is canned.
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "zel/zel.h"

namespace zel::cli {
namespace {

void Heading(std::string_view unit, std::string_view what) {
  std::cout << "\n== " << unit << ": " << what << '\n';
}

// Prints `label` padded to a column, then the value.
template <class T>
void Show(std::string_view label, const T& value) {
  std::cout << "  " << label << std::string(label.size() < 44 ? 44 - label.size() : 1, ' ');
  if constexpr (std::is_convertible_v<T, StringView>) {
    std::cout << '\'' << ToUtf8(StringView(value)) << '\'';
  } else {
    std::cout << value;
  }
  std::cout << '\n';
}

void TourPlatform() {
  Heading("platform", "UTF-16 strings, Windows-1252 and UTF-8 at the edges");
  const String text = FromUtf8("Grüße, €5");
  Show("FromUtf8(\"Grüße, €5\").size()", text.size());
  const ShortString b = ToShortString(text);
  std::string hex;
  for (char c : b.Bytes()) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 15];
    hex += ' ';
  }
  Show("ToShortString(...) bytes (Windows-1252)", hex);
  Show("AnsiUpperCase(u\"grüße\")", AnsiUpperCase(u"grüße"));
  Show("UpperCase(u\"grüße\") (ASCII only)", UpperCase(u"grüße"));
}

int Tour(const Args& args) {
  if (!args.empty()) return Fail("tour takes no arguments", kUsage);
  std::cout << "zel tour: each line calls the library and shows its result.\n";
  TourPlatform();
  return kOk;
}

constexpr Command kCommands[] = {
    {"tour", "a short demonstration of every unit",
     "\n\nCalls each unit of the library and prints what it returns.", &Tour},
};

}  // namespace

std::span<const Command> TourCommands() { return kCommands; }

}  // namespace zel::cli
