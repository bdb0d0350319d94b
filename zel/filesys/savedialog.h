// zel/filesys/savedialog.h — asking the user for the name of a file to save,
// with a forced extension, a folder that needs consent and an overwrite
// question.
//
//   zel::TUnivSaveDialog dlg(nullptr);
//   dlg.SetName(u"SaveReport");
//   dlg.SetParameters(u"filter=\"Text|*.txt|All|*.*\" ext=txt caption=\"Save report\""
//                     u" initialdir=/home/me");
//   dlg.SetForbiddenDir(u"/etc");
//   dlg.OnOverwrite = [](zel::TObject*, const zel::String& name, zel::TModalResult& reply) {
//     reply = zel::QuestionDialog(u"Save", name + u" exists. Replace it?", true);
//   };
//   if (dlg.Execute()) save(dlg.FileName());   // ends in ".txt"
//
// The file name comes from the host's save dialog (zel/platform/dialogs.h)
// or, with `SetUseStandardDialog(false)`, from the application's own
// `OnFileSelect`.  `Execute` then:
//   * forces the "ext" extension onto the chosen name (standard dialog),
//   * asks `OnForbiddenDir` when the name lies in `ForbiddenDir` (yes: go
//     on; cancel: give up; no: show the dialog again); without a handler
//     consent is assumed,
//   * asks `OnOverwrite` when the file exists (yes: done; cancel: give up;
//     no: show the dialog again); an existing file without a handler is an
//     error.  With the application's dialog, existence is what
//     `OnFileCheck` says (a missing handler: the file counts as absent).
// `FileName` and `FilterIndex` keep the last choice, also after a false
// result.  Failures raise `EZELFileSysError` in the component form
// (`Component "SaveReport": ...`).
//
// Settings in `Parameters` (attribute names without regard to case):
// "filter" (display names and masks alternating, separated by '|'), "ext"
// (without the dot), "caption", "initialdir".
//
// `ForbiddenDir` is compared with the folder the chosen file would really
// land in, without regard to case, as a whole folder: "/etc" covers /etc/
// and /etc/ssh/ but not /etcetera/.  Both sides are first made canonical:
// absolute, "." and ".." resolved where they stand, and every link
// followed (also a dangling one, and the chosen name itself when it is a
// link), so "/tmp/../etc/x", "//etc/x" and a link to /etc all need consent.
// Names that do not exist yet are taken as written below their existing
// parent.
#ifndef ZEL_FILESYS_SAVEDIALOG_H_
#define ZEL_FILESYS_SAVEDIALOG_H_

#include <functional>

#include "zel/platform/dialogs.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The application's own file dialog: gets `Parameters` and sets UserAction
// (mrCancel at first; anything but mrOk gives up) and SelectedFileName (the
// dialog's FileName at first).
using TOnFileSelectEvent = std::function<void(TObject* Sender, const String& Parameters,
                                              TModalResult& UserAction,
                                              String& SelectedFileName)>;
// Says whether FileName exists (FileDoesExist false at first); asked only
// with the application's own dialog.
using TOnFileCheckEvent =
    std::function<void(TObject* Sender, const String& FileName, bool& FileDoesExist)>;
// Asks whether the existing FileName may be replaced: mrYes (done), mrNo
// (the start value: show the dialog again) or mrCancel (give up); any other
// reply raises EZELFileSysError.
using TOnOverwriteEvent =
    std::function<void(TObject* Sender, const String& FileName, TModalResult& OverwriteReply)>;
// Asks for consent to save into the forbidden folder; Path is the directory
// part of the chosen name as given.  mrYes (the start value) goes on,
// mrCancel gives up, any other reply shows the dialog again.
using TOnForbiddenDirEvent =
    std::function<void(TObject* Sender, const String& Path, TModalResult& ForbiddenDirReply)>;

class TUnivSaveDialog : public TCommonDialog {
 public:
  explicit TUnivSaveDialog(TComponent* AOwner);

  bool Execute() override;

  // The settings text (see "Settings in `Parameters`" above).
  const String& Parameters() const noexcept { return FParams; }
  void SetParameters(const String& S) { FParams = S; }
  // The name offered to the dialog, and the one chosen after `Execute`.
  const String& FileName() const noexcept { return FFileName; }
  void SetFileName(const String& S) { FFileName = S; }
  // The file type selected in the standard dialog, counted from 1 (1 at
  // first).
  int FilterIndex() const noexcept { return FFilterIndex; }
  void SetFilterIndex(int I) noexcept { FFilterIndex = I; }
  // The folder whose use needs consent (empty: none).
  const String& ForbiddenDir() const noexcept { return FForbiddenDir; }
  void SetForbiddenDir(const String& S) { FForbiddenDir = S; }
  // The owner window handed to the standard dialog (0 at first: none).
  TWindowHandle ParentWnd() const noexcept { return FParentWnd; }
  void SetParentWnd(TWindowHandle H) noexcept { FParentWnd = H; }
  // True (at first) to show the host's save dialog, false to call
  // `OnFileSelect` instead.
  bool UseStandardDialog() const noexcept { return FUseStdDiag; }
  void SetUseStandardDialog(bool On) noexcept { FUseStdDiag = On; }

  TOnFileSelectEvent OnFileSelect;
  TOnFileCheckEvent OnFileCheck;
  TOnOverwriteEvent OnOverwrite;
  TOnForbiddenDirEvent OnForbiddenDir;

  // The value of attribute `ParName` in `Parameters`, empty when absent.
  String ExtractParamAsString(StringView ParName) const;
  // That value as a whole number / a number ("," or "." as decimal point,
  // exponent allowed); raise when the attribute is absent.
  int ExtractParamAsInt(StringView ParName) const;
  double ExtractParamAsDouble(StringView ParName) const;

  // True when `Dir` lies in `ForbiddenDir`, both made canonical (see
  // above); false when either is empty.
  bool IsForbiddenDir(StringView Dir) const;
  // The standard dialog's file-type change: the typed name (or the
  // dialog's file name) gets the new type's extension, without its folder.
  // Masks "*.*" leave it alone.  `Sender` is the TSaveDialog.
  void SaveDiagTypeChange(TObject* Sender);

 private:
  // One showing of the host's dialog: the reply, and FFileName and
  // FFilterIndex taken back from it.
  TModalResult ShowStandardDialog();

  String FParams;
  String FFileName;
  TWindowHandle FParentWnd = 0;
  bool FUseStdDiag = true;
  int FFilterIndex = 1;
  String FForbiddenDir;
};

}  // namespace zel

#endif  // ZEL_FILESYS_SAVEDIALOG_H_
