// zel/dstruct/bitfield.h — `TBitFld`, a packed one-dimensional array of bits,
// and `TLogicOp`, the bitwise operations that combine two bit fields or two
// byte matrices (bytematrix.h).
//
//   zel::TBitFld bits(nullptr);        // Size 1000: bits 0..1000 (1001 bits)
//   bits.SetBit(3, true);
//   bits.SetBit(1000, true);
//   bits.CountTrueBits();              // 2
//   bits.FirstTrueBit();               // 3
//   zel::TIntArray list;
//   bits.MakeListOfBits(list, true);   // {3, 1000}
//   bits.RandomFill(10);               // exactly 10 random bits true
//   other.CombineWith(bits, zel::loANDNot);  // clears other's bits set here
//
// A field of `Size` n holds n + 1 bits, numbered 0..n (note: one more than
// the size).  Bit i is bit i mod 8 of byte i div 8, least significant first;
// storage is n div 8 + 2 bytes.  Bit numbers outside 0..Size are ignored by
// writers and read as false.  There is no change notification.
//
// Random filling draws from the process-wide generator (random.h), so a
// fixed `SetRandSeed` gives a repeatable pattern.
//
// Storage bits above `Size` are always kept zero: shrinking `Size` clears
// them, and `Invert` and `CombineWith` never set them, so bits do not
// reappear when a shrunken field grows again.
#ifndef ZEL_DSTRUCT_BITFIELD_H_
#define ZEL_DSTRUCT_BITFIELD_H_

#include <cstdint>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// With a the own value and b the second object's value: a and b, a or b,
// a xor b, a and not b, a or not b, a xor not b.
enum TLogicOp : uint8_t { loAND, loOR, loXOR, loANDNot, loORNot, loXORNot };

// The bytewise result of `Op` for the own byte `a` and the second byte `b`.
constexpr uint8_t ApplyLogicOp(uint8_t a, uint8_t b, TLogicOp Op) noexcept {
  switch (Op) {
    case loAND: return static_cast<uint8_t>(a & b);
    case loOR: return static_cast<uint8_t>(a | b);
    case loXOR: return static_cast<uint8_t>(a ^ b);
    case loANDNot: return static_cast<uint8_t>(a & ~b);
    case loORNot: return static_cast<uint8_t>(a | ~b);
    case loXORNot: return static_cast<uint8_t>(a ^ ~b);
  }
  return a;
}

class TBitFld : public TComponent {
 public:
  // Size 1000, all bits false.  Out of memory: EZELDStructError
  // ": not enough memory on heap".
  explicit TBitFld(TComponent* AOwner);

  int32_t Size() const noexcept { return size_; }
  // Ignored unless Value > 0 and different; existing bits are kept where
  // they still fit, new bits are false.
  void SetSize(int32_t Value);

  // Reads, writes or flips bit ix (0..Size); outside that range reads give
  // false and writes do nothing.
  bool GetBit(int32_t ix) const noexcept;
  void SetBit(int32_t ix, bool Value) noexcept;
  bool Bit(int32_t ix) const noexcept { return GetBit(ix); }
  void ToggleBit(int32_t ix) noexcept;

  // All bits false; the size stays.
  void Clear() noexcept;
  void Invert() noexcept;
  int32_t CountTrueBits() const noexcept;
  // The lowest true bit number, -1 if none.
  int32_t FirstTrueBit() const noexcept;
  // BitList becomes the ascending numbers of all bits equal to State.
  void MakeListOfBits(TIntArray& BitList, bool State) const;
  // Every bit becomes `Op`(own bit, second bit); nothing when the sizes
  // differ.
  void CombineWith(const TBitFld& SecondBArray, TLogicOp Operation) noexcept;
  // Exactly round(Percent / 100 * Size) random bits true (Percent clamped to
  // 0..100, halves to even), all others false.
  void RandomFill(double Percent);
  // Exactly NBits random bits true (clamped to 0..Size), all others false.
  void RandomFill(int32_t NBits);
  // Takes Source's size and bits; a null Source does nothing.
  void Clone(const TBitFld* Source);
  void Assign(const TPersistent* Source) override;

  // The raw storage (Size div 8 + 2 bytes).
  const std::vector<uint8_t>& Bytes() const noexcept { return bits_; }

 private:
  void ClearAboveSize() noexcept;

  int32_t size_ = 1000;
  std::vector<uint8_t> bits_;
};

}  // namespace zel

#endif  // ZEL_DSTRUCT_BITFIELD_H_
