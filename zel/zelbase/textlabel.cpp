#include "zel/zelbase/textlabel.h"

namespace zel {

void TCustomTextLabel::SetTxtLblPosX(double Value) {
  pos_x_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblPosY(double Value) {
  pos_y_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblLayer(int32_t Value) {
  if (Value < 1 || Value > 16) return;
  layer_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblShadowDx(int32_t Value) {
  x_shadow_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblShadowDy(int32_t Value) {
  y_shadow_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblColorShadow(TColor Value) {
  color_shadow_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblColorBkg(TColor Value) {
  color_bkg_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblColorBrd(TColor Value) {
  color_brd_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblAlignment(TAlignment Value) {
  alignment_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblVertAlignment(TVerticalAlignment Value) {
  vert_align_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblScreenPos(TTxtLblAttachMode Value) {
  attach_dat_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblTranspar(bool Value) {
  trans_par_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblVisible(bool Value) {
  visible_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblMode(TTxtLblMode Value) {
  mode_ = Value;
  Changed();
}

void TCustomTextLabel::SetTxtLblFont(const TFont& Value) {
  font_.Assign(&Value);
  Changed();
}

void TCustomTextLabel::SetTxtLblCaption(const String& Value) {
  caption_ = Value;
  for (Char& c : caption_) {
    if (c < 32 && c != u'\n') c = u' ';
  }
  Changed();
}

void TCustomTextLabel::CopySettings(const TCustomTextLabel& From) {
  if (&From == this) return;
  pos_x_ = From.pos_x_;
  pos_y_ = From.pos_y_;
  layer_ = From.layer_;
  x_shadow_ = From.x_shadow_;
  y_shadow_ = From.y_shadow_;
  color_shadow_ = From.color_shadow_;
  alignment_ = From.alignment_;
  vert_align_ = From.vert_align_;
  attach_dat_ = From.attach_dat_;
  color_bkg_ = From.color_bkg_;
  color_brd_ = From.color_brd_;
  trans_par_ = From.trans_par_;
  font_.Assign(&From.font_);
  caption_ = From.caption_;
  mode_ = From.mode_;
  visible_ = From.visible_;
}

void TCustomTextLabel::Assign(const TPersistent* Source) {
  if (const auto* source = dynamic_cast<const TCustomTextLabel*>(Source)) {
    if (source == this) return;
    CopySettings(*source);
    SetOnChange(source->OnChange());
    return;
  }
  WithOnChange::Assign(Source);
}

void TCustomTextLabel::AssignTo(TPersistent* Dest) const {
  if (auto* dest = dynamic_cast<TCustomTextLabel*>(Dest)) {
    dest->Assign(this);
    return;
  }
  WithOnChange::AssignTo(Dest);
}

}  // namespace zel
