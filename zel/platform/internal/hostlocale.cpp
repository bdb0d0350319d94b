// The host-neutral part of zel/platform/internal/hostlocale.h.
#include "zel/platform/internal/hostlocale.h"

#include <time.h>

namespace zel::detail {

bool WallClockToUtc(time_t wall, time_t& utc) noexcept {
  struct tm tm;
  if (!UtcFields(wall, tm)) return false;
  tm.tm_isdst = -1;
  const time_t t = mktime(&tm);
  if (t == static_cast<time_t>(-1)) return false;
  utc = t;
  return true;
}

}  // namespace zel::detail
