// Unit start and stop, run when the shared library is loaded and unloaded.
//
// Only trivially initialised data is touched here (plain arrays and
// counters), because the load constructor may run before the dynamic
// initialisers of other translation units.
#include "zel/module.h"

#include <cstddef>

#include "zel/internal/module.h"

namespace zel::detail {

// Start and stop steps the units provide.  A unit whose step does nothing
// has no function; the library's constant tables need no release at stop.
void StartZelbase();
void StartStringl();

namespace {

using Step = void (*)();

struct Unit {
  Step start;
  Step stop;
};

// In start order, parallel to kUnitNames.
constexpr Unit kUnits[kUnitNames.size()] = {
    {nullptr, nullptr},       // univconst
    {&StartZelbase, nullptr}, // zelbase: zeroes ProcStat
    {nullptr, nullptr},       // zelcolors
    {&StartStringl, nullptr}, // stringl: seeds the scrambler with 5261
    {nullptr, nullptr},       // streams
    {nullptr, nullptr},       // htmlsupport
    {nullptr, nullptr},       // dstruct
    {nullptr, nullptr},       // filesys
    {nullptr, nullptr},       // cpuid
};

int g_start_counts[kUnitNames.size()];

// Step log: unit index, and whether it was a start.  Fixed size, so that it
// needs no dynamic initialisation; steps beyond it are not recorded.
struct LoggedStep {
  unsigned char unit;
  bool start;
};
LoggedStep g_log[256];
std::size_t g_log_size;

void Record(std::size_t unit, bool start) {
  if (g_log_size < std::size(g_log)) {
    g_log[g_log_size++] = {static_cast<unsigned char>(unit), start};
  }
}

}  // namespace

void StartUnits() {
  for (std::size_t i = 0; i < kUnitNames.size(); ++i) {
    if (++g_start_counts[i] != 1) continue;
    if (kUnits[i].start) kUnits[i].start();
    Record(i, true);
  }
}

void StopUnits() {
  for (std::size_t i = kUnitNames.size(); i-- > 0;) {
    if (g_start_counts[i] == 0 || --g_start_counts[i] != 0) continue;
    if (kUnits[i].stop) kUnits[i].stop();
    Record(i, false);
  }
}

std::vector<std::string> UnitStepLog() {
  std::vector<std::string> log;
  for (std::size_t i = 0; i < g_log_size; ++i) {
    log.push_back((g_log[i].start ? "start " : "stop ") +
                  std::string(kUnitNames[g_log[i].unit]));
  }
  return log;
}

namespace {
__attribute__((constructor)) void LoadModule() { StartUnits(); }
__attribute__((destructor)) void UnloadModule() { StopUnits(); }
}  // namespace

}  // namespace zel::detail
