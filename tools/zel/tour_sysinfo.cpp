// Tour sections of system information and the save dialog: memory,
// directories, adapters, associations and passwords; the save dialog's
// policy driven by an application's own file selection.
#include <deque>

#include "tools/zel/cli.h"
#include "zel/filesys/savedialog.h"
#include "zel/filesys/sysinfo.h"

namespace zel::cli {
namespace {

void TourSysInfo() {
  TourHeading("filesys", "system information");
  uint64_t total = 0, avail = 0;
  GetMemoryStatus(total, avail);
  TourShow("GetMemoryStatus: total MiB", total >> 20);
  TourShow("GetMemoryStatus: available MiB", avail >> 20);
  String mac;
  const int status = GetMacAddress(1, mac);
  TourShow("GetMacAddress(1, mac) (wired)", status);
  TourShow("  mac", mac);
  TourShow("GetMacAddress(3, mac) (no such kind)", GetMacAddress(3, mac));
  TourShow("GetEnviroVar(u\"home\") (any case)", GetEnviroVar(u"home"));
  TourShow("GetTempDir()", GetTempDir());
  TourShow("GetSystemDir() / GetWindowsDir()", GetSystemDir() + u" " + GetWindowsDir());
  TourShow("PathDiskFree(GetTempDir()) > 0", PathDiskFree(GetTempDir()) > 0);
  TourShow("GetDiskDriveType(2) (no drive letters: no root)", GetDiskDriveType(2));
  TourShow("GetProgAssoc(u\"txt\") (empty when none)", GetProgAssoc(u"txt"));
  TourShow("InventPassword(9)", InventPassword(9));
  TourShow("InventPassword(12, true, true)", InventPassword(12, true, true));
}

void TourSaveDialog() {
  TourHeading("filesys", "universal save dialog (with the application's own selection)");
  TUnivSaveDialog dlg(nullptr);
  dlg.SetName(u"Tour");
  dlg.SetParameters(u"filter=\"Text|*.txt|All|*.*\" ext=txt caption=\"Save report\" width=640");
  dlg.SetUseStandardDialog(false);
  dlg.SetForbiddenDir(u"/etc");
  std::deque<String> choices = {u"/etc/report.txt", u"/home/me/report.txt", u"/home/me/new.txt"};
  String log;
  dlg.OnFileSelect = [&](TObject*, const String&, TModalResult& reply, String& name) {
    name = choices.front();
    choices.pop_front();
    reply = mrOk;
    log += u"select " + name + u"; ";
  };
  dlg.OnForbiddenDir = [&](TObject*, const String& dir, TModalResult& reply) {
    log += u"forbidden " + dir + u": no; ";
    reply = mrNo;
  };
  dlg.OnFileCheck = [](TObject*, const String& name, bool& exists) {
    exists = name == u"/home/me/report.txt";
  };
  dlg.OnOverwrite = [&](TObject*, const String& name, TModalResult& reply) {
    log += u"overwrite " + name + u"? no; ";
    reply = mrNo;
  };
  TourShow("ExtractParamAsString(u\"caption\")", dlg.ExtractParamAsString(u"caption"));
  TourShow("ExtractParamAsInt(u\"width\")", dlg.ExtractParamAsInt(u"width"));
  const bool ok = dlg.Execute();
  TourShow("Execute()", ok);
  TourShow("  calls", log);
  TourShow("  FileName()", dlg.FileName());
}

const TourSection kSysInfo(95, &TourSysInfo);
const TourSection kSaveDialog(96, &TourSaveDialog);

}  // namespace
}  // namespace zel::cli
