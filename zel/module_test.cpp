#include "zel/module.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <gtest/gtest.h>

#include "zel/internal/module.h"
#include "zel/stringl/scramble.h"
#include "zel/zelbase/progress.h"

namespace zel {
namespace {

std::vector<std::string> Steps(std::string_view verb, bool reverse) {
  std::vector<std::string> steps;
  for (auto name : kUnitNames) steps.push_back(std::string(verb) + " " + std::string(name));
  if (reverse) std::reverse(steps.begin(), steps.end());
  return steps;
}

TEST(ModuleTest, UnitsStartInOrderAndStopInReverseOncePerLoad) {
  // Loading the library started every unit once, in order.
  std::vector<std::string> expected = Steps("start", false);
  ASSERT_EQ(detail::UnitStepLog(), expected);
  EXPECT_EQ(ProcStat, 0.0);
  EXPECT_EQ(MathFeedBackProc, nullptr);
  // The string unit built the scrambler's permutation from the seed 5261.
  const String sample = u"The quick brown fox";
  const String at_load = Scramble(sample);
  EXPECT_NE(at_load, sample);
  InitScramble(5261);
  EXPECT_EQ(Scramble(sample), at_load);

  // The shared library loads on its own, every symbol resolved, and its
  // units start and stop in its own copy, leaving this program's alone
  // (the test links the library's objects).
#if defined(_WIN32)
  const HMODULE shared = LoadLibraryA(ZEL_LIBRARY_FILE);
  ASSERT_NE(shared, nullptr) << "LoadLibrary error " << GetLastError();
  FreeLibrary(shared);
#else
  void* shared = dlopen(ZEL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(shared, nullptr) << dlerror();
  dlclose(shared);
#endif
  EXPECT_EQ(detail::UnitStepLog(), expected);

  // Entering start again runs nothing: the counters guard each step.
  detail::StartUnits();
  EXPECT_EQ(detail::UnitStepLog(), expected);
  detail::StopUnits();  // balances the extra start
  EXPECT_EQ(detail::UnitStepLog(), expected);

  // Stopping runs every step once, in reverse; a second stop runs nothing.
  detail::StopUnits();
  auto stops = Steps("stop", true);
  expected.insert(expected.end(), stops.begin(), stops.end());
  EXPECT_EQ(detail::UnitStepLog(), expected);
  detail::StopUnits();
  EXPECT_EQ(detail::UnitStepLog(), expected);

  // A new start zeroes ProcStat again.
  ProcStat = 42;
  detail::StartUnits();
  EXPECT_EQ(ProcStat, 0.0);
  auto starts = Steps("start", false);
  expected.insert(expected.end(), starts.begin(), starts.end());
  EXPECT_EQ(detail::UnitStepLog(), expected);
}

}  // namespace
}  // namespace zel
