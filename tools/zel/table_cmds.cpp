// Subcommands over string tables: table.
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "zel/dstruct/strarray.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/split.h"
#include "zel/stringl/words.h"
#include "zel/zelbase/csvdelim.h"

namespace zel::cli {
namespace {

int Table(const Args& args);

constexpr Command kCommands[] = {
    {"table", "load delimited text into a string table: sort, search, save as XML",
     "[FILE] [--delim C] [--sort COL[,COL2]] [--desc] [--find TEXT [--exact]] [--xml OUT]\n\n"
     "Reads the lines of FILE (stdin when no FILE) into a table, one row per\n"
     "line, the fields cut at the delimiter (as many columns as the longest\n"
     "line has fields).  The delimiter is the one that occurs most often in the\n"
     "first line (blank, semicolon, comma, colon or tab; without any, every\n"
     "line is one field) unless --delim names it: one character, or blank,\n"
     "semicolon, comma, colon, tab.  Cells hold up to 255 Windows-1252\n"
     "characters: longer fields are cut, other characters become '?'.\n\n"
     "  --sort COL[,COL2]  sort the rows by column COL (from 1), equal ones by\n"
     "                     COL2; ASCII letter case is ignored, text is compared\n"
     "                     character by character (no numeric order)\n"
     "  --desc             sort in descending order\n"
     "  --find TEXT        print \"COLUMN ROW\" of the first cell (row by row,\n"
     "                     after sorting) that contains TEXT, letter case\n"
     "                     significant; exit status 1 when there is none\n"
     "  --exact            with --find: the cell must equal TEXT\n"
     "  --xml OUT          save the (sorted) table as tagged text to OUT instead\n"
     "                     of printing it\n\n"
     "Without --find and --xml the rows are printed with the same delimiter,\n"
     "each with as many fields as the table has columns.\n"
     "Sorting shows a progress bar on stderr when stderr is a terminal.",
     &Table},
};

// The delimiter named by --delim: one character or a delimiter name.
bool ParseDelimiter(const std::string& text, Char& delim) {
  const String s = FromUtf8(text);
  if (s.size() == 1) {
    delim = s[0];
    return true;
  }
  for (size_t d = csvBlank; d < CSVDELIMITERIDS.size(); ++d) {
    if (s == CSVDELIMITERIDS[d]) {
      delim = CSVDELIMITERS[d];
      return true;
    }
  }
  if (s == u"space") {
    delim = u' ';
    return true;
  }
  return false;
}

bool ParseColumn(const std::string& text, int& col) {
  int32_t v = 0;
  if (!TryStrToInt(FromUtf8(text), v) || v < 1) return false;
  col = v;
  return true;
}

// "\rsorting [#####     ]  50%" on stderr; reports above 100 (extra
// passes) are shown as 100.
void DrawProgress(int percent) {
  constexpr int kWidth = 30;
  const int p = std::clamp(percent, 0, 100);
  const int filled = p * kWidth / 100;
  std::cerr << "\rsorting [" << std::string(static_cast<size_t>(filled), '#')
            << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << (p < 10 ? "  " : p < 100 ? " " : "")
            << p << '%' << std::flush;
}

int Table(const Args& args) {
  const Command& cmd = kCommands[0];
  std::string path, find, xml_out;
  bool have_path = false, have_delim = false, have_find = false, exact = false, desc = false;
  Char delim = 0;
  int sort_col = 0, sort_col2 = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--delim") {
      if (!value(v) || !ParseDelimiter(v, delim)) {
        return UsageError(cmd, "--delim needs one character or a delimiter name");
      }
      have_delim = true;
    } else if (a == "--sort") {
      if (!value(v)) return UsageError(cmd, "--sort needs a column number");
      const size_t comma = v.find(',');
      if (!ParseColumn(v.substr(0, comma), sort_col) ||
          (comma != std::string::npos && !ParseColumn(v.substr(comma + 1), sort_col2))) {
        return UsageError(cmd, "--sort takes COL or COL,COL2 with column numbers from 1");
      }
    } else if (a == "--desc") {
      desc = true;
    } else if (a == "--find") {
      if (!value(find)) return UsageError(cmd, "--find needs a text");
      have_find = true;
    } else if (a == "--exact") {
      exact = true;
    } else if (a == "--xml") {
      if (!value(xml_out) || xml_out.empty()) return UsageError(cmd, "--xml needs a file name");
    } else if (int s = TakeOperand(cmd, a, path, have_path); s != kOk) {
      return s;
    }
  }
  if (exact && !have_find) return UsageError(cmd, "--exact needs --find");
  if (desc && sort_col == 0) return UsageError(cmd, "--desc needs --sort");

  std::vector<String> lines;
  if (!ReadLines(path, lines)) return kFailure;
  if (!have_delim && !lines.empty()) delim = CSVDELIMITERS[DetectCSVDelimiter(lines.front())];

  TStringArray table(nullptr);
  table.SetAllocRowsBy(1024);
  std::vector<TOpenStringArray> rows(lines.size());
  int ncols = 1;
  for (size_t r = 0; r < lines.size(); ++r) {
    if (delim != 0) {
      ncols = std::max(ncols, Tokenize(lines[r], StringView(&delim, 1), rows[r]));
    } else {
      rows[r].assign(1, lines[r]);
    }
  }
  if (!lines.empty() && !table.Resize(ncols, static_cast<int>(lines.size()))) {
    return Fail("not enough memory for the table");
  }
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      table.SetString(static_cast<int>(c + 1), static_cast<int>(r + 1), ToShortString(rows[r][c]));
    }
  }
  rows.clear();

  if (sort_col > 0) {
    for (int col : {sort_col, sort_col2}) {
      if (col > table.NrOfColumns()) {
        return Fail("no column " + std::to_string(col) + " (the table has " +
                    std::to_string(table.NrOfColumns()) + ")");
      }
    }
    const bool bar = isatty(STDERR_FILENO) != 0;
    if (bar) table.SetOnPercentDone([](TObject*, int32_t p) { DrawProgress(p); });
    table.Sort(sort_col, sort_col2, !desc);
    if (bar) std::cerr << '\n';
  }

  if (!xml_out.empty()) {
    try {
      table.SaveAsXMLFile(FromUtf8(xml_out), u"table");
    } catch (const Exception& e) {
      return Fail(std::string("cannot write '") + xml_out + "': " + e.what());
    }
  }
  if (have_find) {
    int col = 0, row = 0;
    const String text = FromUtf8(find);
    const bool found =
        exact ? table.FindCellExact(text, true, 1, table.NrOfColumns(), -1, -1, col, row)
              : table.FindCell(text, true, 1, table.NrOfColumns(), -1, -1, col, row);
    if (!found || lines.empty()) return kFailure;
    std::cout << col << ' ' << row << '\n';
    return kOk;
  }
  if (!xml_out.empty() || lines.empty()) return kOk;
  const String separator = delim != 0 ? String(1, delim) : String();
  for (int r = 1; r <= table.NrOfRows(); ++r) {
    String line;
    for (int c = 1; c <= table.NrOfColumns(); ++c) {
      if (c > 1) line += separator;
      line += table.GetString(c, r).ToString();
    }
    PrintLine(line);
  }
  return kOk;
}

const CommandGroup kGroup(80, kCommands);

}  // namespace
}  // namespace zel::cli
