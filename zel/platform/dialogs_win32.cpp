// The Windows side of zel/platform/dialogs.h: the common save dialog
// (GetSaveFileNameW) and a message box.
//
// The dialog reports the file type the user picked (`FilterIndex` after
// `Execute`).  It asks no overwrite question of its own (callers decide
// about existing files).  When it cannot be shown, `ErrorCode()` is the
// common dialog's own error code (CommDlgExtendedError); cancelling gives
// false with 0.
#include "zel/platform/dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/internal/wide_win32.h"

namespace ZEL_EXPORT zel {

bool TSaveDialog::Execute(TWindowHandle ParentWnd) {
  error_code_ = 0;
  // The filter: display name and mask pairs, each ended by a NUL, the list
  // by a second one.
  std::wstring filter;
  for (const FileType& t : types_) {
    filter += detail::Wide(t.DisplayName);
    filter.push_back(L'\0');
    filter += detail::Wide(t.FileMask);
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring offered = detail::Wide(file_name_);
  offered.copy(name.data(), std::min(offered.size(), name.size() - 1));
  const std::wstring title = detail::Wide(title_);
  const std::wstring initial = detail::Wide(initial_dir_);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = reinterpret_cast<HWND>(ParentWnd);
  ofn.lpstrFilter = types_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = filter_index_ > 0 ? static_cast<DWORD>(filter_index_) : 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) {
    error_code_ = static_cast<int>(CommDlgExtendedError());
    return false;
  }
  file_name_ = detail::FromWide(name.data());
  filter_index_ = static_cast<int>(ofn.nFilterIndex);
  return true;
}

TModalResult QuestionDialog(const String& Title, const String& Text, bool WithCancel) {
  const std::wstring title = detail::Wide(Title);
  const std::wstring text = detail::Wide(Text);
  const UINT type = (WithCancel ? MB_YESNOCANCEL : MB_YESNO) | MB_DEFBUTTON2 | MB_ICONQUESTION;
  switch (MessageBoxW(nullptr, text.c_str(), title.c_str(), type)) {
    case IDYES:
      return mrYes;
    case IDNO:
      return mrNo;
    case IDCANCEL:
      return mrCancel;
    default:
      return mrNone;
  }
}

}  // namespace zel
