// zel/testutil/tempdir.h — a scratch directory for tests that touch files.
// Test-only: not part of the installed library.
//
//   zel::testutil::TempDir dir("fstream");
//   dir.Put("in.txt", "a\r\nb");
//   zel::TextFile f(dir.Path("in.txt"));
//   EXPECT_EQ(dir.Bytes("out.txt"), "...");
#ifndef ZEL_TESTUTIL_TEMPDIR_H_
#define ZEL_TESTUTIL_TEMPDIR_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include "zel/platform/string.h"

namespace zel::testutil {

class TempDir {
 public:
  // Creates /tmp/zel_<tag>_XXXXXX; removed with everything in it on
  // destruction.
  // On Windows: <temp>/zel_<tag>_<n>, with "/" as the separator.
  explicit TempDir(const std::string& tag) {
#if defined(_WIN32)
    const std::string base = std::filesystem::temp_directory_path().generic_string();
    std::random_device random;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
      std::string name = base + (base.back() == '/' ? "" : "/") + "zel_" + tag + "_" +
                         std::to_string(random());
      if (std::filesystem::create_directory(name)) dir_ = name;
    }
    if (dir_.empty()) throw std::runtime_error("no fresh temporary directory");
#else
    std::string name = "/tmp/zel_" + tag + "_XXXXXX";
    if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = name;
#endif
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Dir() const { return dir_; }
  // The full name of `name` inside the directory, as the library takes it.
  String Path(const std::string& name) const { return FromUtf8(dir_ + "/" + name); }
  // The bytes of a file ("" when it does not exist).
  std::string Bytes(const std::string& name) const {
    std::ifstream in(Native(dir_ + "/" + name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // How many entries the directory holds (a failed save must leave no
  // temporary file behind).
  size_t EntryCount() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) ++n;
    return n;
  }
  // Writes `bytes` as the whole content of a file.
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Native(dir_ + "/" + name), std::ios::binary) << bytes;
  }

  // A UTF-8 name as the host's file calls take it: on Windows a narrow name
  // would be read in the ANSI code page, so it goes through UTF-16 there.
#if defined(_WIN32)
  static std::filesystem::path Native(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
  }
#else
  static const std::string& Native(const std::string& utf8) { return utf8; }
#endif

 private:
  std::string dir_;
};

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_TEMPDIR_H_
