// The host-neutral part of zel/platform/internal/hostinfo.h; the host's
// own sources are in hostinfo_posix.cpp and hostinfo_win32.cpp.
#include "zel/platform/internal/hostinfo.h"

#include <cstdlib>
#include <limits>

namespace zel::detail {

uint32_t SecureRandom(uint32_t n) noexcept {
  if (n == 0) return 0;
  // Rejection sampling: draws at or above the largest multiple of n are
  // thrown back, so every value is equally likely.
  const uint32_t limit = std::numeric_limits<uint32_t>::max() -
                         std::numeric_limits<uint32_t>::max() % n;
  for (;;) {
    uint32_t v = 0;
    // There is no predictable fallback: without a random source the
    // process stops rather than hand out a guessable secret.
    if (!HostRandomBytes(&v, sizeof v)) std::abort();
    if (v < limit) return v % n;
  }
}

}  // namespace zel::detail
