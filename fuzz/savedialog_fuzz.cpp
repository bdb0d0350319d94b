// Fuzzes the save dialog's parameter list and the steps around it that need
// no helper program: the attributes read from `Parameters` (as text, whole
// number and number), the file types split from "filter" as the dialog
// adds them, the type-change handler on a typed name, and the forbidden
// folder test (canonical paths, read-only look-ups).
//
// Input layout: byte 0 picks the file type; the rest, read as UTF-8
// (invalid bytes as Windows-1252), is the parameter text, and from its
// first NUL on a path for the folder test and the typed name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/filesys/paths.h"
#include "zel/filesys/savedialog.h"
#include "zel/stringl/split.h"
#include "zel/zelbase/errors.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

using zel::String;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t nul = bytes.find('\0');
  const String params = zel::FromUtf8(bytes.substr(0, nul));
  const String path = nul == std::string_view::npos ? String() : zel::FromUtf8(bytes.substr(nul + 1));

  zel::TUnivSaveDialog dlg(nullptr);
  dlg.SetName(u"Fuzz");
  dlg.SetParameters(params);
  for (const char16_t* name : {u"filter", u"ext", u"caption", u"initialdir", u"width", u"FILTER"}) {
    const String value = dlg.ExtractParamAsString(name);
    try {
      dlg.ExtractParamAsInt(name);
      dlg.ExtractParamAsDouble(name);
      Check(!value.empty());
    } catch (const zel::EZELFileSysError& e) {
      Check(value.empty());
      Check(e.Message() == u"Component \"Fuzz\": " + String(name) +
                               u" is not specified in property Parameters");
    }
  }

  // The file types as the standard dialog gets them, and a type change.
  zel::TSaveDialog sd(nullptr);
  zel::TOpenStringArray tokens;
  zel::Tokenize(dlg.ExtractParamAsString(u"filter"), u"|", tokens);
  for (size_t i = 0; i + 1 < tokens.size(); i += 2) sd.AddFileType(tokens[i], tokens[i + 1]);
  sd.OnTypeChange = [&](zel::TObject* s) { dlg.SaveDiagTypeChange(s); };
  sd.SetFileName(path);
  sd.SetTypedFileName(path.substr(0, path.size() / 2));
  sd.SelectFileType(1 + data[0] % 8);
  const String typed = sd.TypedFileName();
  Check(typed == path.substr(0, path.size() / 2) || typed.find_first_of(u"\\/") == String::npos);

  dlg.SetForbiddenDir(path);
  if (!path.empty()) {
    Check(dlg.IsForbiddenDir(path));  // a folder lies in itself
    // "./" in front of the name changes nothing (after a drive prefix,
    // "C:./x" is another name).
    const String dir = zel::ExtractFilePath(path), name = zel::ExtractFileName(path);
    if (!name.empty() && (dir.empty() || zel::IsPathSeparator(dir.back()))) {
      Check(dlg.IsForbiddenDir(dir + u"./" + name));
    }
  }
  dlg.SetForbiddenDir(params);
  dlg.IsForbiddenDir(path);
  return 0;
}
