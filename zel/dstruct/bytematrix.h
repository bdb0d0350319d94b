// zel/dstruct/bytematrix.h — `TByteMatrix`, a two-dimensional array of bytes
// addressed by column and row (both from 1), whose bytes can also be used as
// eight flag bits each.
//
//   zel::TByteMatrix m(nullptr);       // 1 x 1, holding 0
//   m.Resize(3, 2);                    // 3 columns, 2 rows, new bytes 0
//   m.SetByte(2, 1, 0x81);
//   m.GetBit(2, 1, 7);                 // true
//   m.SetDefaultValue(255);
//   m.GetByte(0, 1);                   // 255: outside the matrix
//   m.MirrorColumns();                 // column 1 <-> column 3
//   m.SetOnChange([](zel::TObject*) { ... });
//
// Reads outside the matrix return `DefaultValue` (bits of it for `GetBit`);
// writes outside it do nothing and send no notification.  Bit numbers are
// 0..7, bit 0 the least significant; others read as false.  Modifying
// operations call `OnChange`, except `CombineWith` and `Assign`.  Bytes are
// stored column by column.
#ifndef ZEL_DSTRUCT_BYTEMATRIX_H_
#define ZEL_DSTRUCT_BYTEMATRIX_H_

#include <cstdint>
#include <vector>

#include "zel/dstruct/bitfield.h"
#include "zel/platform/changenotify.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

class TByteMatrix : public WithOnChange<TComponent> {
 public:
  // 1 x 1 holding 0, DefaultValue 0.  Out of memory: EZELDStructError
  // ": not enough memory on heap".
  explicit TByteMatrix(TComponent* AOwner);

  // The number of columns and of rows (1 or more).
  int32_t NrOfColumns() const noexcept { return cols_; }
  int32_t NrOfRows() const noexcept { return rows_; }
  // Resize(n, NrOfRows()) / Resize(NrOfColumns(), n), n <= 0 taken as 1.
  void SetNrCols(int32_t n);
  void SetNrRows(int32_t n);
  // False (nothing changes) when the size is unchanged or a count is <= 0.
  // Otherwise bytes are kept where they still fit, new bytes are 0 (not
  // DefaultValue), OnChange is called and the result is true.
  [[nodiscard]] bool Resize(int32_t NrColumns, int32_t NrRows);

  uint8_t DefaultValue() const noexcept { return default_; }
  void SetDefaultValue(uint8_t v) noexcept { default_ = v; }

  // The byte at column ix, row iy (both from 1); see the top of this file
  // for positions outside the matrix.
  uint8_t GetByte(int32_t ix, int32_t iy) const noexcept;
  void SetByte(int32_t ix, int32_t iy, uint8_t Value);
  uint8_t Byte(int32_t ix, int32_t iy) const noexcept { return GetByte(ix, iy); }
  // Bit ixBit (0..7, 0 the least significant) of the byte at column ix, row
  // iy; setting or toggling it calls OnChange.
  bool GetBit(int32_t ix, int32_t iy, int32_t ixBit) const noexcept;
  void SetBit(int32_t ix, int32_t iy, int32_t ixBit, bool Value);
  bool Bit(int32_t ix, int32_t iy, int32_t ixBit) const noexcept { return GetBit(ix, iy, ixBit); }
  void ToggleBit(int32_t col, int32_t row, int32_t ixBit);

  // Sets every byte to Value; calls OnChange.
  void Fill(uint8_t Value);
  // Reverse the order of the columns (column 1 <-> the last) or of the rows
  // (row 1 <-> the last); call OnChange.
  void MirrorColumns();
  void MirrorRows();
  // Every byte becomes `Op`(own byte, second byte) when both matrices have
  // the same counts; otherwise nothing.  No notification.
  void CombineWith(const TByteMatrix& SecondByteMatrix, TLogicOp Operation) noexcept;
  // Counts, DefaultValue, bytes and the OnChange handler; no notification.
  void Assign(const TPersistent* Source) override;

  using WithOnChange::Changed;

 private:
  bool Inside(int32_t ix, int32_t iy) const noexcept {
    return ix >= 1 && ix <= cols_ && iy >= 1 && iy <= rows_;
  }
  size_t At(int32_t ix, int32_t iy) const noexcept {
    return static_cast<size_t>(ix - 1) * static_cast<size_t>(rows_) + static_cast<size_t>(iy - 1);
  }

  int32_t cols_ = 1;
  int32_t rows_ = 1;
  std::vector<uint8_t> bytes_;  // column by column
  uint8_t default_ = 0;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_BYTEMATRIX_H_
