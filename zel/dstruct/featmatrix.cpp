#include "zel/dstruct/featmatrix.h"

#include <algorithm>
#include <cmath>

#include "zel/platform/casemap.h"
#include "zel/platform/datetime.h"
#include "zel/platform/export.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/valuetext.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {
namespace {

// Not empty; a single character is a digit; otherwise a sign or digit and
// then digits only.
bool IntegerTextPasses(StringView s) {
  if (s.empty()) return false;
  auto digit = [](Char c) { return c >= u'0' && c <= u'9'; };
  if (s.size() == 1) return digit(s[0]);
  if (!digit(s[0]) && s[0] != u'+' && s[0] != u'-') return false;
  return std::all_of(s.begin() + 1, s.end(), digit);
}

// The number scanner ('.' as the only separator, exponents allowed) must
// end in success; exponent digits above 4200 fail instead of being cut.
bool FloatTextPasses(StringView s) {
  int pos = 1;
  const FloatScanResult r = ScanFloatDetailed(s, true, 1, pos);
  return r.ok && !r.exponent_over_4200;
}

bool TriStateTextPasses(StringView s) {
  const String l = LowerCase(s);
  return l.empty() || l == u"true" || l == u"false";
}

constexpr int kMaxWidth = 10000;

// Decimal text of `n` by the width rule of the D and I tags.
String WidthText(int64_t n, int w) {
  w = std::clamp(w, -kMaxWidth, kMaxWidth);
  if (w == 0) return IntToStr(n);
  if (w > 0) {
    String s = IntToStr(n);
    if (s.size() > static_cast<size_t>(w)) return s.substr(s.size() - static_cast<size_t>(w));
    return String(static_cast<size_t>(w) - s.size(), u' ') + s;
  }
  const size_t digits = static_cast<size_t>(-w);
  String mag = IntToStr(static_cast<uint64_t>(n < 0 ? -n : n));
  if (mag.size() > digits) mag = mag.substr(mag.size() - digits);
  mag.insert(0, digits - mag.size(), u'0');
  return n < 0 ? u"-" + mag : mag;
}

// Expands the tags of `tmpl`; false when a tag is malformed or unknown.
bool ExpandTemplate(StringView tmpl, int64_t number, int64_t index, TDateTime t, String& out) {
  out = String(tmpl);
  size_t from = 0;
  for (;;) {
    const size_t p = out.find(u"<%", from);
    if (p == String::npos) return true;
    const size_t q = out.find(u"%>", from);
    if (q == String::npos || p > q || q < p + 3) return false;
    const Char letter = AsciiUpper(out[p + 2]);
    const String param = out.substr(p + 3, q - p - 3);
    int pos = 1;
    String repl;
    bool ok = true;
    switch (letter) {
      case u'D': repl = WidthText(number, ScanDecInteger(param, pos)); break;
      case u'I': repl = WidthText(index, ScanDecInteger(param, pos)); break;
      case u'H': {
        const int w = std::clamp(ScanDecInteger(param, pos), 1, 8);
        repl = HexDigits(static_cast<uint32_t>(number), w);
        break;
      }
      case u'T': repl = FormatDateTime(param, t); break;
      default: repl = u"###"; ok = false; break;
    }
    out.replace(p, q + 2 - p, repl);
    if (!ok) return false;
    from = p + repl.size();
  }
}

}  // namespace

// ---------------------------------------------------------------- props

TFeatMatProps::TFeatMatProps(TComponent*) : TComponent(nullptr) {}

void TFeatMatProps::Clear() {
  feat_num_ = 0;
  feat_name_ = u"undefined";
  feat_kind_ = fkUndefined;
  comment_.clear();
  preset_values_.clear();
  sorted_ = false;
  gui_elem_ = nullptr;
}

void TFeatMatProps::Assign(const TPersistent* Source) {
  if (const auto* src = dynamic_cast<const TFeatMatProps*>(Source)) {
    feat_num_ = src->feat_num_;
    feat_name_ = src->feat_name_;
    feat_kind_ = src->feat_kind_;
    comment_ = src->comment_;
    preset_values_ = src->preset_values_;
    sorted_ = src->sorted_;
    gui_elem_ = src->gui_elem_;
    return;
  }
  TComponent::Assign(Source);
}

// ---------------------------------------------------------------- matrix

TFeatureMatrix::TFeatureMatrix(TComponent* AOwner) : WithOnChange(AOwner) {}

TFeatureMatrix::~TFeatureMatrix() = default;

void TFeatureMatrix::Fail(StringView text) const {
  throw EZELDStructError(ComponentMessage(*this, text));
}

void TFeatureMatrix::Clear() {
  props_.clear();
  vals_.clear();
  n_objs_ = 0;
  Changed();
}

void TFeatureMatrix::SetNFeats(int32_t n) {
  if (n < 0) n = 0;
  const size_t count = static_cast<size_t>(n);
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] {
    // Everything that can fail happens before the first change, so that a
    // failure leaves properties and values matching.
    std::vector<std::unique_ptr<TFeatMatProps>> fresh;
    for (size_t i = props_.size(); i < count; ++i) fresh.push_back(std::make_unique<TFeatMatProps>());
    props_.reserve(count);
    vals_.resize(count, std::vector<String>(static_cast<size_t>(n_objs_)));
    props_.resize(std::min(props_.size(), count));
    for (auto& p : fresh) props_.push_back(std::move(p));
  });
  Changed();
}

void TFeatureMatrix::SetNObjs(int32_t n) {
  if (n < 0) n = 0;
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] {
    for (auto& column : vals_) column.resize(static_cast<size_t>(n));
  });
  n_objs_ = n;
  Changed();
}

bool TFeatureMatrix::Resize(int32_t NFeats, int32_t NObjs) {
  try {
    SetNObjs(NObjs);
    SetNFeats(NFeats);
  } catch (const EZELDStructError&) {
    return false;
  }
  Changed();
  return true;
}

String TFeatureMatrix::DefaultValue(int32_t fix) const {
  const TFeatKind k = Kind(fix);
  return k == fkInteger || k == fkDouble ? u"0" : u"";
}

void TFeatureMatrix::InsertObject(int32_t obj) {
  if (obj < 1 || obj > n_objs_) return;
  for (auto& column : vals_) column.insert(column.begin() + (obj - 1), String());
  ++n_objs_;
  ClearObject(obj);
}

void TFeatureMatrix::RemoveObject(int32_t obj) {
  if (obj < 1 || obj > n_objs_) return;
  for (auto& column : vals_) column.erase(column.begin() + (obj - 1));
  --n_objs_;
  Changed();
}

void TFeatureMatrix::InsertFeature(int32_t feat) {
  if (feat < 1 || feat > NFeatures() + 1) return;
  // Properties objects keep their places: each one from the end down to
  // feat + 1 takes the properties of the one before it, the new object is
  // the last, and feature feat is cleared (so a caller's pointer to feature
  // feat's object sees the fresh defaults).
  props_.push_back(std::make_unique<TFeatMatProps>());
  vals_.insert(vals_.begin() + (feat - 1), std::vector<String>(static_cast<size_t>(n_objs_)));
  for (size_t i = props_.size() - 1; i >= static_cast<size_t>(feat); --i) props_[i]->Assign(props_[i - 1].get());
  props_[static_cast<size_t>(feat - 1)]->Clear();
  Changed();
}

void TFeatureMatrix::RemoveFeature(int32_t feat) {
  if (feat < 1 || feat > NFeatures()) return;
  for (size_t i = static_cast<size_t>(feat - 1); i + 1 < props_.size(); ++i) props_[i]->Assign(props_[i + 1].get());
  props_.pop_back();
  vals_.erase(vals_.begin() + (feat - 1));
  Changed();
}

void TFeatureMatrix::ClearObject(int32_t obj) {
  if (obj < 1 || obj > n_objs_) return;
  for (int32_t f = 1; f <= NFeatures(); ++f) Cell(f, obj) = DefaultValue(f);
  Changed();
}

void TFeatureMatrix::ClearFeature(int32_t feat) {
  if (feat < 1 || feat > NFeatures()) return;
  const String d = DefaultValue(feat);
  for (auto& v : vals_[static_cast<size_t>(feat - 1)]) v = d;
  Changed();
}

void TFeatureMatrix::CopyObject(int32_t Source, int32_t Target) {
  if (Source < 1 || Source > n_objs_ || Target < 1 || Target > n_objs_) return;
  for (int32_t f = 1; f <= NFeatures(); ++f) Cell(f, Target) = Cell(f, Source);
  Changed();
}

void TFeatureMatrix::ResetToDefault() {
  for (int32_t o = 1; o <= n_objs_; ++o) {
    for (int32_t f = 1; f <= NFeatures(); ++f) Cell(f, o) = DefaultValue(f);
    Changed();
  }
}

// ---------------------------------------------------------------- props

TFeatPropsHandle TFeatureMatrix::GetFeatProps(int32_t fix) const {
  if (fix >= 1 && fix <= NFeatures()) return TFeatPropsHandle(props_[static_cast<size_t>(fix - 1)].get());
  return TFeatPropsHandle(std::make_unique<TFeatMatProps>());
}

void TFeatureMatrix::SetFeatProps(int32_t fix, std::unique_ptr<TFeatMatProps> FeatMatProps) {
  if (fix < 1 || fix > NFeatures() || FeatMatProps == nullptr) return;
  auto& slot = props_[static_cast<size_t>(fix - 1)];
  if (slot.get() == FeatMatProps.get()) {
    (void)FeatMatProps.release();  // the same object: already owned here
  } else {
    slot = std::move(FeatMatProps);
  }
  Changed();
}

bool TFeatureMatrix::RangeRule(int32_t& IxFrom, int32_t& IxTo) const noexcept {
  const int32_t n = NFeatures();
  if (n == 0) return false;
  if (IxFrom == 0 && IxTo == 0) {
    IxFrom = 1;
    IxTo = n;
    return true;
  }
  IxFrom = std::clamp(IxFrom, 1, n);
  IxTo = std::clamp(IxTo, 1, n);
  if (IxFrom > IxTo) std::swap(IxFrom, IxTo);
  return true;
}

void TFeatureMatrix::SetFeatType(int32_t IxFrom, int32_t IxTo, TFeatKind FeatKind) {
  if (!RangeRule(IxFrom, IxTo)) return;
  for (int32_t i = IxFrom; i <= IxTo; ++i) props_[static_cast<size_t>(i - 1)]->SetFeatKind(FeatKind);
}

void TFeatureMatrix::RenumberFeatures(int32_t IxFrom, int32_t IxTo, int32_t FirstNum, int32_t Delta) {
  if (!RangeRule(IxFrom, IxTo)) return;
  for (int32_t i = IxFrom; i <= IxTo; ++i) {
    // Wraps like 32-bit arithmetic instead of overflowing.
    const int64_t num = int64_t{FirstNum} + int64_t{i - IxFrom} * Delta;
    props_[static_cast<size_t>(i - 1)]->SetFeatNum(static_cast<int32_t>(static_cast<uint32_t>(num)));
  }
}

int TFeatureMatrix::GenerateFeatNames(StringView Template, int32_t IxFrom, int32_t IxTo, int32_t FirstNum,
                                      int32_t Delta) {
  const int32_t n = NFeatures();
  if (IxFrom == 0 && IxTo == 0) {
    IxFrom = 1;
    IxTo = n;
  } else if (IxFrom < 1 || IxFrom > n || IxTo < 1 || IxTo > n) {
    return -1;
  }
  const TDateTime t = Now();
  const int32_t lo = std::min(IxFrom, IxTo), hi = std::max(IxFrom, IxTo);
  for (int32_t i = lo; i <= hi; ++i) {
    String name;
    if (!ExpandTemplate(Template, int64_t{FirstNum} + int64_t{i - lo} * Delta, i, t, name)) return -2;
    props_[static_cast<size_t>(i - 1)]->SetFeatName(name);
  }
  return 0;
}

int32_t TFeatureMatrix::FindFeatName(StringView Name) const {
  for (int32_t i = 1; i <= NFeatures(); ++i) {
    if (SameText(props_[static_cast<size_t>(i - 1)]->FeatName(), Name)) return i;
  }
  return -1;
}

int32_t TFeatureMatrix::FindFeatNum(int32_t Num) const {
  for (int32_t i = 1; i <= NFeatures(); ++i) {
    if (props_[static_cast<size_t>(i - 1)]->FeatNum() == Num) return i;
  }
  return -1;
}

// ---------------------------------------------------------------- values

void TFeatureMatrix::CheckStr(int32_t fix, StringView FeatVal) const {
  const TFeatKind k = Kind(fix);
  if (k == fkUndefined) Fail(u": feature " + IntToStr(fix) + u" is undefined");
  const Char* what = nullptr;
  if (k == fkInteger && !IntegerTextPasses(FeatVal)) what = u" is not a valid integer number";
  if (k == fkDouble && !FloatTextPasses(FeatVal)) what = u" is not a valid floating point number";
  if (k == fkTriState && !TriStateTextPasses(FeatVal)) what = u" is not a valid tri-state value";
  if (what != nullptr) Fail(u": feature value \"" + String(FeatVal) + u"\"" + what);
}

String TFeatureMatrix::GetFeatValStr(int32_t fix, int32_t obj) const {
  if (!InRange(fix, obj)) return String();
  if (Kind(fix) == fkUndefined) Fail(u": feature " + IntToStr(fix) + u" is undefined");
  return Cell(fix, obj);
}

void TFeatureMatrix::SetFeatValStr(int32_t fix, int32_t obj, StringView FeatVal) {
  if (!InRange(fix, obj)) return;
  CheckStr(fix, FeatVal);
  Cell(fix, obj) = String(FeatVal);
  Changed();
}

int64_t TFeatureMatrix::GetFeatValInt(int32_t fix, int32_t obj) const {
  if (!InRange(fix, obj)) return 0;
  const String& s = Cell(fix, obj);
  if (!IntegerTextPasses(s)) Fail(u": feature is not an integer");
  return StrToInt64(s);
}

void TFeatureMatrix::SetFeatValint(int32_t fix, int32_t obj, int64_t FeatVal) {
  if (!InRange(fix, obj)) return;
  const TFeatKind k = Kind(fix);
  if (k == fkUndefined || k == fkTriState) Fail(u": feature is not of numeric or string type");
  Cell(fix, obj) = IntToStr(FeatVal);
  Changed();
}

double TFeatureMatrix::GetFeatValDouble(int32_t fix, int32_t obj) const {
  if (!InRange(fix, obj)) return 0;
  const String& s = Cell(fix, obj);
  if (!FloatTextPasses(s)) Fail(u": feature is not a floating point number");
  return StrToFloat(s);
}

void TFeatureMatrix::SetFeatValDouble(int32_t fix, int32_t obj, double FeatVal) {
  if (!InRange(fix, obj)) return;
  const TFeatKind k = Kind(fix);
  if (k != fkDouble && k != fkString) Fail(u": feature is not a floating point or string type");
  Cell(fix, obj) = FloatToStr(FeatVal);
  Changed();
}

TTriState TFeatureMatrix::GetFeatValTriState(int32_t fix, int32_t obj) const {
  if (!InRange(fix, obj)) return tsUndefined;
  const String l = LowerCase(Cell(fix, obj));
  if (!TriStateTextPasses(l)) Fail(u": feature is not a tri-state value");
  return StrToTriState(l);
}

void TFeatureMatrix::SetFeatValTriState(int32_t fix, int32_t obj, TTriState FeatVal) {
  if (!InRange(fix, obj)) return;
  const TFeatKind k = Kind(fix);
  if (k != fkTriState && k != fkString) Fail(u": feature is not a tri-state or string type");
  Cell(fix, obj) = TriStateToStr(FeatVal, 0);
  Changed();
}

bool TFeatureMatrix::Fill(int32_t fix, StringView FeatVal) {
  if (fix < 1 || fix > NFeatures()) return false;
  CheckStr(fix, FeatVal);
  for (auto& v : vals_[static_cast<size_t>(fix - 1)]) v = String(FeatVal);
  Changed();
  return true;
}

bool TFeatureMatrix::FillKind(int32_t fix, TFeatKind kind, StringView refusal, const String& text) {
  if (fix < 1 || fix > NFeatures()) return false;
  if (Kind(fix) != kind) Fail(u": feature " + IntToStr(fix) + String(refusal));
  for (auto& v : vals_[static_cast<size_t>(fix - 1)]) v = text;
  Changed();
  return true;
}

bool TFeatureMatrix::Fill(int32_t fix, int64_t FeatVal) {
  return FillKind(fix, fkInteger, u" is not an integer number", IntToStr(FeatVal));
}

bool TFeatureMatrix::Fill(int32_t fix, double FeatVal) {
  return FillKind(fix, fkDouble, u" is not floating point number", FloatToStr(FeatVal));
}

bool TFeatureMatrix::Fill(int32_t fix, TTriState FeatVal) {
  return FillKind(fix, fkTriState, u" is not a tri-state value", TriStateToStr(FeatVal, 0));
}

void TFeatureMatrix::Assign(const TPersistent* Source) {
  if (const auto* src = dynamic_cast<const TFeatureMatrix*>(Source)) {
    if (src == this) return;
    SetNFeats(src->NFeatures());
    SetNObjs(src->NObjects());
    for (size_t i = 0; i < props_.size(); ++i) props_[i]->Assign(src->props_[i].get());
    vals_ = src->vals_;
    SetOnChange(src->OnChange());
    return;
  }
  WithOnChange::Assign(Source);
}

}  // namespace zel
