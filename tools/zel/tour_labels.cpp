// `zel tour` section for the chart decorations of zelbase: a text label and
// its tagged-text element, the date/time label format and the cross-hair.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tools/zel/cli.h"
#include "zel/platform/numconv.h"
#include "zel/platform/textfile.h"
#include "zel/zelbase/zelbase.h"

namespace zel::cli {
namespace {

void TourLabels() {
  TourHeading("zelbase", "a chart text label: setter rules and change events");
  TCustomTextLabel label;
  int changes = 0;
  label.SetOnChange([&](TObject*) { ++changes; });
  label.SetTxtLblCaption(u"max\t= 3 < 4\r\n& rising");
  TourShow("SetTxtLblCaption(u\"max\\t= 3 < 4\\r\\n& rising\")", label.Caption());
  label.SetTxtLblLayer(17);
  TourShow("SetTxtLblLayer(17): layer (1..16 only)", label.Layer());
  label.SetTxtLblPosX(0.1 + 0.2);
  TourShow("change events so far", changes);

  TourHeading("zelbase", "the label element, written and read back");
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("zel-tour-label-" + std::to_string(::getpid()))).string();
  {
    TextFile f(FromUtf8(path));
    f.Rewrite();
    label.WriteToOpenXMLFile(f, false, u"peak", 1);
    f.Close();
    f.Reset();
    String line;
    for (int i = 1; i <= 5; ++i) {
      f.ReadLn(line);
      if (i >= 3) TourShow("line " + std::to_string(i), line);
    }
    f.Close();
  }
  TCustomTextLabel back;
  {
    TextFile f(FromUtf8(path));
    f.Reset();
    TourShow("ReadFromOpenXMLFile(f, u\"PEAK\")", back.ReadFromOpenXMLFile(f, u"PEAK"));
    f.Close();
  }
  std::filesystem::remove(path);
  TourShow("  caption", back.Caption());
  TourShow("  PosX == 0.1 + 0.2 (the same double)", back.PosX() == 0.1 + 0.2);

  TourHeading("zelbase", "date/time label format and cross-hair");
  TDTLabel dt;
  int dt_changes = 0;
  dt.SetOnChange([&](TObject*) { ++dt_changes; });
  dt.SetDateSeparator(u'.');
  dt.SetTimeFormat(tfHHMMSS);
  TourShow("same separator, then same time format: events", dt_changes);
  TCrossHair ch;
  int ch_changes = 0;
  ch.SetOnChange([&](TObject*) { ++ch_changes; });
  ch.SetCrossHLayer(7);
  TourShow("TCrossHair SetCrossHLayer(7) (1..2)", ch.Layer());
  ch.SetPos(2.5, 0);
  ch.SetPos(2.5, 0);
  TourShow("SetPos twice to (2.5, 0): events after the layer's", ch_changes - 1);
}

const TourSection kLabels(31, &TourLabels);

}  // namespace
}  // namespace zel::cli
