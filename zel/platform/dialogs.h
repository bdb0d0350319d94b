// zel/platform/dialogs.h — the host's standard dialogs: a file-save dialog
// and a yes/no(/cancel) question.
//
//   zel::TSaveDialog d(nullptr);
//   d.AddFileType(u"Text", u"*.txt");
//   d.AddFileType(u"All", u"*.*");
//   d.SetTitle(u"Save report");
//   d.SetInitialDir(u"/home/me/reports");
//   d.SetFileName(u"report.txt");
//   if (d.Execute()) use(d.FileName());
//   else if (d.ErrorCode() != 0) ...;   // no dialog could be shown
//
// On Linux the dialogs are those of the desktop, run as helper programs:
// `zenity` (GTK) when it is on PATH, else `kdialog` (KDE).  Without either,
// or without a display ($DISPLAY or $WAYLAND_DISPLAY), `Execute` returns
// false with `ErrorCode()` kDialogFailure, as does a helper that ends
// abnormally.  Cancelling gives false with code 0.
//
// The helpers do not report which file type the user picked, nor a change
// of it while the dialog is open: the type that `FilterIndex` selects is
// offered first (so it is the one selected at the start) and
// `FilterIndex` keeps its value.  `OnTypeChange` is called by
// `SelectFileType`, which a dialog that does report changes (or a test)
// calls.  The helper's own overwrite question is not asked: callers decide
// about existing files themselves.
#ifndef ZEL_PLATFORM_DIALOGS_H_
#define ZEL_PLATFORM_DIALOGS_H_

#include <cstdint>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Replies of dialogs.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;

// An owner window; 0 for none.  The helper dialogs have no owner.
using TWindowHandle = uintptr_t;

// The error code of a dialog that could not be shown.
inline constexpr int kDialogFailure = 0xFFFF;

// A dialog component: shown by `Execute`.
class TCommonDialog : public TComponent {
 public:
  using TComponent::TComponent;
  virtual bool Execute() = 0;
};

class TSaveDialog : public TCommonDialog {
 public:
  // One entry of the dialog's file-type list.
  struct FileType {
    String DisplayName;  // the name shown, such as "Text"
    String FileMask;  // "*.txt", several joined by ';'
  };

  explicit TSaveDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

  void AddFileType(const String& DisplayName, const String& FileMask) {
    types_.push_back({DisplayName, FileMask});
  }
  // The file types in the order they were added.
  const std::vector<FileType>& FileTypes() const noexcept { return types_; }

  // The window title (empty: the helper's own).
  const String& Title() const noexcept { return title_; }
  void SetTitle(const String& S) { title_ = S; }
  // The folder the dialog starts in when `FileName` holds no "/" (empty:
  // the current directory).
  const String& InitialDir() const noexcept { return initial_dir_; }
  void SetInitialDir(const String& S) { initial_dir_ = S; }
  // The name offered first, and the chosen one after `Execute`.
  const String& FileName() const noexcept { return file_name_; }
  void SetFileName(const String& S) { file_name_ = S; }
  // The selected file type, counted from 1.
  int FilterIndex() const noexcept { return filter_index_; }
  void SetFilterIndex(int I) noexcept { filter_index_ = I; }
  // The name in the dialog's file-name field while it is shown (empty when
  // the dialog cannot tell); `SetTypedFileName` replaces it.
  const String& TypedFileName() const noexcept { return typed_name_; }
  void SetTypedFileName(const String& S) { typed_name_ = S; }

  // Called after the user selected another file type.
  TNotifyEvent OnTypeChange;
  // Selects file type `Index` (from 1) and calls `OnTypeChange`.
  void SelectFileType(int Index);

  bool Execute() override { return Execute(0); }
  bool Execute(TWindowHandle ParentWnd);
  // 0 after success or cancellation; kDialogFailure when no dialog could
  // be shown.
  int ErrorCode() const noexcept { return error_code_; }

 private:
  std::vector<FileType> types_;
  String title_, initial_dir_, file_name_, typed_name_;
  int filter_index_ = 1;
  int error_code_ = 0;
};

// Asks a question with Yes and No buttons (and Cancel when `WithCancel`):
// mrYes, mrNo or mrCancel; closing the window counts as No (zenity cannot
// tell it apart) or Cancel (kdialog).  No is the default button (zenity),
// so a stray Return does not consent.  mrNone when no dialog can be shown.
TModalResult QuestionDialog(const String& Title, const String& Text, bool WithCancel);

}  // namespace zel

#endif  // ZEL_PLATFORM_DIALOGS_H_
