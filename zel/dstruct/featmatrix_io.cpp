// The text file of TFeatureMatrix (layout: see featmatrix.h).
#include <sys/stat.h>

#include "zel/dstruct/featmatrix.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/strip.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr const Char* kKindNames[] = {u"fkUndefined", u"fkInteger", u"fkDouble", u"fkString",
                                      u"fkTriState"};

bool HasLineBreak(StringView s) { return s.find_first_of(u"\r\n") != StringView::npos; }

// A file-content fault: ends the load with -2.
struct FormatError {};

// One definition line: "<feature number> <key> <value>".
void ReadDefinition(StringView line, std::vector<std::unique_ptr<TFeatMatProps>>& props) {
  // The feature number: after leading white space, up to the next blank or
  // control character, as the text file's integer read takes it.
  size_t i = 0;
  while (i < line.size() && line[i] <= u' ') ++i;
  size_t j = i;
  while (j < line.size() && line[j] > u' ') ++j;
  if (i == j) return;  // a line without a number defines nothing
  int32_t num;
  if (!TryStrToInt(line.substr(i, j - i), num)) throw FormatError{};
  const String rest = StripLTBlanks(line.substr(j));
  const size_t blank = rest.find(u' ');
  if (blank == String::npos) return;  // an empty value: no key
  if (num < 1 || num > static_cast<int32_t>(props.size())) return;
  TFeatMatProps& p = *props[static_cast<size_t>(num - 1)];
  const StringView key = StringView(rest).substr(0, blank);
  const StringView value = StringView(rest).substr(blank + 1);
  if (SameText(key, u"fplFeatNum")) {
    int32_t n;
    if (!TryStrToInt(value, n)) throw FormatError{};
    p.SetFeatNum(n);
  } else if (SameText(key, u"fplFeatName")) {
    p.SetFeatName(value);
  } else if (SameText(key, u"fplFeatKind")) {
    for (int k = 0; k < 5; ++k) {
      if (SameText(value, kKindNames[k])) p.SetFeatKind(static_cast<TFeatKind>(k));
    }
  } else if (SameText(key, u"fplComment")) {
    p.SetComment(value);
  } else if (SameText(key, u"fplPresets")) {
    p.SetPresetValues(value);
  } else if (SameText(key, u"fplSorted")) {
    p.SetSorted(SameText(value, u"true"));
  }
  // "fplGUIElem" and unknown keys: nothing.
}

}  // namespace

void TFeatureMatrix::CheckSavable() const {
  for (int32_t f = 1; f <= NFeatures(); ++f) {
    const TFeatMatProps& p = *props_[static_cast<size_t>(f - 1)];
    const Char* what = HasLineBreak(p.FeatName()) ? u"name"
                       : HasLineBreak(p.Comment()) ? u"comment"
                       : HasLineBreak(p.PresetValues()) ? u"preset text"
                                                        : nullptr;
    if (what != nullptr) {
      Fail(u": feature " + IntToStr(f) + u": a " + what + u" with a line break cannot be saved");
    }
    for (int32_t o = 1; o <= n_objs_; ++o) {
      if (HasLineBreak(Cell(f, o))) {
        Fail(u": feature " + IntToStr(f) + u", object " + IntToStr(o) +
             u": a value with a line break cannot be saved");
      }
    }
  }
}

void TFeatureMatrix::Save(const String& FName) const {
  CheckSavable();  // before the file is created
  TextFile f(FName);
  f.RewriteReplacing();
  SaveToOpenFile(f);
  f.Close();
}

void TFeatureMatrix::SaveToOpenFile(TextFile& F) const {
  CheckSavable();
  const String n = IntToStr(NFeatures());
  F.WriteLn(u"#featdef " + n + u" 1");
  for (int32_t i = 1; i <= NFeatures(); ++i) {
    const TFeatMatProps& p = *props_[static_cast<size_t>(i - 1)];
    const String ix = IntToStr(i) + u" ";
    F.WriteLn(ix + u"fplFeatNum " + IntToStr(p.FeatNum()));
    F.WriteLn(ix + u"fplFeatName " + p.FeatName());
    F.WriteLn(ix + u"fplFeatKind " + kKindNames[p.FeatKind() <= fkTriState ? p.FeatKind() : 0]);
    F.WriteLn(ix + u"fplComment " + p.Comment());
    F.WriteLn(ix + u"fplPresets " + p.PresetValues());
    F.WriteLn(ix + u"fplSorted " + (p.Sorted() ? u"TRUE" : u"FALSE"));
  }
  F.WriteLn(u"#featvals " + n + u" " + IntToStr(n_objs_));
  for (int32_t o = 1; o <= n_objs_; ++o) {
    for (int32_t f = 1; f <= NFeatures(); ++f) {
      const String& v = Cell(f, o);
      if (!v.empty()) F.WriteLn(IntToStr(f) + u" " + IntToStr(o) + u" " + v);
    }
  }
  F.WriteLn(u"#featend");
}

int TFeatureMatrix::Load(const String& FName) {
  struct stat st;
  if (FName.empty() || ::stat(ToUtf8(FName).c_str(), &st) != 0) return -1;
  TextFile f(FName);
  f.Reset();
  const int r = LoadFromOpenFile(f);
  f.Close();
  return r == 0 ? 0 : r == -1 ? -2 : -3;
}

int TFeatureMatrix::LoadFromOpenFile(TextFile& F) {
  Clear();
  int result = -1;
  try {
    String line;
    bool done = false;
    while (!done && !F.Eof()) {
      F.ReadLn(line);
      if (line.empty() || line[0] != u'#') continue;
      const size_t blank = line.find(u' ');
      const StringView name = StringView(line).substr(1, blank == String::npos ? String::npos : blank - 1);
      const String rest = blank == String::npos ? String() : StripLTBlanks(StringView(line).substr(blank + 1));
      if (SameText(name, u"featdef")) {
        result = 0;
        int pos = 1;
        const int32_t n = ScanDecInteger(rest, pos);
        const int32_t version = ScanDecInteger(rest, pos);
        if (version != 1) continue;  // its lines fall under the skip rule
        // A definitions block after a values header sizes its value table
        // by the objects that header declared: the same cell limit holds.
        if (n < 0 || int64_t{n} * n_objs_ > kMaxFileCells) throw FormatError{};
        // The lines first: a header that promises more definitions than
        // the file holds is a format error, found before any allocation.
        std::vector<String> lines;
        for (int64_t k = 0; k < 6 * int64_t{n}; ++k) {
          if (F.Eof()) throw FormatError{};
          F.ReadLn(line);
          lines.push_back(line);
        }
        std::vector<std::unique_ptr<TFeatMatProps>> props;
        for (int32_t k = 0; k < n; ++k) props.push_back(std::make_unique<TFeatMatProps>());
        for (const auto& l : lines) ReadDefinition(l, props);
        std::vector<std::vector<String>> vals(props.size(), std::vector<String>(static_cast<size_t>(n_objs_)));
        props_ = std::move(props);
        vals_ = std::move(vals);
      } else if (SameText(name, u"featvals")) {
        result = 0;
        const size_t sep = rest.find(u' ');
        if (sep == String::npos) throw FormatError{};
        int32_t nf, no;
        if (!TryStrToInt(StringView(rest).substr(0, sep), nf) ||
            !TryStrToInt(StringView(rest).substr(sep + 1), no) || nf < 0 || no < 0 ||
            nf > kMaxFileFeatures || no > kMaxFileCells || int64_t{nf} * no > kMaxFileCells) {
          // Each dimension alone is bounded too: features and objects cost
          // memory even when the other count is zero (a feature's
          // properties most).
          throw FormatError{};
        }
        // Features without a definition get default properties; extra
        // definitions are dropped.
        std::vector<std::vector<String>> vals(static_cast<size_t>(nf),
                                              std::vector<String>(static_cast<size_t>(no)));
        std::vector<std::unique_ptr<TFeatMatProps>> extra;
        for (size_t k = props_.size(); k < static_cast<size_t>(nf); ++k) {
          extra.push_back(std::make_unique<TFeatMatProps>());
        }
        props_.reserve(static_cast<size_t>(nf));
        if (props_.size() > static_cast<size_t>(nf)) props_.resize(static_cast<size_t>(nf));
        for (auto& p : extra) props_.push_back(std::move(p));
        vals_ = std::move(vals);
        n_objs_ = no;
        while (!F.Eof()) {
          F.ReadLn(line);
          if (line.empty() || line[0] == u'#') break;
          int pos = 1;
          const int32_t f = ScanDecInteger(line, pos);
          const int32_t o = ScanDecInteger(line, pos);
          if (InRange(f, o)) Cell(f, o) = StripLTBlanks(StringView(line).substr(static_cast<size_t>(pos - 1)));
        }
        done = true;
      }
      // Other names, and "featend", are skipped.
    }
  } catch (const FormatError&) {
    result = -2;
  } catch (const Exception&) {
    result = -2;
  } catch (const std::bad_alloc&) {
    result = -2;
  }
  Changed();
  return result;
}

}  // namespace zel
