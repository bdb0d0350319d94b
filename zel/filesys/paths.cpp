#include "zel/filesys/paths.h"

#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/hostpath.h"
#include "zel/platform/internal/pathmodel.h"
#include "zel/stringl/strip.h"

namespace ZEL_EXPORT zel {

namespace {

// Length of the directory part: up to and including the last "\" or "/",
// else the drive prefix ("C:").
size_t DirPartLength(StringView path) noexcept {
  return detail::DirPartLength(path, detail::kPortablePath);
}

// The host's lexical expansion, with "\" read as a separator as well.
String ExpandBothSeparators(StringView Path) {
  String path(Path);
  for (Char& c : path) {
    if (c == u'\\') c = u'/';
  }
  return ExpandFileName(path);
}

}  // namespace

String ExtractFilePath(StringView Path) { return String(Path.substr(0, DirPartLength(Path))); }

String ExtractFileName(StringView Path) { return String(Path.substr(DirPartLength(Path))); }

String ExtractFileExt(StringView Path) {
  const StringView name = Path.substr(DirPartLength(Path));
  const size_t dot = name.rfind(u'.');
  return dot == StringView::npos ? String() : String(name.substr(dot));
}

String StripPath(StringView Path) { return ExtractFileName(Path); }

String StripExtension(StringView Path) {
  const size_t dir = DirPartLength(Path);
  const size_t dot = Path.substr(dir).rfind(u'.');
  if (dot == StringView::npos) return String(Path);
  return String(Path.substr(0, dir + dot));
}

String ParentDir(StringView Path) {
  size_t end = Path.size();
  if (end > 0 && IsPathSeparator(Path[end - 1])) --end;
  while (end > 0 && !IsPathSeparator(Path[end - 1])) --end;
  return String(Path.substr(0, end));
}

bool IsRootDir(StringView Path) {
  const String s = StripLTBlanks(LowerCase(Path));
  if (s == u"/") return true;
  return s.size() == 3 && s[1] == u':' && s[2] == u'\\';
}

int ExtractDrive(StringView Path) {
  if (Path.size() < 2 || Path[1] != u':') return -1;
  const Char c = AsciiUpper(Path[0]);
  return (c >= u'A' && c <= u'Z') ? c - u'A' : 0;
}

String AbridgeFilePath(StringView Path, int MaxLength) {
  String result(Path);
  const Char sep = Path.find(u'\\') != StringView::npos ? u'\\' : u'/';
  size_t p = result.find(sep);
  if (p == String::npos) return result;
  // Each round removes one separator after p, so the loop ends.
  while (MaxLength <= 0 || result.size() >= static_cast<size_t>(MaxLength)) {
    const size_t i = result.find(sep, p + 1);
    if (i == String::npos) break;
    result.replace(p + 1, i - p - 1, u"..");
    p += 3;
  }
  return result;
}

String DOSToWinPath(StringView Path) {
  const String full = ExpandBothSeparators(Path);
  // The names hang from the root: "/" on POSIX hosts; on Windows the drive
  // of the expanded path ("C:", its root "C:/").
  const size_t drive = detail::DrivePrefixLength(full, detail::kHostPath);
  const String root = full.substr(0, drive);
  const std::vector<String> parts =
      detail::SplitPathNames(StringView(full).substr(drive), detail::kHostPath);
  String result = root;
  size_t k = 0;
  for (; k < parts.size(); ++k) {
    const String stored = FindStoredName(result.size() == root.size() ? root + u"/" : result, parts[k]);
    if (stored.empty()) break;
    result += u"/" + stored;
  }
  for (; k < parts.size(); ++k) result += u"/" + parts[k];
  if (result.size() == root.size()) return root + u"/";
  if (full.size() > drive + 1 && detail::IsPathSep(full.back(), detail::kHostPath)) result += u'/';
  return result;
}

bool IsFN83CompliantPath(StringView Path) {
  for (Char c : Path) {
    if (c < 33 || c > 126) return false;
    if (StringView(u" \"*+,/;<=>?[]|").find(c) != StringView::npos) return false;
  }
  return true;
}

bool IsDOS83Path(StringView Path) {
  if (!IsFN83CompliantPath(Path)) return false;
  StringView rest = Path;
  while (!rest.empty()) {
    size_t len = rest.find(u'\\');
    if (len == StringView::npos) len = rest.find(u'.');
    len = len == StringView::npos ? rest.size() : len + 1;
    if (len > 9) return false;
    rest.remove_prefix(len);
  }
  return true;
}

bool IsValidFileName(StringView FileName) {
  if (FileName == u"." || FileName == u"..") return false;
  return FileName.find_first_of(u"/<>?\\|*:") == StringView::npos;
}

String ReplaceInvalidFileNameChars(StringView FileName, Char ReplaceBy) {
  String result(FileName);
  for (Char& c : result) {
    if (StringView(u"*/:<>?\\|").find(c) != StringView::npos) c = ReplaceBy;
  }
  if (result == u".") return String(1, ReplaceBy);
  if (result == u"..") return String(2, ReplaceBy);
  return result;
}

String EnsureDefaultFileExt(StringView FileName, StringView DefaultExt) {
  if (DefaultExt.empty() || !ExtractFileExt(FileName).empty()) return String(FileName);
  String result(FileName);
  if (DefaultExt[0] != u'.') result += u'.';
  result += DefaultExt;
  return result;
}

String InsertBeforeFileExt(StringView Text, StringView FileName) {
  const size_t dir = DirPartLength(FileName);
  String result(FileName);
  const size_t dot = FileName.substr(dir).find(u'.');
  result.insert(dot == StringView::npos ? result.size() : dir + dot, Text);
  return result;
}

bool MatchesMask(StringView Name, StringView Mask) { return MatchesFileMask(Name, Mask); }

}  // namespace zel
