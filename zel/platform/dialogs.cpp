// The host-neutral part of zel/platform/dialogs.h; the dialogs themselves
// are in dialogs_posix.cpp and dialogs_win32.cpp.
#include "zel/platform/dialogs.h"

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

void TSaveDialog::SelectFileType(int Index) {
  filter_index_ = Index;
  if (OnTypeChange) OnTypeChange(this);
}

}  // namespace zel
