#include "zel/dstruct/bitfield.h"

#include <array>
#include <bit>
#include <cmath>

#include "zel/platform/export.h"
#include "zel/platform/random.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr std::array<uint8_t, 256> MakePopCountTable() {
  std::array<uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(i)));
  return t;
}
constexpr std::array<uint8_t, 256> kPopCount = MakePopCountTable();

size_t StorageBytes(int32_t size) { return static_cast<size_t>(size) / 8 + 2; }

}  // namespace

TBitFld::TBitFld(TComponent* AOwner) : TComponent(AOwner) {
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] { bits_.assign(StorageBytes(size_), 0); });
}

void TBitFld::SetSize(int32_t Value) {
  if (Value <= 0 || Value == size_) return;
  bits_.resize(StorageBytes(Value), 0);
  size_ = Value;
  ClearAboveSize();
}

void TBitFld::ClearAboveSize() noexcept {
  // Bits size_+1 .. end of storage are zero; bit size_ is the last one used.
  const size_t last = static_cast<size_t>(size_) / 8;
  const unsigned keep = static_cast<unsigned>(size_ % 8) + 1;  // bits 0..size_%8
  bits_[last] &= static_cast<uint8_t>((1u << keep) - 1u);
  for (size_t i = last + 1; i < bits_.size(); ++i) bits_[i] = 0;
}

bool TBitFld::GetBit(int32_t ix) const noexcept {
  if (ix < 0 || ix > size_) return false;
  return (bits_[static_cast<size_t>(ix) / 8] >> (ix % 8)) & 1u;
}

void TBitFld::SetBit(int32_t ix, bool Value) noexcept {
  if (ix < 0 || ix > size_) return;
  uint8_t& b = bits_[static_cast<size_t>(ix) / 8];
  const uint8_t mask = static_cast<uint8_t>(1u << (ix % 8));
  b = Value ? static_cast<uint8_t>(b | mask) : static_cast<uint8_t>(b & ~mask);
}

void TBitFld::ToggleBit(int32_t ix) noexcept {
  if (ix < 0 || ix > size_) return;
  bits_[static_cast<size_t>(ix) / 8] ^= static_cast<uint8_t>(1u << (ix % 8));
}

void TBitFld::Clear() noexcept {
  for (auto& b : bits_) b = 0;
}

void TBitFld::Invert() noexcept {
  for (auto& b : bits_) b = static_cast<uint8_t>(~b);
  ClearAboveSize();
}

int32_t TBitFld::CountTrueBits() const noexcept {
  // Bits above Size are always zero, so the whole storage can be counted.
  int32_t n = 0;
  for (uint8_t b : bits_) n += kPopCount[b];
  return n;
}

int32_t TBitFld::FirstTrueBit() const noexcept {
  for (size_t i = 0; i < bits_.size(); ++i) {
    if (bits_[i] != 0) return static_cast<int32_t>(8 * i) + std::countr_zero(bits_[i]);
  }
  return -1;
}

void TBitFld::MakeListOfBits(TIntArray& BitList, bool State) const {
  BitList.clear();
  for (int64_t i = 0; i <= size_; ++i) {  // 64 bits: Size may be the largest int32
    if (GetBit(static_cast<int32_t>(i)) == State) BitList.push_back(static_cast<int32_t>(i));
  }
}

void TBitFld::CombineWith(const TBitFld& SecondBArray, TLogicOp Operation) noexcept {
  if (SecondBArray.size_ != size_) return;
  for (size_t i = 0; i < bits_.size(); ++i) {
    bits_[i] = ApplyLogicOp(bits_[i], SecondBArray.bits_[i], Operation);
  }
  ClearAboveSize();
}

void TBitFld::RandomFill(double Percent) {
  if (!(Percent > 0)) Percent = 0;  // also NaN
  if (Percent > 100) Percent = 100;
  RandomFill(static_cast<int32_t>(std::nearbyint(Percent / 100.0 * size_)));
}

void TBitFld::RandomFill(int32_t NBits) {
  if (NBits < 0) NBits = 0;
  if (NBits > size_) NBits = size_;
  // A drawn bit number is round(r * Size): 0..Size, the two ends half as
  // likely as the others.
  auto draw = [this] { return static_cast<int32_t>(std::nearbyint(Random() * size_)); };
  int64_t count;  // up to Size + 1
  if (NBits > size_ / 2) {
    for (auto& b : bits_) b = 0xFF;
    ClearAboveSize();
    count = int64_t{size_} + 1;
    while (count > NBits) {
      const int32_t ix = draw();
      if (GetBit(ix)) {
        SetBit(ix, false);
        --count;
      }
    }
  } else {
    Clear();
    count = 0;
    while (count < NBits) {
      const int32_t ix = draw();
      if (!GetBit(ix)) {
        SetBit(ix, true);
        ++count;
      }
    }
  }
}

void TBitFld::Clone(const TBitFld* Source) {
  if (Source == nullptr) return;
  SetSize(Source->size_);
  bits_ = Source->bits_;
}

void TBitFld::Assign(const TPersistent* Source) {
  if (const auto* src = dynamic_cast<const TBitFld*>(Source)) {
    Clone(src);
    return;
  }
  TComponent::Assign(Source);
}

}  // namespace zel
