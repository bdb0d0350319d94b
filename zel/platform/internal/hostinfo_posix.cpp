// The Linux side of zel/platform/internal/hostinfo.h: sysfs, /proc,
// statvfs, the environment and getrandom.  Hosts without drive letters give
// the drive functions their neutral values.
#include "zel/platform/internal/hostinfo.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

#include "zel/platform/filename.h"

extern char** environ;

namespace zel::detail {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// "02:fc:00:00:00:01" to its bytes; empty when it does not read as one.
std::vector<uint8_t> ParseHardwareAddress(const std::string& text) {
  std::vector<uint8_t> bytes;
  size_t i = 0;
  while (i + 2 <= text.size()) {
    unsigned v = 0;
    if (std::sscanf(text.c_str() + i, "%2x", &v) != 1) return {};
    bytes.push_back(static_cast<uint8_t>(v));
    i += 2;
    if (i == text.size()) return bytes;
    if (text[i] != ':') return {};
    ++i;
  }
  return {};
}

}  // namespace

int ReadNetAdapters(const std::string& root, std::vector<NetAdapter>& adapters) {
  adapters.clear();
  DIR* dir = opendir(root.c_str());
  if (dir == nullptr) return errno;
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  const int err = errno;
  closedir(dir);
  if (err != 0) return err;
  for (const std::string& name : names) {
    const std::string base = root + "/" + name;
    NetAdapter a;
    a.name = name;
    a.type = std::atoi(ReadFirstLine(base + "/type").c_str());
    a.wireless = Exists(base + "/wireless") || Exists(base + "/phy80211");
    a.physical = Exists(base + "/device");
    a.address = ParseHardwareAddress(ReadFirstLine(base + "/address"));
    adapters.push_back(std::move(a));
  }
  std::sort(adapters.begin(), adapters.end(), [](const NetAdapter& x, const NetAdapter& y) {
    if (x.physical != y.physical) return x.physical;
    return x.name < y.name;
  });
  return 0;
}

bool ReadMemoryFigures(const std::string& meminfo, uint64_t& total, uint64_t& available) {
  std::ifstream in(meminfo);
  if (!in) return false;
  uint64_t mem_total = 0, mem_available = 0, free = 0, buffers = 0, cached = 0;
  bool have_total = false, have_available = false;
  std::string key;
  uint64_t kb = 0;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    if (!(fields >> key >> kb)) continue;
    if (key == "MemTotal:") {
      mem_total = kb;
      have_total = true;
    } else if (key == "MemAvailable:") {
      mem_available = kb;
      have_available = true;
    } else if (key == "MemFree:") {
      free = kb;
    } else if (key == "Buffers:") {
      buffers = kb;
    } else if (key == "Cached:") {
      cached = kb;
    }
  }
  if (!have_total) return false;
  total = mem_total * 1024;
  available = (have_available ? mem_available : free + buffers + cached) * 1024;
  return true;
}

bool FileSystemSpace(const String& path, uint64_t& free_bytes, uint64_t& total_bytes,
                     bool& read_only) {
  struct statvfs st;
  if (statvfs(FileNameToBytes(path).c_str(), &st) != 0) return false;
  free_bytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
  total_bytes = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
  read_only = (st.f_flag & ST_RDONLY) != 0;
  return true;
}

std::vector<String> EnvironmentEntries() {
  std::vector<String> entries;
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) entries.push_back(FileNameFromBytes(*e));
  return entries;
}

std::string HostVariable(const char* name, const std::string& fallback) {
  const char* v = getenv(name);
  return v != nullptr && *v != '\0' ? std::string(v) : fallback;
}

int HostNetAdapters(std::vector<NetAdapter>& adapters) {
  return ReadNetAdapters("/sys/class/net", adapters);
}

bool HostMemoryStatus(uint64_t& total, uint64_t& available) {
  return ReadMemoryFigures("/proc/meminfo", total, available);
}

double HostDriveFree(uint8_t) { return -1; }

int HostDriveType(uint8_t) {
  constexpr int kNoRootDir = 1;
  return kNoRootDir;
}

bool HostDriveIsReadOnly(uint8_t) { return true; }

uint32_t HostDriveMask() { return 0; }

String HostTempDir() {
  std::string dir = HostVariable("TMPDIR", "/tmp/");
  if (dir.back() != '/') dir += '/';
  return FileNameFromBytes(dir);
}

String HostSystemDir() { return u"/usr/lib"; }

String HostWindowsDir() { return u"/usr"; }

// Fills `out` from getrandom, or from /dev/urandom on a kernel without the
// call.
bool HostRandomBytes(void* out, size_t n) noexcept {
  char* p = static_cast<char*>(out);
  size_t got = 0;
  while (got < n) {
    const ssize_t r = getrandom(p + got, n - got, 0);
    if (r >= 0) {
      got += static_cast<size_t>(r);
    } else if (errno != EINTR) {
      FILE* f = std::fopen("/dev/urandom", "rb");
      const bool ok = f != nullptr && std::fread(p + got, n - got, 1, f) == 1;
      if (f != nullptr) std::fclose(f);
      return ok;
    }
  }
  return true;
}

}  // namespace zel::detail
