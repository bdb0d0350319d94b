// The registries behind CommandGroup and TourSection.  Registration runs
// during static initialisation of the tool, so the lists live in
// function-local statics (constructed on first use, whatever the order of
// the translation units).
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <utility>

#include "tools/zel/cli.h"

namespace zel::cli {
namespace {

struct Group {
  int order;
  std::span<const Command> commands;
};

std::vector<Group>& Groups() {
  static std::vector<Group> groups;
  return groups;
}

std::string& TourDirectorySetting() {
  static std::string dir = "zel-tour";
  return dir;
}

std::vector<std::pair<int, void (*)()>>& Sections() {
  static std::vector<std::pair<int, void (*)()>> sections;
  return sections;
}

}  // namespace

CommandGroup::CommandGroup(int order, std::span<const Command> commands) {
  Groups().push_back({order, commands});
}

std::vector<Command> AllCommands() {
  std::vector<Group> groups = Groups();
  std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
    if (a.order != b.order) return a.order < b.order;
    return a.commands.front().name < b.commands.front().name;
  });
  std::vector<Command> all;
  for (const Group& g : groups) all.insert(all.end(), g.commands.begin(), g.commands.end());
  return all;
}

TourSection::TourSection(int order, void (*show)()) { Sections().emplace_back(order, show); }

void RunTourSections() {
  auto sections = Sections();
  std::stable_sort(sections.begin(), sections.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [order, show] : sections) show();
}

void SetTourDirectory(const std::string& dir) { TourDirectorySetting() = dir; }

std::string TourDirectory() {
  const std::string& dir = TourDirectorySetting();
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    Fail("cannot create '" + dir + "': " + error.message());
    return "";
  }
  return dir;
}

void TourHeading(std::string_view unit, std::string_view what) {
  std::cout << "\n== " << unit << ": " << what << '\n';
}

void TourShowValue(std::string_view label, const std::string& value) {
  size_t width = 0;  // in characters, not UTF-8 bytes
  for (char c : label) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  std::cout << "  " << label << std::string(width < 52 ? 52 - width : 1, ' ') << value << '\n';
}

void TourShowText(std::string_view label, StringView value) {
  std::string text = "'";
  for (char c : ToUtf8(value)) {
    if (c == '\r') text += "\\r";
    else if (c == '\n') text += "\\n";
    else text += c;
  }
  TourShowValue(label, text + '\'');
}

}  // namespace zel::cli
