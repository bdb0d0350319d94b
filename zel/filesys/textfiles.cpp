#include "zel/filesys/textfiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "zel/filesys/internal/lineblocks.h"
#include "zel/filesys/paths.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/hostpath.h"
#include "zel/platform/rawfile.h"

namespace ZEL_EXPORT zel {

namespace {

constexpr int64_t kBlock = 1 << 18;

// Opens `name` for reading, as the file-name variants do.
void OpenForReading(TextFile& f, const String& name) {
  f.AssignFile(name);
  f.Reset();
}

}  // namespace

void AppendToTextFile(const String& FileName, StringView Line) {
  TStringList list;
  list.Add(String(Line));
  AppendToTextFile(FileName, list);
}

void AppendToTextFile(const String& FileName, const TStringList& Lines) {
  TextFile f(FileName);
  try {
    f.Append();
  } catch (const EInOutError& e) {
    if (e.ErrorCode() != ENOENT) throw;
    f.RewriteReplacing();  // the new file appears only when complete
  }
  for (int i = 0; i < Lines.Count(); ++i) f.WriteLn(Lines[i]);
  f.Close();
}

std::vector<String> ReadLastNLinesOfTextFile(TextFile& F, int N, int64_t& LineCount) {
  LineCount = 0;
  F.Reset();
  std::vector<String> ring(N > 0 ? static_cast<size_t>(N) : 0);
  String line;
  while (!F.Eof()) {
    F.ReadLn(line);
    if (!ring.empty()) ring[static_cast<size_t>(LineCount % N)].swap(line);
    ++LineCount;
  }
  F.Reset();
  std::vector<String> result;
  result.reserve(ring.size());
  for (size_t k = 0; k < ring.size(); ++k) {
    result.push_back(std::move(ring[(static_cast<size_t>(LineCount % N) + k) % ring.size()]));
  }
  return result;
}

std::vector<String> ReadLastNLinesOfTextFile(const String& FileName, int N, int64_t& LineCount) {
  LineCount = CountLinesInTextFile(FileName, nullptr);
  std::vector<String> result;
  if (N <= 0) return result;
  std::vector<String> last = ReadLastLinesOfFile(FileName, N);
  result.resize(static_cast<size_t>(N) - last.size());
  for (String& s : last) result.push_back(std::move(s));
  return result;
}

std::vector<String> ReadLastLinesOfFile(const String& FileName, int64_t N) {
  std::vector<String> lines;
  if (N <= 0) return lines;
  TRawFile file(FileName);
  const int64_t size = file.Size();
  // Read ever larger tails until they hold N whole lines or the whole file.
  std::string tail;
  int64_t start = size;
  int64_t chunk = 1 << 14;
  for (;;) {
    const int64_t from = start > chunk ? start - chunk : 0;
    std::string more(static_cast<size_t>(start - from), '\0');
    if (file.ReadAt(from, more.data(), start - from) != start - from) {
      throw EInOutError(u"Cannot read file \"" + FileName + u"\". The file changed while being read",
                        EIO);
    }
    tail.insert(0, more);
    start = from;
    std::vector<std::string_view> pieces = detail::SplitLines(tail, start == 0);
    if (static_cast<int64_t>(pieces.size()) >= N || start == 0) {
      const size_t first = pieces.size() > static_cast<size_t>(N) ? pieces.size() - static_cast<size_t>(N) : 0;
      for (size_t k = first; k < pieces.size(); ++k) lines.push_back(FromUtf8(pieces[k]));
      return lines;
    }
    if (chunk < (int64_t{1} << 26)) chunk *= 2;
  }
}

int64_t CountLinesInTextFile(TextFile& F, TFeedbackProc FeedBack) {
  F.Reset();
  int64_t count = 0;
  while (!F.Eof()) {
    F.ReadLn();
    ++count;
    if (FeedBack && count % 1000 == 0) FeedBack(nullptr, static_cast<double>(count), 0);
  }
  F.Reset();
  return count;
}

int64_t CountLinesInTextFile(const String& FileName, TFeedbackProc FeedBack) {
  TRawFile file(FileName);
  std::unique_ptr<char[]> block(new char[kBlock]);
  detail::LineCounter counter;
  int64_t reported = 0;
  while (const int64_t n = file.Read(block.get(), kBlock)) {
    counter.Add(std::string_view(block.get(), static_cast<size_t>(n)));
    if (FeedBack) {
      for (int64_t k = reported / 1000 + 1; k * 1000 <= counter.Lines(); ++k) {
        FeedBack(nullptr, static_cast<double>(k * 1000), 0);
      }
      reported = counter.Lines() / 1000 * 1000;
    }
  }
  const int64_t total = counter.Finish();
  if (FeedBack && total % 1000 == 0 && total > reported) {
    FeedBack(nullptr, static_cast<double>(total), 0);
  }
  return total;
}

void EnsureCRLFInFile(const String& InFile, const String& OutFile) {
  std::optional<TRawFile> in(std::in_place, InFile);
  FileReplacement out(OutFile);
  std::unique_ptr<char[]> block(new char[kBlock]);
  std::string result;
  result.reserve(static_cast<size_t>(kBlock) + kBlock / 8);
  bool after_cr = false;  // the previous block ended with a CR
  while (const int64_t n = in->Read(block.get(), kBlock)) {
    const char* p = block.get();
    const char* end = p + n;
    result.clear();
    // A CR's follower is written unexamined, so "CR CR" gets one LF only.
    if (after_cr) {
      if (*p != '\n') result += '\n';
      result += *p++;
      after_cr = false;
    }
    while (p < end) {
      const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
      if (cr == nullptr) {
        result.append(p, end);
        break;
      }
      result.append(p, cr + 1);
      if (cr + 1 == end) {
        after_cr = true;
        break;
      }
      if (cr[1] != '\n') result += '\n';
      result += cr[1];  // the follower, not examined itself
      p = cr + 2;
    }
    out.Write(result.data(), result.size());
  }
  if (after_cr) out.Write("\n", 1);
  // The input is closed first: in place, Windows replaces no file that is
  // still open.
  in.reset();
  out.Commit();
}

int DetectStringInFile(const String& FileName, StringView SearchText, bool IgnoreCase,
                       int CharLimit) {
  const String text = IgnoreCase ? LowerCase(SearchText) : String(SearchText);
  TextFile f;
  OpenForReading(f, FileName);
  int64_t total = 0;
  String line;
  while (!f.Eof() && total < CharLimit) {
    f.ReadLn(line);
    if (IgnoreCase) line = LowerCase(line);
    const size_t p = text.empty() ? String::npos : line.find(text);
    if (p != String::npos) {
      total += static_cast<int64_t>(p) + 1;
      f.Close();
      return total <= CharLimit ? static_cast<int>(total) : 0;
    }
    total += static_cast<int64_t>(line.size());
  }
  f.Close();
  return 0;
}

int FindFirstMatchInTextFile(const String& FileName, StringView SearchText, bool IgnoreCase,
                             String& MatchingLine) {
  int64_t line_number;
  return FindFirstMatchInTextFile(FileName, SearchText, IgnoreCase, MatchingLine, line_number);
}

int FindFirstMatchInTextFile(const String& FileName, StringView SearchText, bool IgnoreCase,
                             String& MatchingLine, int64_t& LineNumber) {
  MatchingLine.clear();
  LineNumber = 0;
  if (SearchText.empty()) return 0;
  const String text = IgnoreCase ? AnsiLowerCase(SearchText) : String(SearchText);
  TextFile f;
  OpenForReading(f, FileName);
  String line;
  int64_t number = 0;
  while (!f.Eof()) {
    f.ReadLn(line);
    ++number;
    const size_t p = IgnoreCase ? AnsiLowerCase(line).find(text) : line.find(text);
    if (p != String::npos) {
      MatchingLine = std::move(line);
      LineNumber = number;
      f.Close();
      return static_cast<int>(p) + 1;
    }
  }
  f.Close();
  return 0;
}

String ReadNextWordInTextFile(TextFile& F) {
  String word;
  Char c = 0;
  while (!F.Eof()) {
    F.Read(c);
    if (c > 32) {
      word += c;
      break;
    }
  }
  if (word.empty()) return word;
  while (!F.Eof()) {
    F.Read(c);
    if (c <= 32) break;
    word += c;
  }
  return word;
}

TTextfileType TextFileTypeOfBytes(std::string_view FirstBytes) {
  unsigned char b[4] = {0, 0, 0, 0};
  for (size_t i = 0; i < 4 && i < FirstBytes.size(); ++i) b[i] = static_cast<unsigned char>(FirstBytes[i]);
  if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return tftUTF8;
  if (b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) return tftUnicode4_le;
  if (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF) return tftUnicode4_be;
  if (b[0] == 0xFF && b[1] == 0xFE) return tftUnicode_le;
  if (b[0] == 0xFE && b[1] == 0xFF) return tftUnicode_be;
  if (b[0] == '{' && b[1] == '\\' && b[2] == 'r') return tftRTF;
  return tftUnknown;
}

TTextfileType CheckTextFileType(const String& FileName) {
  TRawFile file(FileName);
  char bytes[4] = {0, 0, 0, 0};
  int64_t n = 0;
  try {
    n = file.Read(bytes, 4);
  } catch (const EInOutError&) {
    n = 0;  // a failed read counts as zero bytes
  }
  return TextFileTypeOfBytes(std::string_view(bytes, static_cast<size_t>(n)));
}

namespace {

String FileDetectIn(const String& dir, const String& mask) {
  // The entries in name order (byte order of their UTF-8 names): the files
  // first, then the directories, never through a symbolic link.
  std::vector<std::pair<std::string, TSearchRec>> entries;
  TDirSearch search(dir, u"*");
  for (TSearchRec rec; search.Next(rec);) entries.emplace_back(FileNameToBytes(rec.Name), rec);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [key, e] : entries) {
    if ((e.Attr & faDirectory) || e.Name[0] == u'.') continue;
    if (MatchesMask(e.Name, mask)) return dir + e.Name;
  }
  for (const auto& [key, e] : entries) {
    if (!(e.Attr & faDirectory) || (e.Attr & faSymLink) || e.Name[0] == u'.') continue;
    String found = FileDetectIn(dir + e.Name + u"/", mask);
    if (!found.empty()) return found;
  }
  return String();
}

}  // namespace

String FileDetect(const String& PathWithMask) {
  const String mask = ExtractFileName(PathWithMask);
  if (mask.empty()) return String();
  String dir = ExtractFilePath(PathWithMask);
  // The directory is opened as given; a "\" between names is a separator.
  for (Char& c : dir) {
    if (c == u'\\') c = u'/';
  }
  return FileDetectIn(dir, mask);
}

}  // namespace zel
