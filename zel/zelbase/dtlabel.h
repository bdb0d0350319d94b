// zel/zelbase/dtlabel.h — `TDTLabel`, how date and time values are written
// on a chart axis: time format, separators, year length, month names, the
// order of day, month and year, and how often the date accompanies a time.
//
//   zel::TDTLabel fmt;                    // tfHHMMSS, ".", ":", ylYYYY, doYYMMDD
//   fmt.SetOnChange([](zel::TObject*) { RedrawAxis(); });
//   fmt.SetDateSeparator(u'/');           // changed: calls the handler
//   fmt.SetDateSeparator(u'/');           // same value: does nothing
//   fmt.SetTimeFormat(zel::tfHHMMSS);     // always calls the handler
//
// `SetTimeFormat` and `SetDAteOrder` store and call `Changed()` every time;
// the other setters do nothing when the value equals the current one.
// `Assign` copies every setting and the `OnChange` handler, without calling
// `Changed()`.
#ifndef ZEL_ZELBASE_DTLABEL_H_
#define ZEL_ZELBASE_DTLABEL_H_

#include "zel/platform/changenotify.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

class TDTLabel : public WithOnChange<TPersistent> {
 public:
  TDTLabel() = default;
  ~TDTLabel() override;

  // The settings, with their start values: the time format (tfHHMMSS), the
  // characters between the fields of a date and of a time ('.' and ':'),
  // the year length (ylYYYY), whether months are written by name (false),
  // the order of day, month and year (doYYMMDD), and where the date goes
  // with a time (dtOnePerChart).
  TTimeFormat TimeFormat() const noexcept { return time_format_; }
  Char DateSeparator() const noexcept { return date_separator_; }
  Char TimeSeparator() const noexcept { return time_separator_; }
  TYearLength YearLength() const noexcept { return year_length_; }
  bool MonthName() const noexcept { return month_name_; }
  TDateOrder DateOrder() const noexcept { return date_order_; }
  TDateForTime DateForTime() const noexcept { return date_for_time_; }

  // Set one setting each; see the top of this file for when they call
  // Changed.
  void SetTimeFormat(TTimeFormat Value);
  void SetDateSeparator(Char Value);
  void SetTimeSeparator(Char Value);
  void SetYearLength(TYearLength Value);
  void SetMonthName(bool Value);
  // The setter of DateOrder, under the name it has always had.
  void SetDAteOrder(TDateOrder Value);
  // Sets DateForTime; nothing when it is the current value.
  void SetDateForTime(TDateForTime Value);

  // Copies every setting and OnChange from another TDTLabel (no Changed);
  // other sources go to the inherited Assign.
  void Assign(const TPersistent* Source) override;

 protected:
  void AssignTo(TPersistent* Dest) const override;

 private:
  TTimeFormat time_format_ = tfHHMMSS;          // FTimeFormat
  Char date_separator_ = u'.';                  // FDateSeparator
  Char time_separator_ = u':';                  // FTimeSeparator
  TYearLength year_length_ = ylYYYY;            // FYearLength
  bool month_name_ = false;                     // FMonthName
  TDateOrder date_order_ = doYYMMDD;            // FDateOrder
  TDateForTime date_for_time_ = dtOnePerChart;  // FDateForTime
};

}  // namespace zel

#endif  // ZEL_ZELBASE_DTLABEL_H_
