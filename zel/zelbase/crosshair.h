// zel/zelbase/crosshair.h — `TCrossHair`, the settings of a cross-hair
// cursor on a chart: position, colour, shape, line style and width, layer.
//
//   zel::TCrossHair ch;                   // all zero: (0, 0), black, chOff, psSolid
//   ch.SetOnChange([](zel::TObject*) { Redraw(); });
//   ch.SetCrossHMode(zel::chBoth);
//   ch.SetPos(12.5, 3.0);                 // one Changed for both coordinates
//   ch.SetPos(12.5, 3.0);                 // same position: nothing
//   ch.SetCrossHLayer(7);                 // clamped: layer 2
//
// Every setter stores and calls `Changed()`; `SetCrossHLayer` clamps to 1..2
// first, and `SetPos` does nothing when both coordinates equal the current
// ones.  `Assign` copies every setting and the `OnChange` handler, without
// calling `Changed()`.
#ifndef ZEL_ZELBASE_CROSSHAIR_H_
#define ZEL_ZELBASE_CROSSHAIR_H_

#include <cstdint>

#include "zel/platform/changenotify.h"
#include "zel/platform/export.h"
#include "zel/platform/types.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

class TCrossHair : public WithOnChange<TPersistent> {
 public:
  TCrossHair() = default;

  // The position on the chart, x and y (0 at first).
  double PosX() const noexcept { return pos_x_; }
  double PosY() const noexcept { return pos_y_; }
  // The colour, shape, line style and line width (black, chOff, psSolid and
  // 0 at first), kept as given for the code that draws the cross-hair.
  TColor Color() const noexcept { return color_; }
  TCrossHMode Mode() const noexcept { return mode_; }
  TPenStyle LineType() const noexcept { return line_type_; }
  int32_t LineWid() const noexcept { return line_wid_; }
  // 0 until set; then 1 or 2.
  int32_t Layer() const noexcept { return layer_; }

  // Store the value and call Changed, also when it is the current one.
  void SetCrossHPosX(double Value);
  void SetCrossHPosY(double Value);
  void SetCrossHColor(TColor Value);
  void SetCrossHMode(TCrossHMode Value);
  void SetCrossHLineType(TPenStyle Value);
  void SetCrossHLineWid(int32_t Value);
  // Clamps to 1..2, stores, calls Changed.
  void SetCrossHLayer(int32_t Value);
  // Nothing when both equal the current position; else stores both and
  // calls Changed once.
  void SetPos(double xpos, double ypos);

  // Copies every setting and OnChange from another TCrossHair (no Changed);
  // other sources go to the inherited Assign.
  void Assign(const TPersistent* Source) override;

 protected:
  void AssignTo(TPersistent* Dest) const override;

 private:
  double pos_x_ = 0;             // FPosX
  double pos_y_ = 0;             // FPosY
  TColor color_ = 0;             // FColor: black
  TCrossHMode mode_ = chOff;     // FMode
  TPenStyle line_type_ = psSolid;  // FLineType
  int32_t line_wid_ = 0;         // FLineWid
  int32_t layer_ = 0;            // FLayer
};

}  // namespace zel

#endif  // ZEL_ZELBASE_CROSSHAIR_H_
