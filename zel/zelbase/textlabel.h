// zel/zelbase/textlabel.h — `TCustomTextLabel`, the settings of a text label
// placed on a chart: caption, position, frame, background, shadow, font and
// alignment.  It holds settings and announces changes; drawing it is the
// business of the chart that owns it.
//
//   zel::TCustomTextLabel label;               // at (100, 10), layer 1, centred
//   label.SetOnChange([](zel::TObject*) { Redraw(); });
//   label.SetTxtLblCaption(u"peak\tvalue");    // stored as u"peak value"
//   label.SetTxtLblLayer(17);                  // ignored: layers are 1..16
//   label.Font().SetStyle(zel::FontStyleBit(zel::fsBold));
//
//   zel::TextFile f(u"chart.xml");
//   f.Rewrite();
//   label.WriteToOpenXMLFile(f, true, u"lbl1", 2);
//   f.Close();
//   f.Reset();
//   bool found = label.ReadFromOpenXMLFile(f, u"LBL1");   // ids ignore case
//
// Every setter stores its value and then calls `Changed()` (the `OnChange`
// handler), except `SetTxtLblLayer` with a layer outside 1..16, which does
// nothing.  `SetTxtLblCaption` replaces each character below code 32 other
// than the line feed by a blank.  `Assign` copies every setting, the font
// (by the font's own `Assign`) and the `OnChange` handler, without calling
// `Changed()`.  The owned font is changed through `Font()`; changes made
// there do not call the label's handler.
//
// The label element (written and read by the two file methods):
//
//   <?xml version="1.0"?>                                  (CreateHeader only)
//                                                          (an empty line)
//   <!-- TCustomTextLabel / ZEL Component Suite -->
//   <custtextlbl sig="ZELCSuite" vers="1.0" id="lbl1">
//     <posxy x=         100 y=          10 />
//     <caption>peak value</caption>
//     <colors brd=$000000 bg=$C0C0C0 shdw=$808080 />
//     <shadowofs dx=0 dy=0 />
//     <layer val=1 />
//     <transparent val=0 />
//     <visible val=1 />
//     <alignment horiz=taCenter vert=vaBottom />
//     <attachmode val=tlamNone />
//     <font name="DejaVu Sans" size=10 color=$000000 style="fsBold" />
//     <style val=tlsimple />
//   </custtextlbl>
//
// Every line but the empty one starts with NSpaces blanks (1..255; less
// than 1 gives one blank); lines end with CR LF.  Colours are six hex digits
// of blue, green, red.  Positions are the shortest decimal text that reads
// back to the same double (a negative zero as "-0", infinities and NaN as
// "INF", "-INF", "NAN"), right-aligned in at least 12 characters.  "&", "<" and
// ">" in the caption, and those and '"' in the font name and the id, are
// written as "&amp;", "&lt;", "&gt;" and "&quot;", as are control
// characters in the font name and the id ("&#10;") and unpaired surrogates
// anywhere; texts without such characters are written as they are.
//
// Reading looks, line by line, for the first start tag of the element (the
// tag name and the signature in any letter case; when DataID is not empty,
// an id equal to it ignoring case), then reads the tags that follow up to
// "</custtextlbl>" and takes every setting the writer writes; the caption's
// character references are resolved and its control characters kept.
// Values are stored without the setters' checks (a layer of 99 stays 99);
// names that are not in the enumeration name tables, unknown tags, comments
// and elements nested in unknown ones are skipped; a font size beyond what a
// pixel height can hold is clamped.  Only a
// complete element counts: the label changes, and `Changed()` is called
// once, only when "</custtextlbl>" was read; a file without the element, or
// one that ends inside it, gives false and leaves the label untouched.
// Input/output errors raise `EInOutError`.
//
// The two file methods are defined in zel/streams/textlabel_xml.cpp: they
// use the number and tag scanners of the units above this one.
#ifndef ZEL_ZELBASE_TEXTLABEL_H_
#define ZEL_ZELBASE_TEXTLABEL_H_

#include <cstdint>

#include "zel/platform/changenotify.h"
#include "zel/platform/export.h"
#include "zel/platform/font.h"
#include "zel/platform/string.h"
#include "zel/platform/textfile.h"
#include "zel/platform/types.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

class TCustomTextLabel : public WithOnChange<TPersistent> {
 public:
  TCustomTextLabel() = default;

  // The label's settings (their defaults and file form: the top of this
  // file); each has a setter below.
  double PosX() const noexcept { return pos_x_; }
  double PosY() const noexcept { return pos_y_; }
  int32_t Layer() const noexcept { return layer_; }
  int32_t XShadow() const noexcept { return x_shadow_; }
  int32_t YShadow() const noexcept { return y_shadow_; }
  TColor ColorShadow() const noexcept { return color_shadow_; }
  TAlignment Alignment() const noexcept { return alignment_; }
  TVerticalAlignment VertAlign() const noexcept { return vert_align_; }
  TTxtLblAttachMode AttachDat() const noexcept { return attach_dat_; }
  TColor ColorBkg() const noexcept { return color_bkg_; }
  TColor ColorBrd() const noexcept { return color_brd_; }
  bool TransPar() const noexcept { return trans_par_; }
  const TFont& Font() const noexcept { return font_; }
  TFont& Font() noexcept { return font_; }
  const String& Caption() const noexcept { return caption_; }
  TTxtLblMode Mode() const noexcept { return mode_; }
  bool Visible() const noexcept { return visible_; }

  // The position; stores it and calls Changed().
  void SetTxtLblPosX(double Value);
  void SetTxtLblPosY(double Value);
  // Layers 1..16 only; any other value is ignored (no Changed).
  void SetTxtLblLayer(int32_t Value);
  // The other setters: each stores its value and calls Changed().
  void SetTxtLblShadowDx(int32_t Value);
  void SetTxtLblShadowDy(int32_t Value);
  void SetTxtLblColorShadow(TColor Value);
  void SetTxtLblColorBkg(TColor Value);
  void SetTxtLblColorBrd(TColor Value);
  void SetTxtLblAlignment(TAlignment Value);
  void SetTxtLblVertAlignment(TVerticalAlignment Value);
  void SetTxtLblScreenPos(TTxtLblAttachMode Value);
  void SetTxtLblTranspar(bool Value);
  void SetTxtLblVisible(bool Value);
  void SetTxtLblMode(TTxtLblMode Value);
  // Copies `Value` into the label's own font (TFont::Assign).
  void SetTxtLblFont(const TFont& Value);
  // Characters below 32 other than line feed become blanks.
  void SetTxtLblCaption(const String& Value);

  // Copies every setting, the font and OnChange from another label (no
  // Changed); other sources go to the inherited Assign.
  void Assign(const TPersistent* Source) override;

  // Writes the label element (layout above) to a text file open for
  // writing.  NSpaces is the indentation, limited to 1..255.
  void WriteToOpenXMLFile(TextFile& F, bool CreateHeader, const String& DataID,
                          int NSpaces) const;
  // Reads the first label element (with the id DataID, ignoring case, when
  // DataID is not empty) from a text file open for reading; true when a
  // complete element was read.
  bool ReadFromOpenXMLFile(TextFile& F, const String& DataID);

 protected:
  void AssignTo(TPersistent* Dest) const override;

 private:
  // Every setting but the change handler.
  void CopySettings(const TCustomTextLabel& From);

  double pos_x_ = 100.0;                      // FPosX
  double pos_y_ = 10.0;                       // FPosY
  int32_t layer_ = 1;                         // FLayer
  int32_t x_shadow_ = 0;                      // FXShadow
  int32_t y_shadow_ = 0;                      // FYShadow
  TColor color_shadow_ = 0x808080;            // FColorShadow: gray
  TAlignment alignment_ = taCenter;           // FAlignment
  TVerticalAlignment vert_align_ = vaBottom;  // FVertAlign
  TTxtLblAttachMode attach_dat_ = tlamNone;   // FAttachDat
  TColor color_bkg_ = 0xC0C0C0;               // FColorBkg: silver
  TColor color_brd_ = 0x000000;               // FColorBrd: black
  bool trans_par_ = false;                    // FTransPar
  TFont font_;                                // FFont
  String caption_;                            // FCaption
  TTxtLblMode mode_ = tlsimple;               // FMode
  bool visible_ = true;                       // FVisible
};

}  // namespace zel

#endif  // ZEL_ZELBASE_TEXTLABEL_H_
