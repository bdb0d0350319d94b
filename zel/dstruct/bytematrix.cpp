#include "zel/dstruct/bytematrix.h"

#include <algorithm>

#include "zel/platform/export.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {

TByteMatrix::TByteMatrix(TComponent* AOwner) : WithOnChange(AOwner) {
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] { bytes_.assign(1, 0); });
}

// The property setters: false from Resize only says that nothing changed.
void TByteMatrix::SetNrCols(int32_t n) { (void)Resize(n <= 0 ? 1 : n, rows_); }

void TByteMatrix::SetNrRows(int32_t n) { (void)Resize(cols_, n <= 0 ? 1 : n); }

bool TByteMatrix::Resize(int32_t NrColumns, int32_t NrRows) {
  if (NrColumns <= 0 || NrRows <= 0) return false;
  if (NrColumns == cols_ && NrRows == rows_) return false;
  std::vector<uint8_t> fresh;
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] {
    fresh.assign(static_cast<size_t>(NrColumns) * static_cast<size_t>(NrRows), 0);
  });
  const int32_t keep_cols = std::min(cols_, NrColumns);
  const int32_t keep_rows = std::min(rows_, NrRows);
  for (int32_t c = 0; c < keep_cols; ++c) {
    const auto from = bytes_.begin() + static_cast<ptrdiff_t>(c) * rows_;
    std::copy(from, from + keep_rows, fresh.begin() + static_cast<ptrdiff_t>(c) * NrRows);
  }
  bytes_.swap(fresh);
  cols_ = NrColumns;
  rows_ = NrRows;
  Changed();
  return true;
}

uint8_t TByteMatrix::GetByte(int32_t ix, int32_t iy) const noexcept {
  return Inside(ix, iy) ? bytes_[At(ix, iy)] : default_;
}

void TByteMatrix::SetByte(int32_t ix, int32_t iy, uint8_t Value) {
  if (!Inside(ix, iy)) return;
  bytes_[At(ix, iy)] = Value;
  Changed();
}

bool TByteMatrix::GetBit(int32_t ix, int32_t iy, int32_t ixBit) const noexcept {
  if (ixBit < 0 || ixBit > 7) return false;
  return (GetByte(ix, iy) >> ixBit) & 1u;
}

void TByteMatrix::SetBit(int32_t ix, int32_t iy, int32_t ixBit, bool Value) {
  if (!Inside(ix, iy) || ixBit < 0 || ixBit > 7) return;
  uint8_t& b = bytes_[At(ix, iy)];
  const uint8_t mask = static_cast<uint8_t>(1u << ixBit);
  b = Value ? static_cast<uint8_t>(b | mask) : static_cast<uint8_t>(b & ~mask);
  Changed();
}

void TByteMatrix::ToggleBit(int32_t col, int32_t row, int32_t ixBit) {
  if (!Inside(col, row) || ixBit < 0 || ixBit > 7) return;
  bytes_[At(col, row)] ^= static_cast<uint8_t>(1u << ixBit);
  Changed();
}

void TByteMatrix::Fill(uint8_t Value) {
  std::fill(bytes_.begin(), bytes_.end(), Value);
  Changed();
}

void TByteMatrix::MirrorColumns() {
  for (int32_t lo = 1, hi = cols_; lo < hi; ++lo, --hi) {
    std::swap_ranges(bytes_.begin() + static_cast<ptrdiff_t>(At(lo, 1)),
                     bytes_.begin() + static_cast<ptrdiff_t>(At(lo, 1)) + rows_,
                     bytes_.begin() + static_cast<ptrdiff_t>(At(hi, 1)));
  }
  Changed();
}

void TByteMatrix::MirrorRows() {
  for (int32_t c = 1; c <= cols_; ++c) {
    const auto first = bytes_.begin() + static_cast<ptrdiff_t>(At(c, 1));
    std::reverse(first, first + rows_);
  }
  Changed();
}

void TByteMatrix::CombineWith(const TByteMatrix& SecondByteMatrix, TLogicOp Operation) noexcept {
  if (SecondByteMatrix.cols_ != cols_ || SecondByteMatrix.rows_ != rows_) return;
  for (size_t i = 0; i < bytes_.size(); ++i) {
    bytes_[i] = ApplyLogicOp(bytes_[i], SecondByteMatrix.bytes_[i], Operation);
  }
}

void TByteMatrix::Assign(const TPersistent* Source) {
  if (const auto* src = dynamic_cast<const TByteMatrix*>(Source)) {
    if (src == this) return;
    bytes_ = src->bytes_;
    cols_ = src->cols_;
    rows_ = src->rows_;
    default_ = src->default_;
    SetOnChange(src->OnChange());
    return;
  }
  WithOnChange::Assign(Source);
}

}  // namespace zel
