// The system information on Windows, as Wine provides it: drives, the
// system's directories, memory, the environment and the registry's
// file associations.
#include <windows.h>

#include <gtest/gtest.h>

#include "zel/filesys/dirtree.h"
#include "zel/filesys/sysinfo.h"
#include "zel/platform/stringlist.h"

namespace zel {
namespace {

TEST(SysInfoWindows, DrivesAndDirectories) {
  TStringList drives;
  BuildDriveList(drives);
  ASSERT_GT(drives.Count(), 0);
  bool has_c = false;
  for (int i = 0; i < drives.Count(); ++i) has_c = has_c || drives[i] == u"C:";
  EXPECT_TRUE(has_c);
  constexpr uint8_t kC = 2;
  EXPECT_EQ(GetDiskDriveType(kC), 3);  // fixed
  EXPECT_EQ(GetDiskDriveType(26), 0);
  EXPECT_GT(DiskFreeExtended(kC), 0);
  EXPECT_FALSE(DiskIsReadOnly(kC));
  EXPECT_TRUE(DirExists(GetSystemDir()));
  EXPECT_TRUE(DirExists(GetWindowsDir()));
  const String temp = GetTempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), u'\\');
  EXPECT_TRUE(DirExists(temp));
  uint64_t total = 0, avail = 0;
  ASSERT_TRUE(GetMemoryStatus(total, avail));
  EXPECT_GT(total, 0u);
  EXPECT_LE(avail, total);
}

TEST(SysInfoWindows, EnvironmentMatchesNamesWithoutCase) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"ZEL_TEST_VAR", L"C:\\x y"));
  EXPECT_EQ(GetEnviroVar(u"zel_test_var"), u"C:\\x y");
  SetEnvironmentVariableW(L"ZEL_TEST_VAR", nullptr);
  EXPECT_EQ(GetEnviroVar(u"ZEL_TEST_VAR"), u"");
}

// The extension's own command, then its file type's (keys made in the
// test's own Wine prefix).
TEST(SysInfoWindows, ProgramAssociationsFromTheRegistry) {
  const auto put = [](const wchar_t* key, const wchar_t* value) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
  };
  put(L".zeltesta\\shell\\open\\command", L"own.exe \"%1\"");
  put(L".zeltestb", L"ZelTest.Type");
  put(L"ZelTest.Type\\shell\\open\\command", L"typed.exe \"%1\"");
  put(L".zeltestc", L"ZelTest.NoCommand");
  EXPECT_EQ(GetProgAssoc(u"zeltesta"), u"own.exe \"%1\"");
  EXPECT_EQ(GetProgAssoc(u"zeltestb"), u"typed.exe \"%1\"");
  EXPECT_EQ(GetProgAssoc(u"zeltestc"), u"");
  EXPECT_EQ(GetProgAssoc(u"zeltest-none"), u"");
  for (const wchar_t* key : {L".zeltesta", L".zeltestb",
                             L"ZelTest.Type", L".zeltestc"}) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
  }
}

}  // namespace
}  // namespace zel
