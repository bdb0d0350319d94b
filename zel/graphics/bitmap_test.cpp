#include "zel/graphics/bitmap.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "zel/graphics/internal/dib.h"
#include "zel/platform/exceptions.h"
#include "zel/testutil/fiforeader.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

using testutil::TempDir;

// A 5 x 3 bitmap with a different colour in every pixel.
void FillSample(TBitmap& bmp) {
  bmp.SetSize(5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) bmp.ScanLine(y)[x] = static_cast<TColor>((0x102030 * (y * 5 + x + 1)) & 0xFFFFFF);
  }
}

uint32_t U32(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
         static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

TEST(TBitmap, PngReadsBackWithLibpng) {
  TempDir dir("png");
  TBitmap bmp;
  FillSample(bmp);
  bmp.SaveToPNG(dir.Path("a.png"));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&image, (dir.Dir() + "/a.png").c_str()), 0) << image.message;
  EXPECT_EQ(image.width, 5u);
  EXPECT_EQ(image.height, 3u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0) << image.message;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const uint8_t* p = &rgb[(y * 5 + x) * 3];
      const TColor c = bmp.ScanLine(y)[x];
      EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16, static_cast<int>(c)) << x << "," << y;
    }
  }
}

// A PNG file decoded with libpng's full reader, which (unlike its simple
// one) can be told to accept images over a million pixels wide.
bool DecodePng(const std::string& path, int& width, int& height, std::vector<TColor>& pixels) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row;
  bool ok = false;
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(png, info);
    width = static_cast<int>(png_get_image_width(png, info));
    height = static_cast<int>(png_get_image_height(png, info));
    ok = png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB && png_get_bit_depth(png, info) == 8;
    row.resize(png_get_rowbytes(png, info));
    pixels.clear();
    for (int y = 0; ok && y < height; ++y) {
      png_read_row(png, row.data(), nullptr);
      for (int x = 0; x < width; ++x) pixels.push_back(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
    }
    if (ok) png_read_end(png, nullptr);
  } else {
    ok = false;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return ok;
}

// Whatever the size and content, the file decodes to the bitmap's pixels:
// noise (which no filter compresses), flat areas, and an image wider than
// libpng's default limit of a million pixels.
TEST(TBitmap, PngDecodesToTheSamePixels) {
  TempDir dir("png");
  const struct {
    int width, height;
    bool noise;
  } cases[] = {{1, 1, true}, {7, 5, true}, {300, 200, true}, {300, 200, false}, {1100000, 2, false}};
  uint32_t seed = 12345;
  for (const auto& c : cases) {
    TBitmap bmp(c.width, c.height);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        seed = seed * 1103515245 + 12345;
        bmp.ScanLine(y)[x] = c.noise ? (seed >> 4) & 0xFFFFFF : ((x / 37 + y / 11) % 3) * 0x405060;
      }
    }
    bmp.SaveToPNG(dir.Path("a.png"));
    int width = 0, height = 0;
    std::vector<TColor> pixels;
    ASSERT_TRUE(DecodePng(dir.Dir() + "/a.png", width, height, pixels)) << c.width << " x " << c.height;
    EXPECT_EQ(width, c.width);
    ASSERT_EQ(height, c.height);
    bool same = true;
    for (int y = 0; y < c.height; ++y) same = same && std::equal(pixels.begin() + ptrdiff_t{y} * width,
                                                                 pixels.begin() + ptrdiff_t{y + 1} * width,
                                                                 bmp.ScanLine(y));
    EXPECT_TRUE(same) << c.width << " x " << c.height;
  }
  // A disk that fills up part-way: the error names the file, the old file stays.
  dir.Put("old.png", "old");
  TBitmap noise(300, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) noise.ScanLine(y)[x] = static_cast<TColor>(x * 7919 + y * 104729) & 0xFFFFFF;
  }
  {
    testutil::FileSizeLimit limit(1000);
    try {
      noise.SaveToPNG(dir.Path("old.png"));
      ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
      EXPECT_NE(std::string(e.what()).find("old.png"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(dir.Bytes("old.png"), "old");
}

TEST(TBitmap, BmpHeaderAndBottomUpRows) {
  TempDir dir("bmp");
  TBitmap bmp;
  FillSample(bmp);
  bmp.SaveToBMP(dir.Path("a.bmp"));
  const std::string b = dir.Bytes("a.bmp");
  const size_t stride = 16;  // 5 pixels * 3 bytes, padded to 4
  ASSERT_EQ(b.size(), 14 + 40 + stride * 3);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(U32(b, 2), b.size());
  EXPECT_EQ(U32(b, 10), 54u);  // pixel data offset
  EXPECT_EQ(U32(b, 14), 40u);  // header size
  EXPECT_EQ(U32(b, 18), 5u);
  EXPECT_EQ(U32(b, 22), 3u);   // positive: bottom row first
  EXPECT_EQ(U32(b, 26) & 0xFFFF, 1u);
  EXPECT_EQ(U32(b, 26) >> 16, 24u);
  EXPECT_EQ(U32(b, 30), 0u);   // no compression
  EXPECT_EQ(U32(b, 34), stride * 3);
  // The first stored row is the bottom one, blue-green-red; padding is 0.
  const TColor bottom_left = bmp.ScanLine(2)[0], top_right = bmp.ScanLine(0)[4];
  EXPECT_EQ(static_cast<uint8_t>(b[54]), (bottom_left >> 16) & 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(b[55]), (bottom_left >> 8) & 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(b[56]), bottom_left & 0xFF);
  EXPECT_EQ(b[54 + 15], 0);
  const size_t last = 54 + 2 * stride + 12;
  EXPECT_EQ(static_cast<uint8_t>(b[last]), (top_right >> 16) & 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(b[last + 2]), top_right & 0xFF);
}

TEST(TBitmap, DibRoundTripsThroughAStretchedCopy) {
  TBitmap src;
  FillSample(src);
  size_t header_size = 0, image_size = 0;
  GetDIBSizes(src, header_size, image_size);
  EXPECT_EQ(header_size, 40u);
  EXPECT_EQ(image_size, 48u);
  std::vector<uint8_t> header(header_size), bits(image_size);
  EXPECT_FALSE(GetDIB(src, header, std::span<uint8_t>(bits).first(47)));
  ASSERT_TRUE(GetDIB(src, header, bits));
  // Twice the size: each source pixel becomes a 2 x 2 block.
  TBitmap dst(12, 7);
  ASSERT_TRUE(dst.Canvas().StretchDIBits(1, 1, 10, 6, 0, 0, 5, 3, header, bits));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 10; ++x) EXPECT_EQ(dst.ScanLine(1 + y)[1 + x], src.ScanLine(y / 2)[x / 2]);
  }
  EXPECT_EQ(dst.ScanLine(0)[0], clWhite);
  // A header that is not a 24-bit one, or too few bytes, is refused.
  EXPECT_FALSE(dst.Canvas().StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, header, std::span<uint8_t>(bits).first(40)));
  header[14] = 8;
  EXPECT_FALSE(dst.Canvas().StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, header, bits));
}

TEST(TBitmap, FailedSavesRaiseAndLeaveOldFiles) {
  TempDir dir("save");
  TBitmap bmp;
  FillSample(bmp);
  EXPECT_THROW(bmp.SaveToPNG(dir.Path("missing/a.png")), EFCreateError);
  EXPECT_THROW(bmp.SaveToBMP(dir.Path("missing/a.bmp")), EFCreateError);
  dir.Put("old.png", "old");
  EXPECT_THROW(TBitmap().SaveToPNG(dir.Path("old.png")), EWriteError);  // an empty bitmap
  EXPECT_EQ(dir.Bytes("old.png"), "old");
  bmp.SaveToPNG(dir.Path("old.png"));
  EXPECT_EQ(dir.Bytes("old.png").substr(1, 3), "PNG");
  // Only the target is left in the directory: no temporary files.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Dir())) ++entries;
  EXPECT_EQ(entries, 1);
}

uint32_t ModeOf(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// Saves follow the library's one safe save: links are written through,
// modes kept, read-only files refused, and devices and FIFOs written where
// they are.  The drawing library's own save did none of this.
TEST(TBitmap, SavesKeepLinksModesDevicesAndFifos) {
  TempDir dir("save");
  TBitmap bmp;
  FillSample(bmp);
  bmp.SaveToPNG(dir.Path("ref.png"));
  const std::string png = dir.Bytes("ref.png");

  dir.Put("private.png", "old");
  chmod((dir.Dir() + "/private.png").c_str(), 0600);
  bmp.SaveToPNG(dir.Path("private.png"));
  EXPECT_EQ(ModeOf(dir.Dir() + "/private.png") & 07777, 0600u);

  ASSERT_EQ(symlink("private.png", (dir.Dir() + "/link.png").c_str()), 0);
  bmp.SaveToBMP(dir.Path("link.png"));
  EXPECT_TRUE(S_ISLNK(ModeOf(dir.Dir() + "/link.png")));
  EXPECT_EQ(dir.Bytes("private.png").substr(0, 2), "BM");

  dir.Put("ro.png", "keep");
  chmod((dir.Dir() + "/ro.png").c_str(), 0444);
  EXPECT_THROW(bmp.SaveToPNG(dir.Path("ro.png")), EFCreateError);
  EXPECT_EQ(dir.Bytes("ro.png"), "keep");

  {
    testutil::FifoReader fifo(dir.Dir() + "/fifo.png");
    bmp.SaveToPNG(dir.Path("fifo.png"));
    EXPECT_EQ(fifo.Finish(), png);
  }
  EXPECT_TRUE(S_ISFIFO(ModeOf(dir.Dir() + "/fifo.png")));
  EXPECT_THROW(bmp.SaveToPNG(dir.Path("fifo.png")), EFCreateError);  // no reader: no hang

  size_t entries = 5;  // ref, private, link, ro, fifo
  if (geteuid() == 0 &&
      mknod((dir.Dir() + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    bmp.SaveToPNG(dir.Path("null"));
    EXPECT_TRUE(S_ISCHR(ModeOf(dir.Dir() + "/null")));
    ++entries;
  }
  EXPECT_EQ(dir.EntryCount(), entries);
}

// Another user who can write the directory swaps links in for the save's
// temporary files: the PNG data never reaches the file outside.  (The
// drawing library's own save reopened its temporary file by name, so such a
// link got the picture.)
TEST(TBitmap, LinksSwappedInDuringSavesLeadNowhere) {
  TempDir dir("save");
  TempDir outside("save_out");
  outside.Put("victim", "untouched");
  const std::string victim = outside.Dir() + "/victim";
  TBitmap bmp(64, 64);
  std::atomic<bool> stop{false};
  std::thread attacker([&] {
    while (!stop.load()) {
      std::error_code ec;
      for (const auto& e : std::filesystem::directory_iterator(dir.Dir(), ec)) {
        if (e.path().filename().string().rfind(".pic.png.", 0) != 0) continue;
        if (unlink(e.path().c_str()) == 0 && symlink(victim.c_str(), e.path().c_str()) != 0) break;
      }
    }
  });
  for (int i = 0; i < 100; ++i) {
    try {
      bmp.SaveToPNG(dir.Path("pic.png"));
    } catch (const Exception&) {
      // A spoiled save may fail; it must not write elsewhere.
    }
    if (S_ISLNK(ModeOf(dir.Dir() + "/pic.png"))) unlink((dir.Dir() + "/pic.png").c_str());
  }
  stop = true;
  attacker.join();
  EXPECT_EQ(outside.Bytes("victim"), "untouched");
}

}  // namespace
}  // namespace zel
