#include "zel/zelcolors/colorarray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "zel/platform/exceptions.h"
#include "zel/platform/numconv.h"
#include "zel/stringl/charclass.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/errors.h"
#include "zel/zelcolors/colormodels.h"
#include "zel/zelcolors/colornames.h"

namespace zel {
namespace {

constexpr int kInitialSize = 1000;

// Rounds to the nearest integer with halves to even.
long double Nint(long double x) { return std::nearbyint(x); }

// Reads a decimal integer at `pos` (blanks before it skipped); false when
// no digit stands there.
bool ReadInteger(StringView s, int& pos, int32_t& value) {
  const int start = pos;
  value = ScanDecInteger(s, pos);
  return pos > start && pos >= 2 && IsDigit(s[static_cast<size_t>(pos - 2)]);
}

}  // namespace

TColorArray::TColorArray(TComponent* AOwner) : WithOnChange(AOwner) {
  ThrowIfOutOfMemory<EZELColArrayError>(*this, [this] {
    colors_.assign(kInitialSize, 0);
    backup_.assign(kInitialSize, 0);
  });
  n_colors_ = kInitialSize;
  FillByInterpolation(0, ColorArray_Rainbow);
  Backup();
}

void TColorArray::Assign(const TPersistent* Source) {
  if (const auto* source = dynamic_cast<const TColorArray*>(Source)) {
    if (source == this) return;
    colors_ = source->colors_;
    backup_ = source->backup_;
    n_colors_ = source->n_colors_;
    return;
  }
  WithOnChange::Assign(Source);
}

void TColorArray::AssignTo(TPersistent* Dest) const {
  if (auto* dest = dynamic_cast<TColorArray*>(Dest)) {
    dest->Assign(this);
    return;
  }
  WithOnChange::AssignTo(Dest);
}

bool TColorArray::IsEqual(const TColorArray& OtherColorArray) const {
  return n_colors_ == OtherColorArray.n_colors_ && colors_ == OtherColorArray.colors_;
}

TColor TColorArray::GetColorElem(int ix) const {
  if (colors_.empty()) return 0;
  if (ix < 1) return colors_.front();
  if (ix > n_colors_) return colors_.back();
  return colors_[static_cast<size_t>(ix - 1)];
}

void TColorArray::SetColorElem(int ix, TColor Value) {
  if (ix < 1 || ix > n_colors_) return;
  colors_[static_cast<size_t>(ix - 1)] = Value;
  Changed();
}

void TColorArray::SetSize(int n) {
  if (n > 0 && n != n_colors_) Resize(n);
}

bool TColorArray::Resize(int n) {
  if (n == n_colors_) return true;
  if (n < 1) return false;
  // Both new lists are built before either replaces the old one, so a
  // failed allocation leaves the palette as it was.
  const size_t size = static_cast<size_t>(n);
  const size_t kept = std::min(size, colors_.size());
  ThrowIfOutOfMemory<EZELColArrayError>(
      *this,
      [&] {
        std::vector<TColor> colors(size, 0), backup(size, 0);
        std::copy_n(colors_.begin(), kept, colors.begin());
        std::copy_n(backup_.begin(), kept, backup.begin());
        colors_.swap(colors);
        backup_.swap(backup);
      },
      kNotEnoughMemory);
  n_colors_ = n;
  Changed();
  return true;
}

void TColorArray::Fill(TColor Color) {
  std::fill(colors_.begin(), colors_.end(), Color);
  Changed();
}

void TColorArray::FillByInterpolation(int DiscreteLevels, std::span<const TColor> Colors) {
  if (Colors.empty()) return;
  const int64_t high = static_cast<int64_t>(Colors.size()) - 1;  // H
  const long double n = n_colors_;
  for (int j = 1; j <= n_colors_; ++j) {
    long double k = j;
    if (DiscreteLevels > 0) {
      const long double c = Nint(j / n * DiscreteLevels);
      k = Nint(c * (n / DiscreteLevels));
    }
    const long double index = std::trunc((k - 1) * high / n);
    TColor color;
    if (index < 0) {
      color = Colors.front();  // a quantised position before the first base colour
    } else {
      const double fraction = static_cast<double>(high * k / n - index);
      const size_t lo = static_cast<size_t>(std::min<long double>(index, high));
      const size_t hi = std::min<size_t>(lo + 1, static_cast<size_t>(high));
      color = InterpolateColor(Colors[lo], Colors[hi], fraction);
    }
    colors_[static_cast<size_t>(j - 1)] = color;
  }
  Changed();
}

void TColorArray::LogTransform(double Gamma) {
  if (n_colors_ > 1) {
    const long double gamma = std::isnan(Gamma) ? 0 : std::clamp(Gamma, 0.0, 1.0);
    const long double n = n_colors_;
    const long double ln_n = std::log(n);
    for (int i = 1; i <= n_colors_; ++i) {
      const long double x = gamma * std::log(static_cast<long double>(i)) * n / ln_n +
                            (1 - gamma) * (i - 1);
      // k >= i in exact arithmetic, so entry k has not been overwritten yet.
      const int k = static_cast<int>(std::clamp<long double>(Nint(x) + 1, 1, n));
      colors_[static_cast<size_t>(i - 1)] = colors_[static_cast<size_t>(k - 1)];
    }
  }
  Changed();
}

void TColorArray::MirrorColors() {
  std::reverse(colors_.begin(), colors_.end());
  Changed();
}

void TColorArray::InvertColors() {
  for (TColor& c : colors_) c = InvertColor(c);
  Changed();
}

void TColorArray::ReverseRGB() {
  for (TColor& c : colors_) c = ReverseRGBColor(c);
  Changed();
}

void TColorArray::Backup() { backup_ = colors_; }

void TColorArray::Restore() {
  colors_ = backup_;
  Changed();
}

int TColorArray::ColorToIndex(TColor cl, double& distance) const {
  distance = 1.0;
  int result = 1;
  for (int i = 1; i <= n_colors_; ++i) {
    const double d = RGBColorDistance(cl, colors_[static_cast<size_t>(i - 1)]);
    if (d < distance) {
      distance = d;
      result = i;
    }
  }
  return result;
}

void TColorArray::CopyFrom(const TColorArray* ColArraySource, int SourceElemLo,
                           int SourceElemHi, int DestElem) {
  if (ColArraySource == nullptr) return;
  const int source_n = ColArraySource->Size();
  int lo = std::min(std::max(SourceElemLo, 1), source_n);
  int hi = SourceElemHi <= 0 ? 1 : std::min(SourceElemHi, source_n);
  if (hi < lo) std::swap(lo, hi);
  // Read from a snapshot when copying within this palette, so that an
  // overlapping destination does not overwrite entries before they are read.
  std::vector<TColor> snapshot;
  if (ColArraySource == this) snapshot = colors_;
  for (int ix = lo; ix <= hi; ++ix) {
    const int64_t dest = static_cast<int64_t>(DestElem) + (ix - lo);
    if (dest < 1 || dest > n_colors_) continue;
    colors_[static_cast<size_t>(dest - 1)] = ColArraySource == this
                                                 ? snapshot[static_cast<size_t>(ix - 1)]
                                                 : ColArraySource->GetColorElem(ix);
  }
  Changed();
}

bool TColorArray::ReadFromOpenTextFile(TextFile& F, bool AdjustSize) {
  int32_t first = 0, last = 0;
  try {
    if (F.Eof()) return false;
    String line;
    F.ReadLn(line);
    int pos = 1;
    if (!ReadInteger(line, pos, first) || !ReadInteger(line, pos, last)) return false;
  } catch (const Exception&) {
    return false;
  }
  if (AdjustSize) {
    try {
      Resize(last);
    } catch (const EZELColArrayError&) {
      return false;
    }
  }
  if (last > n_colors_) {
    Changed();
    return false;
  }
  for (int64_t i = first; i <= last; ++i) {
    // At the end of the file every further line is missing too; after a
    // read error the next read meets the same error.  Either way the
    // remaining positions keep their colours.
    String line;
    try {
      if (F.Eof()) break;
      F.ReadLn(line);
    } catch (const Exception&) {
      break;
    }
    if (i >= 1) SetColorElem(static_cast<int>(i), HexStrToColor(line));
  }
  Changed();
  return true;
}

bool TColorArray::WriteToOpenTextFile(TextFile& F, int First, int Last) {
  if (First > Last) std::swap(First, Last);
  First = std::max(First, 1);
  Last = std::min(Last, n_colors_);
  try {
    F.WriteLn(IntToStr(First) + u" " + IntToStr(Last));
    for (int i = First; i <= Last; ++i) F.WriteLn(ColorToHexStr(colors_[static_cast<size_t>(i - 1)]));
  } catch (const Exception&) {
    return false;
  }
  return true;
}

bool TColorArray::LoadFromFile(const String& FileName, bool AdjustSize) {
  if (FileName.empty()) return false;  // the empty name would mean stdin
  try {
    TextFile f(FileName);
    f.Reset();
    const bool ok = ReadFromOpenTextFile(f, AdjustSize);
    f.Close();
    return ok;
  } catch (const Exception&) {
    return false;
  }
}

bool TColorArray::StoreOnFile(int FirstElem, int LastElem, const String& FileName) {
  if (FileName.empty()) return false;  // the empty name would mean stdout
  try {
    TextFile f(FileName);
    f.RewriteReplacing();
    const bool ok = WriteToOpenTextFile(f, FirstElem, LastElem);
    f.Close();
    return ok;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace zel
