#include "zel/platform/filestream.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

class FileStreamTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  FileStreamTest() : TempDir("fstream") {}
};

TEST_F(FileStreamTest, CreateWriteReopenRead) {
  {
    TFileStream f(Path("a.bin"), fmCreate);
    EXPECT_EQ(f.FileName(), Path("a.bin"));
    f.WriteBuffer("hello", 5);
    EXPECT_EQ(f.Size(), 5);      // exact before the bytes reach the file
    EXPECT_EQ(f.Position(), 5);
  }                              // destructor writes them
  EXPECT_EQ(Bytes("a.bin"), "hello");
  TFileStream f(Path("a.bin"), fmOpenRead | fmShareDenyNone);
  char buf[16];
  EXPECT_EQ(f.Read(buf, 16), 5);
  EXPECT_EQ(std::string(buf, 5), "hello");
  EXPECT_EQ(f.Read(buf, 1), 0);
  // Read-only: nothing is written, WriteBuffer raises at once.
  EXPECT_EQ(f.Write("x", 1), 0);
  EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
}

TEST_F(FileStreamTest, CreateEmptiesAnExistingFile) {
  Put("b.bin", "old contents");
  TFileStream f(Path("b.bin"), fmCreate | fmShareExclusive);
  EXPECT_EQ(f.Size(), 0);
}

TEST_F(FileStreamTest, OpenAndCreateFailuresNameTheFile) {
  const String missing = Path("missing.bin");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), u"Cannot open file \"" + missing + u"\". No such file or directory");
  }
  const String bad = Path("no/such/dir.bin");
  try {
    TFileStream f(bad, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), u"Cannot create file \"" + bad + u"\". No such file or directory");
  }
  EXPECT_THROW(TFileStream(FromUtf8(Dir()), fmOpenRead), EFOpenError);
}

TEST_F(FileStreamTest, WriteOnlyOpenKeepsTheRestOfTheFile) {
  Put("c.bin", "0123456789");
  {
    TFileStream f(Path("c.bin"), fmOpenWrite);
    f.Seek(3, soBeginning);
    f.WriteBuffer("ab", 2);
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0);  // write-only
    EXPECT_EQ(f.Size(), 10);
  }
  EXPECT_EQ(Bytes("c.bin"), "012ab56789");
}

TEST_F(FileStreamTest, SetSizeCutsAndExtends) {
  Put("d.bin", "0123456789");
  TFileStream f(Path("d.bin"), fmOpenReadWrite);
  f.Seek(0, soEnd);
  f.WriteBuffer("AB", 2);       // pending
  f.SetSize(11);
  EXPECT_EQ(f.Position(), 11);  // clamped
  f.SetSize(14);
  EXPECT_EQ(f.Size(), 14);
  f.Flush();
  EXPECT_EQ(Bytes("d.bin"), std::string("0123456789A\0\0\0", 14));
}

// Random single-byte and block reads and writes interleaved with seeks and
// size changes must leave the same bytes as the same operations on a memory
// stream.
TEST_F(FileStreamTest, MatchesMemoryStreamUnderRandomOperations) {
  std::mt19937 rng(12345);
  TMemoryStream ref;
  {
    TFileStream f(Path("r.bin"), fmCreate);
    std::vector<uint8_t> block(200000), got(200000), want(200000);
    for (int step = 0; step < 20000; ++step) {
      const int op = static_cast<int>(rng() % 100);
      if (op < 35) {
        const uint8_t b = static_cast<uint8_t>(rng());
        ASSERT_EQ(f.Write(&b, 1), ref.Write(&b, 1));
      } else if (op < 70) {
        uint8_t x = 0, y = 0;
        ASSERT_EQ(f.Read(&x, 1), ref.Read(&y, 1)) << step;
        ASSERT_EQ(x, y) << step;
      } else if (op < 85) {
        const int64_t size = ref.Size();
        const int64_t target = static_cast<int64_t>(rng() % static_cast<uint32_t>(size + 100));
        ASSERT_EQ(f.Seek(target, soBeginning), ref.Seek(target, soBeginning));
      } else if (op < 90) {
        const int64_t delta = static_cast<int64_t>(rng() % 200) - 100;
        if (ref.Position() + delta >= 0) {
          ASSERT_EQ(f.Seek(delta, soCurrent), ref.Seek(delta, soCurrent));
        }
      } else if (op < 95) {
        // Blocks around and beyond the buffer size.
        const int64_t n = static_cast<int64_t>(rng() % (op < 93 ? 300 : 150000));
        for (int64_t i = 0; i < n; ++i) block[static_cast<size_t>(i)] = static_cast<uint8_t>(rng());
        ASSERT_EQ(f.Write(block.data(), n), ref.Write(block.data(), n));
      } else if (op < 99) {
        const int64_t n = static_cast<int64_t>(rng() % (op < 97 ? 300 : 150000));
        const int64_t a = f.Read(got.data(), n);
        ASSERT_EQ(a, ref.Read(want.data(), n)) << step;
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + a, want.begin())) << step;
      } else {
        const int64_t size = static_cast<int64_t>(rng() % 300000);
        f.SetSize(size);
        ref.SetSize(size);
      }
      ASSERT_EQ(f.Position(), ref.Position()) << step;
      ASSERT_EQ(f.Size(), ref.Size()) << step;
    }
  }
  const std::string expected(reinterpret_cast<const char*>(ref.Memory()),
                             static_cast<size_t>(ref.Size()));
  EXPECT_EQ(Bytes("r.bin"), expected);
}

TEST_F(FileStreamTest, DerivedClassReadsThroughTheBuffer) {
  // A subclass in the style of a mixed text/binary stream.
  class LineStream : public TFileStream {
   public:
    using TFileStream::TFileStream;
    std::string ReadLine() {
      std::string line;
      char c;
      while (Read(&c, 1) == 1 && c != '\n') line += c;
      return line;
    }
    bool Eos() { return Position() >= Size(); }
  };
  Put("e.txt", "one\ntwo\nthree");
  LineStream s(Path("e.txt"), fmOpenReadWrite);
  EXPECT_EQ(s.ReadLine(), "one");
  s.WriteBuffer("TWO", 3);
  s.Seek(1, soCurrent);
  EXPECT_EQ(s.ReadLine(), "three");
  EXPECT_TRUE(s.Eos());
  s.SetPosition(0);
  EXPECT_EQ(s.ReadLine(), "one");
  EXPECT_EQ(s.ReadLine(), "TWO");
}

TEST_F(FileStreamTest, PeekBufferedShowsTheWindowIncludingUnwrittenBytes) {
  const std::string big(TFileStream::kBufferSize + 12, 'x');
  Put("p.bin", big);
  TFileStream f(Path("p.bin"), fmOpenReadWrite);
  f.WriteBuffer("ab", 2);             // a window holding only the pending bytes
  f.SetPosition(0);
  auto view = f.PeekBuffered();
  EXPECT_EQ(std::string(view.begin(), view.end()), "ab");
  f.Seek(2, soCurrent);               // past the window: written out, refilled
  view = f.PeekBuffered();
  ASSERT_EQ(view.size(), static_cast<size_t>(TFileStream::kBufferSize));
  f.Seek(static_cast<int64_t>(view.size()) - 1, soCurrent);
  EXPECT_EQ(f.PeekBuffered().size(), 1u);
  f.Seek(1, soCurrent);
  view = f.PeekBuffered();
  EXPECT_EQ(std::string(view.begin(), view.end()), std::string(10, 'x'));
  f.Seek(0, soEnd);
  EXPECT_TRUE(f.PeekBuffered().empty());
  EXPECT_EQ(Bytes("p.bin").substr(0, 3), "abx");
  TFileStream w(Path("p.bin"), fmOpenWrite);
  EXPECT_TRUE(w.PeekBuffered().empty());
}

}  // namespace
}  // namespace zel
