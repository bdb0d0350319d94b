#include "zel/dstruct/rle.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "zel/platform/export.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {

TRLEncoder::TRLEncoder(TComponent* AOwner) : TComponent(AOwner) {
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] { FBuffer.assign(4 * size_t{256}, 0); });
}

void TRLEncoder::SetBufLeng(int32_t n) {
  if (n < 1 || n == FBufLeng) return;
  if (n > std::numeric_limits<int32_t>::max() / 4) return;  // a buffer beyond int32 offsets
  // The new buffer is zeroed beyond the bytes that are waiting; those are
  // kept, so no data is lost or replaced by zeros.
  const size_t size = std::max<size_t>(4 * size_t(n), size_t(FBufPoi));
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] {
    std::vector<uint8_t> fresh(size, 0);
    std::memcpy(fresh.data(), FBuffer.data(), size_t(FBufPoi));
    FBuffer.swap(fresh);
  });
  FBufLeng = n;
}

void TRLEncoder::Reset() noexcept {
  FBufPoi = 0;
  FCount = 0;
  FLastB = 0;
  FDecodeSt = rlData;
  FFinished = false;
}

// Makes room for `extra` more bytes behind the waiting ones.
void TRLEncoder::Room(int64_t extra) {
  const int64_t need = int64_t{FBufPoi} + extra;
  if (need <= static_cast<int64_t>(FBuffer.size())) return;
  if (need > std::numeric_limits<int32_t>::max())
    throw EZELDStructError(ComponentMessage(*this, kNotEnoughMemoryOnHeap));
  ThrowIfOutOfMemory<EZELDStructError>(*this, [&] {
    FBuffer.resize(std::max<size_t>(size_t(need), FBuffer.size() * 2), 0);
  });
}

void TRLEncoder::WriteRun() {
  if (FLastB != FLeadInByte && FCount <= 2) {
    Put(FLastB);
    if (FCount == 2) Put(FLastB);
  } else {
    PutTriple(FCount, FLastB);
  }
}

bool TRLEncoder::Encode(const uint8_t* InBuf, int NumBytes) {
  // Each byte writes at most 3 bytes; reserve for a slice at a time so a
  // large call does not have to hold three times its size at once.
  constexpr int kSlice = 64 * 1024;
  if (NumBytes > 0) FFinished = false;
  for (int done = 0; done < NumBytes;) {
    const int n = NumBytes - done < kSlice ? NumBytes - done : kSlice;
    Room(3 * int64_t{n});
    const uint8_t* p = InBuf + done;
    for (int i = 0; i < n; ++i) {
      const uint8_t b = p[i];
      if (FCount == 0) {
        FCount = 1;
        FLastB = b;
      } else if (b == FLastB) {
        if (++FCount == 255) {
          PutTriple(255, FLastB);
          FCount = 0;
        }
      } else {
        WriteRun();
        FCount = 1;
        FLastB = b;
      }
    }
    done += n;
  }
  return FBufPoi >= FBufLeng;
}

bool TRLEncoder::Decode(uint8_t InByte) {
  switch (FDecodeSt) {
    case rlData:
      if (InByte == FLeadInByte) {
        FDecodeSt = rlLeadin;
      } else {
        Room(1);
        Put(InByte);
      }
      break;
    case rlLeadin:
      FCount = InByte;
      FDecodeSt = rlCnt;
      break;
    case rlCnt:
      Room(FCount);
      std::memset(FBuffer.data() + FBufPoi, InByte, FCount);
      FBufPoi += FCount;
      FCount = 0;
      FDecodeSt = rlData;
      break;
  }
  return FBufPoi >= FBufLeng;
}

int TRLEncoder::TakeUpTo(uint8_t* OutBuf, int32_t most) noexcept {
  const int32_t n = FBufPoi < most ? FBufPoi : most;
  if (n <= 0) return 0;
  std::memcpy(OutBuf, FBuffer.data(), size_t(n));
  std::memmove(FBuffer.data(), FBuffer.data() + n, size_t(FBufPoi - n));
  FBufPoi -= n;
  return n;
}

void TRLEncoder::GetResult(uint8_t* OutBuf) noexcept {
  if (FBufPoi >= FBufLeng) TakeUpTo(OutBuf, FBufLeng);
}

int TRLEncoder::Finish(uint8_t* OutBuf) {
  // The pending run's triple is appended once per encoding: the further
  // calls the protocol makes while full blocks come back only hand out
  // what waits (appending a triple each time would never end for a
  // BufLeng of 3 or less).
  if (!FFinished) {
    Room(3);
    PutTriple(FCount, FLastB);
    FCount = 0;
    FFinished = true;
  }
  return TakeUpTo(OutBuf, FBufLeng);
}

int TRLEncoder::FlushResult(uint8_t* OutBuf) noexcept { return TakeUpTo(OutBuf, FBufLeng); }

}  // namespace zel
