#include "zel/platform/stringlist.h"

#include <algorithm>

#include "zel/platform/casemap.h"
#include "zel/platform/filestream.h"
#include "zel/platform/numconv.h"
#include "zel/platform/stream.h"

namespace zel {

void TStringList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) {
    throw EStringListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  }
}

void TStringList::Changed() {
  if (update_count_ > 0) {
    changed_while_updating_ = true;
    return;
  }
  if (on_change_) on_change_(this);
}

void TStringList::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0 && changed_while_updating_) {
    changed_while_updating_ = false;
    Changed();
  }
}

const String& TStringList::Strings(int Index) const {
  CheckIndex(Index, Count());
  return items_[static_cast<size_t>(Index)];
}

void TStringList::SetStrings(int Index, const String& S) {
  CheckIndex(Index, Count());
  items_[static_cast<size_t>(Index)] = S;
  Changed();
}

int TStringList::Add(const String& S) {
  items_.push_back(S);
  Changed();
  return Count() - 1;
}

void TStringList::AddStrings(const TStringList& Source) {
  const std::vector<String> copy = Source.items_;  // Source may be this list
  items_.insert(items_.end(), copy.begin(), copy.end());
  Changed();
}

void TStringList::Insert(int Index, const String& S) {
  CheckIndex(Index, Count() + 1);
  items_.insert(items_.begin() + Index, S);
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index, Count());
  items_.erase(items_.begin() + Index);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1, Count());
  CheckIndex(Index2, Count());
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::IndexOf(StringView S) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (case_sensitive_ ? items_[i] == S : AnsiSameText(items_[i], S)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end());
  Changed();
}

String TStringList::Text() const {
  String out;
  for (const String& s : items_) {
    out += s;
    out += u"\r\n";
  }
  return out;
}

void TStringList::SetText(StringView Text) {
  std::vector<String> lines;
  size_t start = 0;
  while (start < Text.size()) {
    const size_t stop = Text.find_first_of(u"\r\n", start);
    if (stop == StringView::npos) {
      lines.emplace_back(Text.substr(start));
      break;
    }
    lines.emplace_back(Text.substr(start, stop - start));
    start = stop + 1;
    if (Text[stop] == u'\r' && start < Text.size() && Text[start] == u'\n') ++start;
  }
  items_ = std::move(lines);
  Changed();
}

void TStringList::LoadFromStream(TStream& Stream) {
  std::string bytes;
  char chunk[65536];
  for (int64_t n; (n = Stream.Read(chunk, sizeof chunk)) > 0;) {
    bytes.append(chunk, static_cast<size_t>(n));
  }
  std::string_view view(bytes);
  if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
  SetText(FromUtf8(view));
}

void TStringList::SaveToStream(TStream& Stream) const {
  const std::string bytes = ToUtf8(Text());
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TStringList::LoadFromFile(const String& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStringList::SaveToFile(const String& FileName) const {
  TMemoryStream text;
  SaveToStream(text);
  text.SaveToFile(FileName);  // replaces the file only when all is written
}

void TStringList::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TStringList*>(Source)) {
    if (other != this) items_ = other->items_;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

}  // namespace zel
