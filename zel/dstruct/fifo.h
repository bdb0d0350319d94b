// zel/dstruct/fifo.h — `TFifo`, a fixed-size ring buffer of bytes.
//
//   zel::TFifo fifo(nullptr);      // Size 256: holds up to 255 bytes
//   fifo.PutByte(1);               // false when full
//   fifo.ForceByte(2);             // when full, drops the oldest byte first
//   fifo.LoadBack(0);              // back in front: the next byte read
//   uint8_t b;
//   fifo.SenseByte(0, b);          // peeks at the oldest byte (b == 0)
//   while (fifo.GetByte(b)) { ... }  // 0, 1, 2
//
// One slot always stays free, so a FIFO of `Size` n holds at most n - 1
// bytes.  Nothing raises after construction: a full FIFO refuses `PutByte`
// and `LoadBack` with false, an empty one refuses `GetByte` with false.
// Every operation is constant time and nothing allocates except `SetSize`.
//
// Changing `Size` keeps the bytes held, in order; when the new size is too
// small for all of them, the oldest Size - 1 bytes stay (those that would
// have been read first) and the newer ones are dropped.
#ifndef ZEL_DSTRUCT_FIFO_H_
#define ZEL_DSTRUCT_FIFO_H_

#include <cstdint>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

class TFifo : public TComponent {
 public:
  // Size 256, ring zeroed, empty.  Out of memory: EZELDStructError
  // ": FIFO structure too large".
  explicit TFifo(TComponent* AOwner);

  int32_t Size() const noexcept { return length_; }
  // Ignored unless n > 0 and different (see the top of this file).
  void SetSize(int32_t n);

  // Stores InByte at the input end; false (nothing stored) when full.
  bool PutByte(uint8_t InByte) noexcept;
  // Stores InByte, dropping the oldest byte first when full; true when a
  // byte was dropped.
  bool ForceByte(uint8_t InByte) noexcept;
  // Puts InByte back in front of the oldest byte; false when full.
  [[nodiscard]] bool LoadBack(uint8_t InByte) noexcept;
  // Removes the oldest byte into OutByte; false when empty.
  bool GetByte(uint8_t& OutByte) noexcept;
  // The byte ix places after the oldest (0 = the oldest), not removed; false
  // unless 0 <= ix < CountBytes().
  bool SenseByte(int32_t ix, uint8_t& OutByte) const noexcept;
  int32_t CountBytes() const noexcept;
  void Clear() noexcept;

 private:
  bool Full() const noexcept;
  int32_t Next(int32_t i) const noexcept { return i + 1 == length_ ? 0 : i + 1; }

  int32_t in_ = 0;    // where the next byte is written
  int32_t out_ = 0;   // the oldest byte
  int32_t length_ = 256;
  std::vector<uint8_t> data_;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_FIFO_H_
