// Subcommands over the containers: perm, comb, count, featmat.
#include <errno.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "tools/zel/textstream.h"
#include "zel/dstruct/dstruct.h"
#include "zel/platform/filename.h"
#include "zel/platform/numconv.h"
#include "zel/platform/textfile.h"

namespace zel::cli {
namespace {

int Perm(const ParsedArgs& args);
int Comb(const ParsedArgs& args);
int Count(const ParsedArgs& args);
int FeatMat(const ParsedArgs& args);

constexpr Option kFeatMatOptions[] = {
    {"csv", 0, {}, "print two CSV tables separated by an empty line"},
};

constexpr Command kCommands[] = {
    {.name = "perm", .summary = "print all permutations of 1..N",
     .operands = "N",
     .description =
         "Prints every permutation of the numbers 1..N (N from 1 to 10), one per\n"
         "line, numbers separated by blanks, in the order the library steps\n"
         "through them: 1 2 3, 2 1 3, 2 3 1, 1 3 2, 3 1 2, 3 2 1.",
     .main = &Perm},
    {.name = "comb", .summary = "print all K-element combinations of 1..N",
     .operands = "K N",
     .description =
         "Prints every combination of K numbers out of 1..N (1 <= K <= N <= 255),\n"
         "one per line in increasing order, numbers separated by blanks:\n"
         "for K = 2, N = 3: 1 2, 1 3, 2 3.",
     .main = &Comb},
    {.name = "count", .summary = "count the distinct lines of a text",
     .operands = "[FILE]",
     .description =
     "Prints each distinct line of FILE (stdin when no FILE or '-') once, in\n"
     "order of first appearance, after the number of times it occurs,\n"
     "right-aligned in seven places as `uniq -c` does.  Lines compare exactly\n"
     "(case matters); a CR before the line end is not part of the line.  A line\n"
     "longer than 64 MiB is refused (exit 1).",
     .main = &Count},
    {.name = "featmat", .summary = "show a feature-matrix file",
     .operands = "[FILE]",
     .description =
         "Loads the feature-matrix text file FILE (stdin when none or '-') and\n"
         "prints its feature definitions (number, name, kind, sorted flag,\n"
         "comment, presets) and its values (one row per object, one column per\n"
         "feature) as aligned tables, or with --csv as two CSV tables separated\n"
         "by an empty line.",
     .options = kFeatMatOptions, .main = &FeatMat},
};

// Reads a whole decimal argument in lo..hi.
bool IntArg(const std::string& s, int lo, int hi, int& v) {
  int32_t n;
  if (s.empty() || s[0] == '-' || s[0] == '+' || !TryStrToInt(FromUtf8(s), n) || n < lo || n > hi) {
    return false;
  }
  v = n;
  return true;
}

// Writes Values(c) as one line of blank-separated numbers into `out`.
void AppendLine(const TCombination& c, std::string& out) {
  for (int i = 1; i <= c[0]; ++i) {
    if (i > 1) out += ' ';
    out += std::to_string(c[static_cast<size_t>(i)]);
  }
  out += '\n';
}

void FlushIfLarge(std::string& out, bool force = false) {
  if (force || out.size() > (1u << 16)) {
    OutBuffer buffer;  // writes through the tool's output path (errors kept)
    buffer.Append(out);
    out.clear();
  }
}

// Starts from 1 2 .. len and prints every step of `next` until it ends.
template <class Next>
int PrintAll(int len, Next next) {
  TCombination c{};
  c[0] = static_cast<uint8_t>(len);
  for (int i = 1; i <= len; ++i) c[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  std::string out;
  do {
    AppendLine(c, out);
    FlushIfLarge(out);
  } while (next(c));
  FlushIfLarge(out, true);
  return kOk;
}

int Perm(const ParsedArgs& args) {
  int n;
  if (args.Operands().size() != 1) throw BadUsage("expects one argument N");
  if (!IntArg(args.Operands()[0], 1, 10, n)) throw BadUsage("N must be a number from 1 to 10");
  return PrintAll(n, [](TCombination& c) { return NextPermutation(c); });
}

int Comb(const ParsedArgs& args) {
  int k, n;
  const auto& operands = args.Operands();
  if (operands.size() != 2) throw BadUsage("expects two arguments K and N");
  if (!IntArg(operands[1], 1, 255, n)) throw BadUsage("N must be a number from 1 to 255");
  if (!IntArg(operands[0], 1, n, k)) throw BadUsage("K must be a number from 1 to N");
  return PrintAll(k, [n](TCombination& c) { return NextCombination(c, n); });
}

int Count(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (in.stream == nullptr) return kFailure;
  TStringAccu accu(nullptr);
  // One reused line: a line already counted costs no allocation.  A line
  // is held whole to be counted, up to kMaxLine.
  String line;
  if (!ReadLinesUpTo(in, kMaxLine, [&](std::string_view bytes) {
        line.clear();
        AppendFromUtf8(line, bytes);
        accu.Add(line);
      })) {
    return kFailure;
  }
  std::string out;
  char num[32];
  for (int i = 1; i <= accu.Size(); ++i) {
    std::snprintf(num, sizeof num, "%7d ", accu.Count(i));
    out += num;
    out += ToUtf8(accu.Elem(i));
    out += '\n';
    FlushIfLarge(out);
  }
  FlushIfLarge(out, true);
  return kOk;
}

// --- featmat

String CsvField(const String& s) {
  if (s.find_first_of(u",\"\r\n") == String::npos && (s.empty() || (s.front() != u' ' && s.back() != u' '))) {
    return s;
  }
  String q = u"\"";
  for (Char c : s) {
    if (c == u'"') q += u'"';
    q += c;
  }
  return q + u"\"";
}

// Prints the rows 0..n-1 that `row(i)` builds, holding one row at a time
// (a matrix file may declare millions of cells): aligned columns are
// measured in a first pass over the rows.
template <class RowFn>
void PrintTable(int64_t n, RowFn row, bool csv) {
  std::vector<size_t> width;
  if (!csv) {
    for (int64_t r = 0; r < n; ++r) {
      const std::vector<String> cells = row(r);
      if (width.size() < cells.size()) width.resize(cells.size(), 0);
      for (size_t i = 0; i < cells.size(); ++i) width[i] = std::max(width[i], cells[i].size());
    }
  }
  String line;
  for (int64_t r = 0; r < n; ++r) {
    const std::vector<String> cells = row(r);
    line.clear();
    for (size_t i = 0; i < cells.size(); ++i) {
      if (csv) {
        if (i > 0) line += u',';
        line += CsvField(cells[i]);
      } else {
        if (i > 0) line += u"  ";
        line += cells[i];
        if (i + 1 < cells.size()) line.append(width[i] - cells[i].size(), u' ');
      }
    }
    if (!csv) line.erase(line.find_last_not_of(u' ') + 1);
    PrintLine(line);
  }
}

int FeatMat(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const std::string path = args.OperandsOrStdin()[0];
  const std::string name = path == "-" ? std::string(kStdinName) : path;  // in messages
  const bool csv = args.Has("csv");
  TFeatureMatrix m(nullptr);
  int r;
  try {
    if (path == "-") {
      if (!OpenInput(path)) return kFailure;  // a closed stdin is said as such
      // stdin through the library's open-file reader (0, -1 none, -2 bad),
      // its results mapped as Load maps them.
      TextFile f;
      f.AssignFile(String());
      f.Reset();
      r = m.LoadFromOpenFile(f);
      r = r == 0 ? 0 : r == -1 ? -2 : -3;
    } else {
      r = m.Load(FileNameFromBytes(path));
    }
  } catch (const EInOutError& e) {
    return FailWith(name, e.ErrorCode());
  } catch (const Exception& e) {
    return Fail(Quoted(name) + ": " + e.what());
  }
  if (r == -1) return FailWith(name, errno);
  if (r == -2) return Fail(Quoted(name) + ": holds no feature matrix");
  if (r == -3) return Fail(Quoted(name) + ": read or format error");

  static const Char* kKinds[] = {u"fkUndefined", u"fkInteger", u"fkDouble", u"fkString", u"fkTriState"};
  const int nf = m.NFeatures();
  if (!csv) PrintLine(u"definitions (" + IntToStr(nf) + u" features)");
  PrintTable(
      int64_t{nf} + 1,
      [&](int64_t f) -> std::vector<String> {
        if (f == 0) return {u"feature", u"number", u"name", u"kind", u"sorted", u"comment", u"presets"};
        const auto p = m.GetFeatProps(static_cast<int>(f));
        return {IntToStr(f), IntToStr(p->FeatNum()), p->FeatName(), kKinds[p->FeatKind()],
                p->Sorted() ? u"TRUE" : u"FALSE", p->Comment(), p->PresetValues()};
      },
      csv);
  // Values are shown as stored, whatever the kind (set after the
  // definitions above were printed with their kinds).
  m.SetFeatType(0, 0, fkString);
  PrintLine(csv ? u"" : u"\nvalues (" + IntToStr(m.NObjects()) + u" objects)");
  PrintTable(
      int64_t{m.NObjects()} + 1,
      [&](int64_t o) {
        std::vector<String> row{o == 0 ? String(u"object") : IntToStr(o)};
        for (int f = 1; f <= nf; ++f) {
          row.push_back(o == 0 ? m.GetFeatProps(f)->FeatName() : m.GetFeatValStr(f, static_cast<int>(o)));
        }
        return row;
      },
      csv);
  return kOk;
}

const CommandGroup kGroup(82, kCommands);

}  // namespace
}  // namespace zel::cli
