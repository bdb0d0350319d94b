// Subcommands over string tables: table.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "zel/dstruct/strarray.h"
#include "zel/platform/filename.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/split.h"
#include "zel/stringl/words.h"
#include "zel/zelbase/csvdelim.h"

namespace zel::cli {
namespace {

int Table(const ParsedArgs& args);

constexpr Option kTableOptions[] = {
    {"delim", 0, "C", "the delimiter: one character, or blank, semicolon, comma, colon, tab"},
    {"sort", 0, "COL[,COL2]",
     "sort the rows by column COL (from 1), equal ones by COL2; ASCII letter case is ignored, "
     "text is compared character by character (numbers by value with --numeric)"},
    {"desc", 0, {}, "sort in descending order"},
    {"find", 0, "TEXT",
     "print \"COLUMN ROW\" of the first cell (row by row, after sorting) that contains TEXT, "
     "letter case significant; exit status 1 when there is none, 2 on an error"},
    {"exact", 0, {}, "with --find: the cell must equal TEXT"},
    {"numeric", 0, {}, "with --sort: numbers by value before other text (a comma counts as the point)"},
    {"strict", 0, {}, "fail when a field cannot be stored exactly (see above)"},
    {"xml", 0, "OUT", "save the (sorted) table as tagged text to OUT instead of printing it"},
};

constexpr Command kCommands[] = {
    {.name = "table", .summary = "load delimited text into a string table: sort, search, save as XML",
     .operands = "[FILE]",
     .description =
         "Reads the lines of FILE (stdin when no FILE) into a table, one row per\n"
         "line, the fields cut at the delimiter (as many columns as the longest\n"
         "line has fields).  The delimiter is the one that occurs most often in the\n"
         "first line (blank, semicolon, comma, colon or tab; without any, every\n"
         "line is one field) unless --delim names it.  Cells hold up to 255\n"
         "Windows-1252 characters: longer fields are cut, other characters become\n"
         "'?'; the number of such fields and the first of them are reported on\n"
         "stderr, and with --strict they are an error (exit 1, nothing printed).\n"
         "A line with more fields than the table can make columns for is an error.\n\n"
         "Without --find and --xml the rows are printed with the same delimiter,\n"
         "each with as many fields as the table has columns.\n"
         "Sorting shows a progress bar on stderr when stderr is a terminal.",
     .options = kTableOptions, .main = &Table},
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

// Cuts `line` at `delim` and hands each field's cell bytes (as
// ToShortString(FromUtf8(field)) gives them) to `cell(column, bytes)`;
// returns the number of fields.  An ASCII delimiter never occurs inside a
// UTF-8 sequence or as part of an invalid byte, so the bytes are cut as they
// are; any other delimiter is looked for in the decoded line.
//
// `cell` also gets whether the bytes hold the field exactly and the field's
// text as UTF-8 (for the report of the first field that was not kept).
template <class Cell>
size_t CutLine(std::string_view line, Char delim, String& decoded, Cell cell) {
  char bytes[ShortString::kCapacity];
  bool exact = true;
  if (delim == 0) {
    const size_t n = Utf8ToShortBytes(line, bytes, &exact);
    cell(1, std::string_view(bytes, n), exact, line);
    return 1;
  }
  size_t col = 0;
  if (delim < 0x80) {
    const char d = static_cast<char>(delim);
    for (size_t start = 0;;) {
      const void* hit = std::memchr(line.data() + start, d, line.size() - start);
      const size_t end = hit ? static_cast<size_t>(static_cast<const char*>(hit) - line.data()) : line.size();
      const std::string_view field = line.substr(start, end - start);
      const size_t n = Utf8ToShortBytes(field, bytes, &exact);
      cell(++col, std::string_view(bytes, n), exact, field);
      if (hit == nullptr) return col;
      start = end + 1;
    }
  }
  decoded.clear();
  AppendFromUtf8(decoded, line);
  const StringView text(decoded);
  for (size_t start = 0;;) {
    const size_t end = std::min(text.find(delim, start), text.size());
    const StringView field = text.substr(start, end - start);
    ShortString s;
    exact = TryToShortString(field, s);
    cell(++col, s.Bytes(), exact, exact ? std::string() : ToUtf8(field));
    if (end == text.size()) return col;
    start = end + 1;
  }
}

// Fields that could not be stored exactly: how many, and the first.
struct LossReport {
  int64_t count = 0;
  int row = 0, col = 0;
  std::string text, stored;
};

// The number of fields `CutLine` cuts `line` into.
size_t CountFields(std::string_view line, Char delim, String& decoded) {
  if (delim == 0) return 1;
  if (delim < 0x80) return static_cast<size_t>(std::count(line.begin(), line.end(), static_cast<char>(delim))) + 1;
  decoded.clear();
  AppendFromUtf8(decoded, line);
  return static_cast<size_t>(std::count(decoded.begin(), decoded.end(), delim)) + 1;
}

// Loads the lines of `in` straight into the table, row by row: no copy of
// the whole input is made.  Rows and columns are added in doubling steps,
// the surplus dropped at the end.
// Returns the number of rows, or -1 after reporting a failure.
int64_t LoadTable(const Input& in, bool have_delim, Char& delim, TStringArray& table, LossReport& loss) {
  TLineReader reader = LineReader(in);
  String decoded;
  std::string_view line;
  int rows = 0, ncols = 1;
  while (reader.ReadLine(line)) {
    if (rows == 0 && !have_delim) {
      AppendFromUtf8(decoded, line);
      delim = CSVDELIMITERS[DetectCSVDelimiter(decoded)];
    }
    if (rows == INT_MAX) return Fail("too many lines for the table"), -1;
    const int r = ++rows;
    if (r > table.NrOfRows() || r == 1) {
      const int want = r == 1 ? 1 : static_cast<int>(std::min<int64_t>(INT_MAX, int64_t{2} * table.NrOfRows()));
      if (!table.Resize(table.NrOfColumns(), want)) return Fail("not enough memory for the table"), -1;
    }
    // Columns for every field of the line first, in one step and at least
    // doubling (the table copies all its cells on each widening); the
    // surplus goes at the end.
    const size_t fields = CountFields(line, delim, decoded);
    if (fields > static_cast<size_t>(table.NrOfColumns())) {
      const bool fits = fields < static_cast<size_t>(INT_MAX);
      const int exact = fits ? static_cast<int>(fields) : 0;
      const int doubled = static_cast<int>(std::min<int64_t>(INT_MAX - 1, int64_t{2} * table.NrOfColumns()));
      if (!fits || !((doubled > exact && table.Resize(doubled, table.NrOfRows())) ||
                     table.Resize(exact, table.NrOfRows()))) {
        Fail("line " + std::to_string(r) + " has " + std::to_string(fields) +
             " fields, more than the table can hold columns for");
        return -1;
      }
    }
    ncols = std::max(ncols, static_cast<int>(fields));
    CutLine(line, delim, decoded, [&](size_t c, std::string_view bytes, bool exact, auto field) {
      table.SetBytes(static_cast<int>(c), r, bytes);
      if (!exact && loss.count++ == 0) {
        loss.row = r;
        loss.col = static_cast<int>(c);
        loss.text = std::string(field);
        loss.stored = ToUtf8(AnsiToString(bytes));
      }
    });
  }
  if (!ReadSucceeded(reader, in)) return -1;
  if (rows > 0 && !table.Resize(ncols, rows)) return Fail("not enough memory for the table"), -1;
  return rows;
}

int Table(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  Char delim = 0;
  const bool have_delim = args.Has("delim");
  if (have_delim && !ParseDelimiter(args.Get("delim"), delim)) {
    throw BadUsage("--delim needs one character or a delimiter name");
  }
  int sort_col = 0, sort_col2 = 0;
  if (args.Has("sort")) {
    const std::string v = args.Get("sort");
    const size_t comma = v.find(',');
    if (!ParseColumn(v.substr(0, comma), sort_col) ||
        (comma != std::string::npos && !ParseColumn(v.substr(comma + 1), sort_col2))) {
      throw BadUsage("--sort takes COL or COL,COL2 with column numbers from 1");
    }
  }
  const bool desc = args.Has("desc"), exact = args.Has("exact"), have_find = args.Has("find");
  const std::string find = args.Get("find"), xml_out = args.Get("xml");
  if (args.Has("xml") && xml_out.empty()) throw BadUsage("--xml needs a file name");
  if (exact && !have_find) throw BadUsage("--exact needs --find");
  if (desc && sort_col == 0) throw BadUsage("--desc needs --sort");
  if (args.Has("numeric") && sort_col == 0) throw BadUsage("--numeric needs --sort");
  // With --find the answer may be "no such cell" (1): errors are then 2.
  if (have_find) AnswersNoMatch();

  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  TStringArray table(nullptr);
  table.SetAllocRowsBy(1024);
  LossReport loss;
  const int64_t rows = LoadTable(in, have_delim, delim, table, loss);
  if (rows < 0) return kFailure;
  if (loss.count > 0) {
    const auto shorten = [](std::string t) { return t.size() > 60 ? t.substr(0, 57) + "..." : t; };
    const std::string message =
        std::to_string(loss.count) + (loss.count == 1 ? " field" : " fields") +
        " could not be stored exactly (a cell holds up to 255 Windows-1252 characters); the first, row " +
        std::to_string(loss.row) + " column " + std::to_string(loss.col) + ": '" + shorten(loss.text) +
        "' became '" + shorten(loss.stored) + "'";
    if (args.Has("strict")) return Fail(message);
    std::cerr << "zel: warning: " << message << '\n';
  }

  if (sort_col > 0) {
    for (int col : {sort_col, sort_col2}) {
      if (col > table.NrOfColumns()) {
        return Fail("no column " + std::to_string(col) + " (the table has " +
                    std::to_string(table.NrOfColumns()) + ")");
      }
    }
    const bool bar = isatty(STDERR_FILENO) != 0;
    if (bar) table.SetOnPercentDone([](TObject*, int32_t p) { DrawProgressBar("sorting", p); });
    table.Sort(sort_col, sort_col2, !desc, args.Has("numeric") ? skNumeric : skText);
    if (bar) std::cerr << '\n';
  }

  if (!xml_out.empty()) {
    try {
      table.SaveAsXMLFile(FileNameFromBytes(xml_out), u"table");
    } catch (const Exception& e) {
      return Fail(Quoted(xml_out) + ": " + e.what());
    }
  }
  if (have_find) {
    int col = 0, row = 0;
    const String text = FromUtf8(find);
    const bool found =
        exact ? table.FindCellExact(text, true, 1, table.NrOfColumns(), -1, -1, col, row)
              : table.FindCell(text, true, 1, table.NrOfColumns(), -1, -1, col, row);
    if (!found || rows == 0) return kNoMatch;
    std::cout << col << ' ' << row << '\n';
    return kOk;
  }
  if (!xml_out.empty() || rows == 0) return kOk;
  // Cells are Windows-1252 bytes: written as UTF-8 without a UTF-16 copy.
  const std::string separator = delim != 0 ? ToUtf8(StringView(&delim, 1)) : std::string();
  OutBuffer out;
  std::string line;
  // After a sort the rows lie scattered in memory: where the cells of a
  // row are recorded is fetched 16 rows ahead, the cells themselves 8 rows
  // ahead, so that the cache misses overlap.
  constexpr int kAhead = 8;
  const int nrows = table.NrOfRows(), ncols = table.NrOfColumns();
  for (int r = 1; r <= nrows; ++r) {
    table.PrefetchRow(r + 2 * kAhead);
    if (r + kAhead <= nrows) {
      for (int c = 1; c <= ncols; ++c) __builtin_prefetch(table.GetBytes(c, r + kAhead).data());
    }
    line.clear();
    for (int c = 1; c <= ncols; ++c) {
      if (c > 1) line += separator;
      std::string_view cell = table.GetBytes(c, r);
      while (!cell.empty()) {
        const size_t ascii = AsciiPrefixLength(cell);
        line.append(cell.data(), ascii);
        if (ascii == cell.size()) break;
        AppendUtf8(line, AnsiToChar(static_cast<AnsiChar>(cell[ascii])));
        cell.remove_prefix(ascii + 1);
      }
    }
    line += '\n';
    out.Append(line);
  }
  return kOk;
}

const CommandGroup kGroup(80, kCommands);

}  // namespace
}  // namespace zel::cli
