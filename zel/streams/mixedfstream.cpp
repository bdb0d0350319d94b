#include "zel/streams/mixedfstream.h"

#include <typeinfo>

#include "zel/platform/export.h"
#include "zel/streams/internal/bytereader.h"
#include "zel/streams/internal/readexact.h"
#include "zel/streams/streamio.h"
#include "zel/streams/streamscan.h"
#include "zel/stringl/internal/lineend.h"
#include "zel/stringl/split.h"

namespace ZEL_EXPORT zel {

std::span<const uint8_t> TMixedFStream::PeekBuffered() {
  if (typeid(*this) != typeid(TMixedFStream)) return {};
  return WindowAhead();
}

bool TMixedFStream::Eos() { return Position() >= Size(); }

void TMixedFStream::Write(StringView AString) { WriteStringStream(*this, AString); }
void TMixedFStream::WriteLn(StringView AString) { WriteLnStream(*this, AString); }
void TMixedFStream::WriteByte(uint8_t aNum) { WriteBuffer(&aNum, 1); }
void TMixedFStream::WriteInteger(int32_t aNum) { WriteLongintToStream(*this, aNum); }
void TMixedFStream::WriteDouble(double aNum) { WriteDoubleToStream(*this, aNum); }

String TMixedFStream::ReadLn(int EOLMode) {
  String line;
  detail::ByteReader reader(*this);
  uint8_t prev = 0;  // the byte read before, in this call
  uint8_t b;
  while (reader.Next(b)) {
    if (b >= 32 || b == '\t') {
      line.push_back(b);
    } else if (detail::EndsLine(EOLMode, b, prev)) {
      break;
    }
    prev = b;
  }
  return line;
}

uint8_t TMixedFStream::ReadByte(bool& error) {
  uint8_t b = 0;
  detail::ReadExact(*this, &b, 1, error);
  return b;
}

int32_t TMixedFStream::ReadInteger(bool& error) { return ReadLongintFromStream(*this, error); }
double TMixedFStream::ReadDouble(bool& error) { return ReadDoubleFromStream(*this, error); }
long double TMixedFStream::ReadExtended(bool& error) { return ReadExtendedFromStream(*this, error); }
int32_t TMixedFStream::ReadDecimal() { return ScanStreamDecimal(*this); }
double TMixedFStream::ReadFPNum(bool AllowExp, int DecPChar) {
  return ScanStreamFPNum(*this, AllowExp, DecPChar);
}

}  // namespace zel
