#include "zel/streams/internal/bytereader.h"

namespace zel::detail {

std::span<const uint8_t> ByteReader::ReadOne() {
  if (s_.Read(&held_, 1) != 1) return {};
  has_held_ = true;
  return {&held_, 1};
}

}  // namespace zel::detail
