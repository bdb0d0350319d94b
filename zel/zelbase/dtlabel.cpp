#include "zel/zelbase/dtlabel.h"

namespace zel {

namespace {

// Stores `value` and reports true when it differs from `field`.
template <class T>
bool Update(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

// A handler must not hear from an object that is going away.
TDTLabel::~TDTLabel() { SetOnChange(nullptr); }

void TDTLabel::SetTimeFormat(TTimeFormat Value) {
  time_format_ = Value;
  Changed();
}

void TDTLabel::SetDAteOrder(TDateOrder Value) {
  date_order_ = Value;
  Changed();
}

void TDTLabel::SetDateSeparator(Char Value) {
  if (Update(date_separator_, Value)) Changed();
}

void TDTLabel::SetTimeSeparator(Char Value) {
  if (Update(time_separator_, Value)) Changed();
}

void TDTLabel::SetYearLength(TYearLength Value) {
  if (Update(year_length_, Value)) Changed();
}

void TDTLabel::SetMonthName(bool Value) {
  if (Update(month_name_, Value)) Changed();
}

void TDTLabel::SetDateForTime(TDateForTime Value) {
  if (Update(date_for_time_, Value)) Changed();
}

void TDTLabel::Assign(const TPersistent* Source) {
  if (const auto* source = dynamic_cast<const TDTLabel*>(Source)) {
    if (source == this) return;
    time_format_ = source->time_format_;
    date_separator_ = source->date_separator_;
    time_separator_ = source->time_separator_;
    year_length_ = source->year_length_;
    month_name_ = source->month_name_;
    date_order_ = source->date_order_;
    date_for_time_ = source->date_for_time_;
    SetOnChange(source->OnChange());
    return;
  }
  WithOnChange::Assign(Source);
}

void TDTLabel::AssignTo(TPersistent* Dest) const {
  if (auto* dest = dynamic_cast<TDTLabel*>(Dest)) {
    dest->Assign(this);
    return;
  }
  WithOnChange::AssignTo(Dest);
}

}  // namespace zel
