#include "zel/dstruct/fifo.h"

#include <algorithm>

#include "zel/platform/export.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {

TFifo::TFifo(TComponent* AOwner) : TComponent(AOwner) {
  ThrowIfOutOfMemory<EZELDStructError>(
      *this, [&] { data_.assign(static_cast<size_t>(length_), 0); }, u": FIFO structure too large");
}

void TFifo::SetSize(int32_t n) {
  if (n <= 0 || n == length_) return;
  std::vector<uint8_t> fresh(static_cast<size_t>(n), 0);
  const int32_t keep = std::min(CountBytes(), n - 1);
  for (int32_t i = 0; i < keep; ++i) fresh[static_cast<size_t>(i)] = data_[static_cast<size_t>((int64_t{out_} + i) % length_)];
  data_.swap(fresh);
  length_ = n;
  out_ = 0;
  in_ = keep;
}

bool TFifo::Full() const noexcept { return Next(in_) == out_; }

bool TFifo::PutByte(uint8_t InByte) noexcept {
  if (Full()) return false;
  data_[static_cast<size_t>(in_)] = InByte;
  in_ = Next(in_);
  return true;
}

bool TFifo::ForceByte(uint8_t InByte) noexcept {
  const bool dropped = Full();
  if (dropped) out_ = Next(out_);
  data_[static_cast<size_t>(in_)] = InByte;
  in_ = Next(in_);
  return dropped;
}

bool TFifo::LoadBack(uint8_t InByte) noexcept {
  if (Full()) return false;
  out_ = out_ == 0 ? length_ - 1 : out_ - 1;
  data_[static_cast<size_t>(out_)] = InByte;
  return true;
}

bool TFifo::GetByte(uint8_t& OutByte) noexcept {
  if (in_ == out_) return false;
  OutByte = data_[static_cast<size_t>(out_)];
  out_ = Next(out_);
  return true;
}

bool TFifo::SenseByte(int32_t ix, uint8_t& OutByte) const noexcept {
  if (ix < 0 || ix >= CountBytes()) return false;
  OutByte = data_[static_cast<size_t>((int64_t{out_} + ix) % length_)];
  return true;
}

int32_t TFifo::CountBytes() const noexcept {
  const int32_t d = in_ - out_;
  return d >= 0 ? d : d + length_;
}

void TFifo::Clear() noexcept { in_ = out_ = 0; }

}  // namespace zel
