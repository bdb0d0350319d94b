// Fuzzes the label element reader of TCustomTextLabel: the input is the
// file.  Whatever it holds, reading must not crash; a failed read must leave
// the label exactly as it was (no setting changed, no change event); a label
// that was read must write an element that reads back to the same settings.
//
// The DataID asked for is "" for inputs of odd length, "lbl1" otherwise.
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "zel/platform/textfile.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/textlabel.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Every setting, positions by their bits (any NaN counts as one value);
// colours as the element stores them when `colors24` (the low 24 bits).
std::string Dump(const zel::TCustomTextLabel& l, bool colors24) {
  const auto bits = [](double v) {
    return std::to_string(std::isnan(v) ? uint64_t{1} : std::bit_cast<uint64_t>(v));
  };
  const auto color = [&](zel::TColor c) { return std::to_string(colors24 ? c & 0xFFFFFF : c); };
  const zel::TFont& f = l.Font();
  return bits(l.PosX()) + " " + bits(l.PosY()) + " " + std::to_string(l.Layer()) + " " +
         std::to_string(l.XShadow()) + " " + std::to_string(l.YShadow()) + " " +
         color(l.ColorShadow()) + " " + std::to_string(l.Alignment()) + " " +
         std::to_string(l.VertAlign()) + " " + std::to_string(l.AttachDat()) + " " +
         color(l.ColorBkg()) + " " + color(l.ColorBrd()) + " " + std::to_string(l.TransPar()) +
         " [" + zel::ToUtf8(f.Name()) + "] " + std::to_string(f.Height()) + " " +
         color(f.Color()) + " " + std::to_string(f.Style()) + " " +
         std::to_string(f.PixelsPerInch()) + " [" + zel::ToUtf8(l.Caption()) + "] " +
         std::to_string(l.Mode()) + " " + std::to_string(l.Visible());
}

// Caption characters as code numbers: ToUtf8 maps unpaired surrogates alike.
std::string Codes(const zel::String& s) {
  std::string out;
  for (char16_t c : s) out += std::to_string(c) + ",";
  return out;
}

// A scratch directory for the whole run, removed with its files at exit.
const std::string& Dir() {
  static const zel::testutil::TempDir dir("label_fuzz");
  return dir.Dir();
}

bool ReadFile(const std::string& name, const zel::String& id, zel::TCustomTextLabel& l) {
  zel::TextFile f(zel::FromUtf8(name));
  f.Reset();
  return l.ReadFromOpenXMLFile(f, id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in = Dir() + "/in.xml", out = Dir() + "/out.xml";
  FILE* f = std::fopen(in.c_str(), "wb");
  Check(f != nullptr);
  if (size > 0) Check(std::fwrite(data, 1, size, f) == size);
  std::fclose(f);

  const zel::String id = size % 2 == 1 ? zel::String() : zel::String(u"lbl1");
  zel::TCustomTextLabel label;
  label.SetTxtLblPosX(-1.5);
  label.SetTxtLblLayer(3);
  label.SetTxtLblCaption(u"before");
  label.SetTxtLblMode(zel::tlBox);
  label.Font().SetStyle(zel::FontStyleBit(zel::fsUnderline));
  label.Font().SetColor(0x0A0B0C);
  int changes = 0;
  label.SetOnChange([&](zel::TObject*) { ++changes; });
  const std::string before = Dump(label, false);
  if (!ReadFile(in, id, label)) {
    Check(Dump(label, false) == before);
    Check(changes == 0);
    return 0;
  }
  Check(changes == 1);

  zel::TextFile w(zel::FromUtf8(out));
  w.Rewrite();
  label.WriteToOpenXMLFile(w, size % 3 == 0, id, static_cast<int>(size % 7) - 1);
  w.Close();
  zel::TCustomTextLabel back;
  Check(ReadFile(out, id, back));
  Check(Dump(back, true) == Dump(label, true));
  Check(Codes(back.Caption()) == Codes(label.Caption()));
  Check(Codes(back.Font().Name()) == Codes(label.Font().Name()));
  return 0;
}
