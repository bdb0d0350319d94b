#include "zel/filesys/savedialog.h"

#include <memory>
#include <vector>

#include "zel/filesys/paths.h"
#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/hostpath.h"
#include "zel/platform/internal/pathmodel.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/split.h"
#include "zel/streams/tagscan.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {
namespace {

// Anything at the path, a dangling link included: saving there would
// replace or write through it.
bool SomethingExists(const String& name) {
  TFileInfo info;
  return GetFileInfo(name, info, false);
}

// Appends the names of `path` to `todo` so that the first is taken next
// (`todo` is worked from its back).
void PushNames(StringView path, detail::PathStyle style, std::vector<String>& todo) {
  const std::vector<String> names = detail::SplitPathNames(path, style);
  todo.insert(todo.end(), names.rbegin(), names.rend());
}

// The absolute path that `Path` leads to, "." and ".." taken where they
// stand and every link followed (a dangling one too: saving through it
// creates its target).  Names that do not exist (yet) are taken as
// written.  "\" separates as in the other path functions.
String CanonicalPath(StringView Path) {
  std::vector<String> todo;
  PushNames(Path, detail::kPortablePath, todo);
  if (Path.empty() || !IsPathSeparator(Path[0])) PushNames(GetCurrentDir(), detail::kHostPath, todo);
  String cur;  // "" is the root
  int links = 0;
  while (!todo.empty()) {
    const String part = std::move(todo.back());
    todo.pop_back();
    if (part == u".") continue;
    if (part == u"..") {
      const size_t slash = cur.rfind(u'/');
      cur.resize(slash == String::npos ? 0 : slash);
      continue;
    }
    const String next = cur + u'/' + part;
    TFileInfo info;
    String target;
    if (GetFileInfo(next, info, false) && (info.Attr & faSymLink) && links < 40 &&
        ReadSymLink(next, target) && !target.empty()) {
      ++links;
      PushNames(target, detail::kHostPath, todo);  // a link's text is a host path
      if (target[0] == u'/') cur.clear();
      continue;
    }
    cur = next;
  }
  return cur.empty() ? String(u"/") : cur;
}

}  // namespace

TUnivSaveDialog::TUnivSaveDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

String TUnivSaveDialog::ExtractParamAsString(StringView ParName) const {
  return ScanForXMLAttrib(FParams, ParName);
}

int TUnivSaveDialog::ExtractParamAsInt(StringView ParName) const {
  const String value = ExtractParamAsString(ParName);
  if (value.empty()) {
    throw EZELFileSysError(ComponentMessage(
        *this, u": " + String(ParName) + u" is not specified in property Parameters"));
  }
  int pos = 1;
  return ScanDecInteger(value, pos);
}

double TUnivSaveDialog::ExtractParamAsDouble(StringView ParName) const {
  const String value = ExtractParamAsString(ParName);
  if (value.empty()) {
    throw EZELFileSysError(ComponentMessage(
        *this, u": " + String(ParName) + u" is not specified in property Parameters"));
  }
  int pos = 1;
  return ScanFloat(value, true, 3, pos);
}

bool TUnivSaveDialog::IsForbiddenDir(StringView Dir) const {
  if (Dir.empty() || FForbiddenDir.empty()) return false;
  // Where the folders really are, so that "/tmp/../etc", "//etc" and a link
  // to /etc are all /etc.
  const String dir = AnsiLowerCase(CanonicalPath(Dir));
  String forbidden = AnsiLowerCase(CanonicalPath(FForbiddenDir));
  if (forbidden.back() != u'/') forbidden += u'/';
  // A whole folder: the folder itself or anything below it.
  return (dir + u'/').compare(0, forbidden.size(), forbidden) == 0;
}

void TUnivSaveDialog::SaveDiagTypeChange(TObject* Sender) {
  auto* dialog = dynamic_cast<TSaveDialog*>(Sender);
  if (dialog == nullptr) return;
  const int index = dialog->FilterIndex() - 1;
  const auto& types = dialog->FileTypes();
  if (index < 0 || index >= static_cast<int>(types.size())) return;
  const String& mask = types[static_cast<size_t>(index)].FileMask;
  if (mask.empty()) return;
  const String ext = mask.substr(1);
  if (ext == u".*") return;
  String name = dialog->TypedFileName();
  if (name.empty()) name = dialog->FileName();
  if (name.empty()) return;
  dialog->SetTypedFileName(StripPath(StripExtension(name) + ext));
}

TModalResult TUnivSaveDialog::ShowStandardDialog() {
  auto SDiag = std::make_unique<TSaveDialog>(nullptr);
  TOpenStringArray tokens;
  Tokenize(ExtractParamAsString(u"filter"), u"|", tokens);
  for (size_t i = 0; i + 1 < tokens.size(); i += 2) SDiag->AddFileType(tokens[i], tokens[i + 1]);
  const String ext = ExtractParamAsString(u"ext");
  SDiag->SetTitle(ExtractParamAsString(u"caption"));
  SDiag->SetInitialDir(ExtractParamAsString(u"initialdir"));
  SDiag->SetFilterIndex(FFilterIndex);
  SDiag->SetFileName(FFileName);
  SDiag->OnTypeChange = [this](TObject* sender) { SaveDiagTypeChange(sender); };

  TModalResult reply = mrCancel;
  if (SDiag->Execute(FParentWnd)) {
    reply = mrOk;
  } else if (SDiag->ErrorCode() != 0) {
    throw EZELFileSysError(ComponentMessage(
        *this, u": Error in standard dialog (errnum = $" +
                   HexDigits(static_cast<uint32_t>(SDiag->ErrorCode()), 4) + u")."));
  }
  FFileName = SDiag->FileName();
  FFilterIndex = SDiag->FilterIndex();
  // An empty name stays empty (a cancelled dialog with no name offered
  // must not leave a bare ".ext" behind).
  if (!ext.empty() && !FFileName.empty()) FFileName = StripExtension(FFileName) + u"." + ext;
  return reply;
}

bool TUnivSaveDialog::Execute() {
  for (;;) {
    TModalResult reply = mrCancel;
    if (FUseStdDiag) {
      reply = ShowStandardDialog();
    } else {
      if (!OnFileSelect) {
        throw EZELFileSysError(ComponentMessage(*this, u": File select dialog is not assigned"));
      }
      OnFileSelect(this, FParams, reply, FFileName);
    }
    if (reply != mrOk) return false;

    // The folder the file would really land in: the name itself may be a
    // link into the forbidden folder.
    const String dir = ExtractFilePath(FFileName);
    if (!FFileName.empty() && IsForbiddenDir(HostDirPart(CanonicalPath(FFileName)))) {
      TModalResult consent = mrYes;
      if (OnForbiddenDir) OnForbiddenDir(this, dir, consent);
      if (consent == mrCancel) return false;
      if (consent != mrYes) continue;  // show the dialog again
    }

    bool exists = false;
    if (FUseStdDiag) {
      exists = SomethingExists(FFileName);
    } else if (OnFileCheck) {
      OnFileCheck(this, FFileName, exists);
    }
    if (!exists) return true;
    if (!OnOverwrite) {
      throw EZELFileSysError(ComponentMessage(*this, u": Overwrite dialog is not assigned"));
    }
    TModalResult overwrite = mrNo;
    OnOverwrite(this, FFileName, overwrite);
    switch (overwrite) {
      case mrYes: return true;
      case mrCancel: return false;
      case mrNo: continue;
      default:
        throw EZELFileSysError(
            ComponentMessage(*this, u": Invalid reply argument from overwrite dialog"));
    }
  }
}

}  // namespace zel
