// Fuzzes the path and file-name functions on arbitrary strings, checking
// what must hold for any input: the splits put the path back together, the
// repairs give valid names, abridging keeps the name part, masks match
// themselves, and the stored-name lookup gives a clean absolute path that
// it finds again unchanged.
//
// Input layout: byte 0 picks a maximum length for AbridgeFilePath; the rest,
// read as UTF-8 (invalid bytes as Windows-1252), is the path, and from its
// first NUL on a second string (extension, mask or text to insert).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/filesys/paths.h"
#include "zel/platform/casemap.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;
using zel::StringView;

bool HasWildcard(StringView s) { return s.find_first_of(u"*?") != StringView::npos; }

void FuzzSplits(const String& p) {
  const String dir = zel::ExtractFilePath(p);
  const String name = zel::ExtractFileName(p);
  const String ext = zel::ExtractFileExt(p);
  Check(dir + name == p);
  Check(zel::StripPath(p) == name);
  Check(name.find_first_of(u"\\/") == String::npos);
  // The directory part ends at a separator, or is a drive prefix ("C:").
  Check(dir.empty() || zel::IsPathSeparator(dir.back()) ||
        (dir.size() == 2 && dir[1] == u':' && zel::ExtractDrive(dir) >= 0));
  Check(zel::StripExtension(p) + ext == p);
  Check(ext.empty() || (ext[0] == u'.' && ext.find(u'.', 1) == String::npos));
  const String parent = zel::ParentDir(p);
  Check(p.starts_with(parent));
  Check(parent.empty() || zel::IsPathSeparator(parent.back()));
  Check(parent.size() < p.size() || p.empty());
  const int drive = zel::ExtractDrive(p);
  Check(drive >= -1 && drive <= 25);
  if (zel::IsDOS83Path(p)) Check(zel::IsFN83CompliantPath(p));
  zel::IsRootDir(p);
}

void FuzzNames(const String& p, const String& other) {
  const String fixed = zel::ReplaceInvalidFileNameChars(p, u'_');
  Check(zel::IsValidFileName(fixed));
  Check(fixed.size() == p.size());
  if (zel::IsValidFileName(p)) Check(fixed == p);

  const String with_ext = zel::EnsureDefaultFileExt(p, other);
  Check(with_ext.starts_with(p));
  if (!zel::ExtractFileExt(p).empty() || other.empty()) Check(with_ext == p);

  const String inserted = zel::InsertBeforeFileExt(other, p);
  Check(inserted.size() == p.size() + other.size());
  Check(zel::ExtractFilePath(p) == StringView(inserted).substr(0, zel::ExtractFilePath(p).size()));
}

void FuzzAbridge(const String& p, int max) {
  const String short_path = zel::AbridgeFilePath(p, max);
  Check(zel::ExtractFileName(short_path) == zel::ExtractFileName(p));
  // Only whole directory names become "..": at most 2 characters more per
  // separator.
  const zel::Char sep = p.find(u'\\') != String::npos ? u'\\' : u'/';
  Check(short_path.size() <= p.size() + 2 * static_cast<size_t>(std::count(p.begin(), p.end(), sep)));
  if (p.find_first_of(u"\\/") == String::npos) Check(short_path == p);
}

void FuzzMasks(const String& name, const String& mask) {
  Check(zel::MatchesMask(name, u"*"));
  Check(zel::MatchesMask(name, u"*.*"));
  Check(!zel::MatchesMask(name, u""));
  if (!name.empty() && !HasWildcard(name)) {
    Check(zel::MatchesMask(name, name));
    Check(zel::MatchesMask(zel::AnsiUpperCase(name), name));
    Check(zel::MatchesMask(name + u"tail", name + u"*"));
    Check(zel::MatchesMask(name, String(name.size(), u'?')));
    Check(!zel::MatchesMask(name, String(name.size() + 1, u'?')));
  }
  zel::MatchesMask(name, mask);
}

void FuzzExpand(const String& p) {
  const String full = zel::DOSToWinPath(p);
  Check(!full.empty() && full[0] == u'/');
  Check(full.find(u"//") == String::npos);
  Check(full.find(u"/./") == String::npos && full.find(u"/../") == String::npos);
  Check(!full.ends_with(u"/.") && !full.ends_with(u"/.."));
  // What is stored is found again as it is.
  Check(zel::DOSToWinPath(full) == full);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t nul = bytes.find('\0');
  const String path = zel::FromUtf8(bytes.substr(0, nul));
  const String other = nul == std::string_view::npos ? String() : zel::FromUtf8(bytes.substr(nul + 1));
  FuzzSplits(path);
  FuzzNames(path, other);
  FuzzAbridge(path, static_cast<int>(data[0]) - 8);
  FuzzMasks(path, other);
  FuzzExpand(path);
  return 0;
}
