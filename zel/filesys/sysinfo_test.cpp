#include "zel/filesys/sysinfo.h"

#include <stdlib.h>
#include <sys/stat.h>
#if !defined(_WIN32)
#include <sys/sysinfo.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zel/filesys/internal/sysinfo.h"
#include "zel/platform/internal/hostinfo.h"
#include "zel/platform/random.h"
#include "zel/testutil/envvar.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

using testutil::EnvVar;

#if !defined(_WIN32)
// The Linux readers, over made-up /sys and /proc files and against the
// kernel's own figures.

// A made-up /sys/class/net entry.
void AddInterface(const testutil::TempDir& dir, const std::string& name, int type,
                  const std::string& address, bool device, bool wireless) {
  const fs::path p = fs::path(dir.Dir()) / name;
  fs::create_directories(p);
  std::ofstream(p / "type") << type << "\n";
  std::ofstream(p / "address") << address << "\n";
  if (device) fs::create_directory(p / "device");
  if (wireless) fs::create_directory(p / "wireless");
}

// `GetMacAddress` over a made-up tree read as /sys/class/net is.
int GetMacAddressFrom(const std::string& root, int kind, String& address) {
  return detail::GetMacAddressWith(
      [&](std::vector<detail::NetAdapter>& list) { return detail::ReadNetAdapters(root, list); },
      kind, address);
}

TEST(GetMacAddress, PicksTheFirstDeviceOfTheKindWithAnAddress) {
  testutil::TempDir net("net");
  AddInterface(net, "lo", 772, "00:00:00:00:00:00", false, false);
  AddInterface(net, "br0", 1, "aa:bb:cc:dd:ee:01", false, false);   // virtual
  AddInterface(net, "enp0s1", 1, "00:00:00:00:00:00", true, false); // no address
  AddInterface(net, "enp0s3", 1, "02:fc:0a:1b:2c:3d", true, false);
  AddInterface(net, "enp0s9", 1, "02:fc:0a:1b:2c:ff", true, false); // later by name
  AddInterface(net, "wlp2s0", 1, "f4:8c:50:01:02:03", true, true);
  struct Case {
    int kind;
    int status;
    const char16_t* address;
  } cases[] = {
      {1, 0, u"02-FC-0A-1B-2C-3D"},
      {2, 0, u"F4-8C-50-01-02-03"},
      {0, -1, kNoMacAddress},
      {3, -1, kNoMacAddress},
  };
  for (const Case& c : cases) {
    String address = u"junk";
    EXPECT_EQ(GetMacAddressFrom(net.Dir(), c.kind, address), c.status) << c.kind;
    EXPECT_EQ(address, c.address) << c.kind;
  }
}

TEST(GetMacAddress, VirtualInterfacesServeWhenNoDeviceHasAnAddress) {
  testutil::TempDir net("net");
  AddInterface(net, "veth9", 1, "aa:bb:cc:dd:ee:09", false, false);
  AddInterface(net, "veth1", 1, "aa:bb:cc:dd:ee:01", false, false);
  AddInterface(net, "eth0", 1, "", true, false);  // unreadable address
  String address;
  EXPECT_EQ(GetMacAddressFrom(net.Dir(), 1, address), 0);
  EXPECT_EQ(address, u"AA-BB-CC-DD-EE-01");
  // No wireless adapter: status 0, address left at zeros.
  EXPECT_EQ(GetMacAddressFrom(net.Dir(), 2, address), 0);
  EXPECT_EQ(address, kNoMacAddress);
}

TEST(GetMacAddress, NoAdapterList) {
  testutil::TempDir net("net");
  net.Put("file", "x");
  fs::create_directory(net.Dir() + "/empty");
  for (const std::string& root : {net.Dir() + "/empty", net.Dir() + "/missing", net.Dir() + "/file"}) {
    String address = u"junk";
    EXPECT_EQ(GetMacAddressFrom(root, 1, address), -3) << root;
    EXPECT_EQ(address, kNoMacAddress);
  }
}

TEST(GetMacAddress, ThisMachineAgainstSysClassNet) {
  // The answer is the address of an Ethernet-type interface listed by the
  // kernel; a device-backed one when such a one has an address.
  std::error_code ec;
  fs::directory_iterator list("/sys/class/net", ec);
  if (ec) GTEST_SKIP() << "/sys/class/net cannot be listed here: " << ec.message();
  std::vector<std::pair<std::string, bool>> candidates;  // address, has device
  bool device_with_address = false;
  for (const auto& e : list) {
    std::ifstream type(e.path() / "type"), addr(e.path() / "address");
    int t = 0;
    std::string a;
    type >> t;
    addr >> a;
    if (t != 1 || fs::exists(e.path() / "wireless") || fs::exists(e.path() / "phy80211")) continue;
    if (a.empty() || a == "00:00:00:00:00:00") continue;
    for (char& c : a) c = c == ':' ? '-' : static_cast<char>(std::toupper(c));
    const bool device = fs::exists(e.path() / "device");
    device_with_address |= device;
    candidates.emplace_back(a, device);
  }
  String address;
  ASSERT_EQ(GetMacAddress(1, address), 0);
  if (candidates.empty()) {
    EXPECT_EQ(address, kNoMacAddress);
    return;
  }
  const auto it = std::find_if(candidates.begin(), candidates.end(),
                               [&](const auto& c) { return FromUtf8(c.first) == address; });
  ASSERT_NE(it, candidates.end()) << ToUtf8(address);
  if (device_with_address) {
    EXPECT_TRUE(it->second);
  }
}

// The total is fixed while the machine runs; what is available moves with
// every other process, so it is only bounded here (the figures' reading is
// tested on fixed files below).
TEST(GetMemoryStatus, TotalAgreesWithTheKernel) {
  uint64_t total = 1, avail = 1;
  if (!fs::exists("/proc/meminfo")) {
    EXPECT_FALSE(GetMemoryStatus(total, avail));
    EXPECT_EQ(total, 0u);
    GTEST_SKIP() << "no /proc/meminfo here";
  }
  ASSERT_TRUE(GetMemoryStatus(total, avail));
  struct sysinfo si {};
  ASSERT_EQ(sysinfo(&si), 0);
  EXPECT_EQ(total, static_cast<uint64_t>(si.totalram) * si.mem_unit);
  EXPECT_GT(avail, 0u);
  EXPECT_LE(avail, total);
}

TEST(GetMemoryStatus, ReadsMeminfoFiles) {
  testutil::TempDir dir("mem");
  struct Case {
    const char* text;
    bool ok;
    uint64_t total, avail;
  } cases[] = {
      {"MemTotal: 1000 kB\nMemFree: 100 kB\nMemAvailable: 600 kB\nBuffers: 20 kB\n", true,
       1024000, 600 * 1024},
      // Kernels without MemAvailable: free, buffers and cache.
      {"MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 20 kB\nCached: 30 kB\n", true, 1024000,
       150 * 1024},
      {"nothing here\n", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    dir.Put("meminfo", c.text);
    uint64_t total = 7, avail = 7;
    EXPECT_EQ(detail::ReadMemoryFigures(dir.Dir() + "/meminfo", total, avail), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(total, c.total) << c.text;
      EXPECT_EQ(avail, c.avail) << c.text;
    }
  }
  uint64_t total = 0, avail = 0;
  EXPECT_FALSE(detail::ReadMemoryFigures(dir.Dir() + "/missing", total, avail));
}

TEST(Drives, NoDriveLettersOnLinux) {
  for (uint8_t d : {0, 2, 25}) {
    EXPECT_EQ(DiskFreeExtended(d), -1);
    EXPECT_EQ(GetDiskDriveType(d), 1);
    EXPECT_TRUE(DiskIsReadOnly(d));
  }
  EXPECT_EQ(GetDiskDriveType(26), 0);
  TStringList list;
  list.Add(u"C:");
  BuildDriveList(list);
  EXPECT_EQ(list.Count(), 0);
}

#else  // Windows

TEST(GetMacAddress, StatusAndAddressForm) {
  // Which adapter is chosen depends on this machine's adapter names; the
  // form of the answer does not.
  for (int kind : {1, 2}) {
    String address = u"junk";
    ASSERT_EQ(GetMacAddress(kind, address), 0) << kind;
    ASSERT_EQ(address.size(), 17u) << ToUtf8(address);
    for (size_t i = 0; i < address.size(); ++i) {
      const Char c = address[i];
      if (i % 3 == 2) {
        EXPECT_EQ(c, u'-') << ToUtf8(address);
      } else {
        EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << ToUtf8(address);
      }
    }
  }
  String address;
  EXPECT_EQ(GetMacAddress(3, address), -1);
  EXPECT_EQ(address, kNoMacAddress);
}

TEST(GetMemoryStatus, TotalAndAvailableAreBounded) {
  uint64_t total = 0, avail = 0;
  ASSERT_TRUE(GetMemoryStatus(total, avail));
  EXPECT_GT(total, 0u);
  EXPECT_GT(avail, 0u);
  EXPECT_LE(avail, total);
}

TEST(Drives, TheWindowsDriveIsListedAndAnUnlistedLetterHasNoRoot) {
  const String windows = GetWindowsDir();
  ASSERT_GE(windows.size(), 3u);
  ASSERT_EQ(windows.substr(1, 2), u":\\");
  const int system = (windows[0] | 0x20) - u'a';
  TStringList list;
  list.Add(u"junk");
  BuildDriveList(list);
  std::vector<bool> listed(26, false);
  int previous = -1;
  for (const String& item : list) {
    ASSERT_EQ(item.size(), 2u);
    ASSERT_EQ(item[1], u':');
    const int d = item[0] - u'A';
    ASSERT_TRUE(d > previous && d < 26) << ToUtf8(item);  // "A:" to "Z:", in order
    listed[d] = true;
    previous = d;
  }
  ASSERT_TRUE(listed[system]) << ToUtf8(windows);
  EXPECT_EQ(GetDiskDriveType(static_cast<uint8_t>(system)), 3);  // a fixed disk
  EXPECT_GE(DiskFreeExtended(static_cast<uint8_t>(system)), 0);
  const auto absent = std::find(listed.begin(), listed.end(), false);
  if (absent != listed.end()) {
    const auto d = static_cast<uint8_t>(absent - listed.begin());
    EXPECT_EQ(GetDiskDriveType(d), 1) << d;  // no root directory
    EXPECT_EQ(DiskFreeExtended(d), -1) << d;
    EXPECT_TRUE(DiskIsReadOnly(d)) << d;
  }
  EXPECT_EQ(GetDiskDriveType(26), 0);
  EXPECT_EQ(DiskFreeExtended(26), -1);
  EXPECT_TRUE(DiskIsReadOnly(26));
}

#endif

TEST(Drives, SpaceOfThePathsFileSystem) {
  testutil::TempDir dir("space");
  const fs::space_info sp = fs::space(dir.Dir());
  const double size = PathDiskSize(FromUtf8(dir.Dir()));
  EXPECT_EQ(size, static_cast<double>(sp.capacity));
  // Free space moves with every other writer: bounded, not compared.
  const double free = PathDiskFree(FromUtf8(dir.Dir()));
  EXPECT_GE(free, 0);
  EXPECT_LE(free, size);
  EXPECT_FALSE(PathIsReadOnly(FromUtf8(dir.Dir())));
  const String missing = FromUtf8(dir.Dir() + "/no/such");
  EXPECT_EQ(PathDiskFree(missing), -1);
  EXPECT_EQ(PathDiskSize(missing), -1);
  EXPECT_TRUE(PathIsReadOnly(missing));
}

TEST(GetEnviroVar, NameWithoutRegardToCaseLastMatchWins) {
  EnvVar a("ZEL_SYSINFO_X", "first");
  EnvVar b("zel_sysinfo_x", "second");  // set later, so later in the block
  EnvVar c("ZEL_SYSINFO_XY", "longer");
  EXPECT_EQ(GetEnviroVar(u"Zel_Sysinfo_X"), u"second");
  EXPECT_EQ(GetEnviroVar(u"zel_sysinfo_xy"), u"longer");
  EXPECT_EQ(GetEnviroVar(u"ZEL_SYSINFO"), u"");  // a prefix is no match
  EXPECT_EQ(GetEnviroVar(u"ZEL_NOT_SET_ANYWHERE"), u"");
  EnvVar path("PATH", "/zel/bin:/usr/bin");
  EXPECT_EQ(GetEnviroVar(u"path"), u"/zel/bin:/usr/bin");
}

TEST(Directories, TempSystemAndInstallation) {
#if defined(_WIN32)
  // The system's temporary path: TMP first, made a full path with "\\"
  // and a closing separator.
  struct Case {
    const char* tmp;
    const char16_t* dir;
  } const cases[] = {
      {"C:\\zel-none\\scratch", u"C:\\zel-none\\scratch\\"},
      {"C:/zel-none/scratch/", u"C:\\zel-none\\scratch\\"},
  };
  for (const Case& c : cases) {
    EnvVar t("TMP", c.tmp);
    EXPECT_EQ(GetTempDir(), c.dir) << c.tmp;
  }
#else
  {
    EnvVar t("TMPDIR", std::nullopt);
    EXPECT_EQ(GetTempDir(), u"/tmp/");
  }
  {
    EnvVar t("TMPDIR", "/var/tmp");
    EXPECT_EQ(GetTempDir(), u"/var/tmp/");
  }
  {
    EnvVar t("TMPDIR", "/scratch/");
    EXPECT_EQ(GetTempDir(), u"/scratch/");
  }
#endif
  EXPECT_TRUE(fs::is_directory(ToUtf8(GetSystemDir())));
  EXPECT_TRUE(fs::is_directory(ToUtf8(GetWindowsDir())));
}

#if !defined(_WIN32)
// A private XDG world: data and config folders of the user and the system.
class Associations : public ::testing::Test {
 protected:
  testutil::TempDir dir{"assoc"};
  EnvVar data_home{"XDG_DATA_HOME", dir.Dir() + "/home"};
  EnvVar data_dirs{"XDG_DATA_DIRS", dir.Dir() + "/sys1:" + dir.Dir() + "/sys2"};
  EnvVar config_home{"XDG_CONFIG_HOME", dir.Dir() + "/config"};
  EnvVar config_dirs{"XDG_CONFIG_DIRS", dir.Dir() + "/etc"};
  EnvVar desktop{"XDG_CURRENT_DESKTOP", "ZelDesk"};

  void Put(const std::string& rel, const std::string& text) {
    fs::create_directories((fs::path(dir.Dir()) / rel).parent_path());
    dir.Put(rel, text);
  }
  void SetUp() override {
    Put("sys2/mime/globs2",
        "# comment\n"
        "50:text/plain:*.txt\n"
        "50:text/x-csrc:*.c:cs\n"
        "50:text/x-c++src:*.C:cs\n"
        "50:image/jpeg:*.jp[e]g\n"
        "50:application/x-zel:*.zel\n"
        "40:text/x-log:*.log\n"
        "50:text/x-note:*.note\n");
    Put("sys1/mime/globs2", "80:text/x-weighty:*.log\n");
    Put("sys1/applications/editor.desktop",
        "[Desktop Entry]\nName=Editor\nExec=editor --new %F\n[Desktop Action x]\nExec=wrong\n");
    Put("sys2/applications/viewer.desktop", "[Desktop Entry]\nExec=viewer %u\n");
    Put("sys2/applications/kde4/okular.desktop", "[Desktop Entry]\nExec=okular %U\n");
    Put("sys2/applications/hidden.desktop", "[Desktop Entry]\nHidden=true\nExec=hidden\n");
    Put("config/mimeapps.list",
        "[Added Associations]\ntext/plain=viewer.desktop\n"
        "[Default Applications]\ntext/plain=missing.desktop;editor.desktop;\n"
        "text/x-csrc=hidden.desktop;viewer.desktop\n");
    Put("config/zeldesk-mimeapps.list", "[Default Applications]\nimage/jpeg=kde4-okular.desktop\n");
    Put("sys2/applications/mimeapps.list", "[Added Associations]\ntext/x-weighty=viewer.desktop\n");
    Put("sys2/applications/mimeinfo.cache", "[MIME Cache]\ntext/x-note=editor.desktop;\n");
  }
};

TEST_F(Associations, ExtensionToTypeToDefaultApplicationsCommand) {
  struct Case {
    const char16_t* ext;
    const char* type;
    const char16_t* command;
  } cases[] = {
      {u"txt", "text/plain", u"editor --new %F"},   // first installed default
      {u"TXT", "text/plain", u"editor --new %F"},   // globs ignore case ...
      {u"c", "text/x-csrc", u"viewer %u"},          // ... unless marked; hidden skipped
      {u"jpeg", "image/jpeg", u"okular %U"},         // desktop's own list, nested id
      {u"log", "text/x-weighty", u"viewer %u"},      // higher weight wins; added association
      {u"note", "text/x-note", u"editor --new %F"},  // from the cache
      {u"zel", "application/x-zel", u""},            // a type without an application
      {u"unknown", "", u""},
      {u"", "", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(detail::MimeTypeForExtension(ToUtf8(c.ext)), c.type) << ToUtf8(c.ext);
    EXPECT_EQ(GetProgAssoc(c.ext), c.command) << ToUtf8(c.ext);
  }
}

#else

TEST(GetProgAssoc, AnExtensionWithoutATypeHasNoCommand) {
  EXPECT_EQ(GetProgAssoc(u"zel-no-such-extension"), u"");
  EXPECT_EQ(GetProgAssoc(u""), u"");
}

#endif

// Draws taken from a script, in order.
struct Script {
  std::deque<uint32_t> draws;
  std::vector<uint32_t> ranges;
  uint32_t operator()(uint32_t n) {
    ranges.push_back(n);
    if (draws.empty()) return 0;
    const uint32_t v = draws.front();
    draws.pop_front();
    return v;
  }
};

TEST(InventPassword, LayoutFromScriptedDraws) {
  struct Case {
    int length;
    bool mixed, special;
    std::deque<uint32_t> draws;
    const char16_t* expected;
    std::vector<uint32_t> ranges;
  } cases[] = {
      // Odd: a vowel first, then consonant-vowel pairs, digits after six letters.
      {9, false, false, {2, 5, 1, 19, 5, 0, 4, 7}, u"ihezyb07u", {6, 20, 6, 20, 6, 20, 6, 100}},
      // Clamped to 4: one pair and the digits at the end.
      {2, false, false, {0, 0, 42}, u"ba42", {20, 6, 100}},
      {20, false, false, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 0, 99}, u"cedifo99guhyja",
       {20, 6, 20, 6, 20, 6, 20, 6, 20, 6, 20, 6, 100}},
      // Mixed case: one draw per lower-case letter, 1 makes it upper case.
      {4, true, false, {0, 0, 5, 1, 0}, u"Ba05", {20, 6, 100, 2, 2}},
      // Special: one draw per position; 0 replaces it with one of 16.
      {4, false, true, {0, 0, 5, 0, 0, 1, 3, 0, 15}, u"_a09",
       {20, 6, 100, 5, 16, 5, 5, 5, 16}},
      // Both: the case pass first, then the replacement pass over it.
      {4, true, true, {0, 0, 10, 1, 1, 1, 0, 5, 1, 1}, u"B=10",
       {20, 6, 100, 2, 2, 5, 5, 16, 5, 5}},
  };
  for (Case& c : cases) {
    Script script{c.draws, {}};
    EXPECT_EQ(detail::InventPasswordWith(c.length, c.mixed, c.special, std::ref(script)),
              c.expected)
        << c.length;
    EXPECT_EQ(script.ranges, c.ranges) << c.length;
  }
}

bool IsVowel(Char c) { return String(u"aeiouy").find(c) != String::npos; }
bool IsConsonant(Char c) { return String(u"bcdfghjklmnpqrstvwxz").find(c) != String::npos; }

TEST(InventPassword, RealPasswordsHaveTheLayout) {
  struct Case {
    int length, expected;
  } cases[] = {{-3, 4}, {2, 4}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {9, 9}, {14, 14}, {20, 14}};
  for (const Case& c : cases) {
    for (const String& pw : {InventPassword(c.length), InventPassword(c.length, false, false)}) {
      SCOPED_TRACE(ToUtf8(pw));
      ASSERT_EQ(static_cast<int>(pw.size()), c.expected);
      const size_t at = std::min<size_t>(6, pw.size() - 2);
      String letters = pw;
      letters.erase(at, 2);
      EXPECT_TRUE(pw[at] >= u'0' && pw[at] <= u'9' && pw[at + 1] >= u'0' && pw[at + 1] <= u'9');
      for (size_t i = 0; i < letters.size(); ++i) {
        // From the end: vowel, consonant, vowel, ... (an odd length starts
        // with the extra vowel).
        const bool vowel_place = (letters.size() - i) % 2 == 1;
        EXPECT_TRUE(vowel_place ? IsVowel(letters[i]) : IsConsonant(letters[i]));
      }
    }
  }
  const String both = InventPassword(14, true, true);
  for (Char c : both) {
    EXPECT_NE(String(u"aeiouybcdfghjklmnpqrstvwxzAEIOUYBCDFGHJKLMNPQRSTVWXZ0123456789_!$%#=").find(c),
              String::npos);
  }
}

TEST(InventPassword, SeedingThePseudoRandomGeneratorDoesNotRepeatPasswords) {
  // From the seeded generator, the same seed would give the same password.
  SetRandSeed(12345);
  const String a = InventPassword(14, true, true);
  SetRandSeed(12345);
  const String b = InventPassword(14, true, true);
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace zel
