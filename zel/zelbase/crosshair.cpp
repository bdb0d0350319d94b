#include "zel/zelbase/crosshair.h"

#include <algorithm>

namespace zel {

void TCrossHair::SetCrossHPosX(double Value) {
  pos_x_ = Value;
  Changed();
}

void TCrossHair::SetCrossHPosY(double Value) {
  pos_y_ = Value;
  Changed();
}

void TCrossHair::SetCrossHColor(TColor Value) {
  color_ = Value;
  Changed();
}

void TCrossHair::SetCrossHMode(TCrossHMode Value) {
  mode_ = Value;
  Changed();
}

void TCrossHair::SetCrossHLineType(TPenStyle Value) {
  line_type_ = Value;
  Changed();
}

void TCrossHair::SetCrossHLineWid(int32_t Value) {
  line_wid_ = Value;
  Changed();
}

void TCrossHair::SetCrossHLayer(int32_t Value) {
  layer_ = std::clamp(Value, int32_t{1}, int32_t{2});
  Changed();
}

void TCrossHair::SetPos(double xpos, double ypos) {
  if (xpos == pos_x_ && ypos == pos_y_) return;
  pos_x_ = xpos;
  pos_y_ = ypos;
  Changed();
}

void TCrossHair::Assign(const TPersistent* Source) {
  if (const auto* source = dynamic_cast<const TCrossHair*>(Source)) {
    if (source == this) return;
    pos_x_ = source->pos_x_;
    pos_y_ = source->pos_y_;
    color_ = source->color_;
    mode_ = source->mode_;
    line_type_ = source->line_type_;
    line_wid_ = source->line_wid_;
    layer_ = source->layer_;
    SetOnChange(source->OnChange());
    return;
  }
  WithOnChange::Assign(Source);
}

void TCrossHair::AssignTo(TPersistent* Dest) const {
  if (auto* dest = dynamic_cast<TCrossHair*>(Dest)) {
    dest->Assign(this);
    return;
  }
  WithOnChange::AssignTo(Dest);
}

}  // namespace zel
