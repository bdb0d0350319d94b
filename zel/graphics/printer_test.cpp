#include "zel/graphics/printer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/marks.h"
#include "zel/platform/exceptions.h"
#include "zel/testutil/fiforeader.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

using testutil::TempDir;

bool HavePdftoppm() { return std::system("command -v pdftoppm >/dev/null 2>&1") == 0; }

// A binary PPM (P6) as rows of 0x00BBGGRR pixels.
struct Ppm {
  int width = 0, height = 0;
  std::vector<TColor> pixels;
  TColor At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool ReadPpm(const std::string& path, Ppm& ppm) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> ppm.width >> ppm.height >> maxval;
  in.get();
  if (!in || magic != "P6" || maxval != 255) return false;
  std::vector<unsigned char> rgb(static_cast<size_t>(ppm.width) * ppm.height * 3);
  in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  if (!in) return false;
  ppm.pixels.resize(rgb.size() / 3);
  for (size_t i = 0; i < ppm.pixels.size(); ++i) {
    ppm.pixels[i] = rgb[3 * i] | rgb[3 * i + 1] << 8 | rgb[3 * i + 2] << 16;
  }
  return true;
}

// Ends any document a failed test left open, and the default resolution.
class PrinterTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Printer().Abort();
    Printer().SetPixelsPerInch(TPrinter::kDefaultPixelsPerInch);
  }
};

TEST_F(PrinterTest, PagesBecomeAValidPdf) {
  TempDir dir("pdf");
  TPrinter& p = Printer();
  p.SetPixelsPerInch(100);
  EXPECT_EQ(p.PageWidth(), 827);   // A4 at 100 pixels per inch
  EXPECT_EQ(p.PageHeight(), 1169);
  p.SetPixelsPerInch(INT_MAX);  // pages wider than an int counts
  EXPECT_EQ(p.PageWidth(), INT_MAX);
  EXPECT_EQ(p.PageHeight(), INT_MAX);
  p.BeginDoc(dir.Path("huge.pdf"));  // and a document at that resolution prints
  p.Canvas().TextOut(0, 0, u"x");
  p.Canvas().Rectangle(0, 0, p.PageWidth(), p.PageHeight());
  p.EndDoc();
  EXPECT_EQ(dir.Bytes("huge.pdf").substr(0, 5), "%PDF-");
  p.SetPixelsPerInch(100);
  p.BeginDoc(dir.Path("out.pdf"));
  EXPECT_TRUE(p.Printing());
  EXPECT_TRUE(p.Canvas().IsPrinterCanvas());
  EXPECT_EQ(p.Canvas().Font().PixelsPerInch(), 100);
  EXPECT_EQ(p.PageNumber(), 1);
  EXPECT_THROW(p.BeginDoc(dir.Path("other.pdf")), EPrinter);
  EXPECT_THROW(p.SetPixelsPerInch(300), EPrinter);
  // A text wider than the int range leaves the pen at INT_MAX.
  p.Canvas().Font().SetHeight(-60000);
  p.Canvas().TextOut(10, 10, String(100000, u'\u2588'));
  EXPECT_EQ(p.Canvas().PenPos(), (TPoint{INT_MAX, 10}));
  p.Canvas().Font().SetSize(10);
  // A red 40 x 20 bitmap placed at (100, 50), one printer pixel per pixel.
  TBitmap red(40, 20);
  red.Canvas().Brush().SetColor(clRed);
  red.Canvas().Pen().SetColor(clRed);
  red.Canvas().Rectangle(0, 0, 40, 20);
  PrintBitmap(red, 100, 50);
  p.Canvas().Brush().SetColor(clBlue);
  p.Canvas().Pen().SetColor(clBlue);
  p.Canvas().Rectangle(300, 300, 400, 350);
  p.Canvas().Pen().SetColor(clBlack);
  DrawMarkOnCanvas(p.Canvas(), 24, 500, 500);
  DrawMarkOnCanvas(p.Canvas(), 65, 520, 500);
  p.Canvas().TextOut(100, 600, u"zel printer");
  EXPECT_EQ(p.Canvas().Pixels(100, 50), clNone);
  p.NewPage();
  EXPECT_EQ(p.PageNumber(), 2);
  p.Canvas().TextOut(100, 100, u"page 2");
  EXPECT_FALSE(dir.Bytes("out.pdf").size() > 0);  // nothing before EndDoc
  p.EndDoc();
  EXPECT_FALSE(p.Printing());
  const std::string pdf = dir.Bytes("out.pdf");
  ASSERT_GE(pdf.size(), 100u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.rfind("%%EOF"), std::string::npos);
  if (!HavePdftoppm()) GTEST_SKIP() << "pdftoppm not installed: the pixels are not checked";
  const std::string base = dir.Dir() + "/page";
  ASSERT_EQ(std::system(("pdftoppm -r 100 -aa no -aaVector no -f 1 -l 1 '" + dir.Dir() + "/out.pdf' '" +
                         base + "'").c_str()),
            0);
  std::string page1;
  for (const char* name : {"-1.ppm", "-01.ppm"}) {
    if (std::ifstream(base + name)) page1 = base + name;
  }
  Ppm ppm;
  ASSERT_TRUE(ReadPpm(page1, ppm));
  EXPECT_EQ(ppm.width, 827);
  // Inside the bitmap's place red, around it white; the blue rectangle
  // covers 300..399 x 300..349.
  const struct {
    int x, y;
    TColor want;
  } probes[] = {{100, 50, clRed},   {139, 69, clRed},   {120, 60, clRed},    {98, 60, clWhite},
                {141, 60, clWhite}, {120, 48, clWhite}, {120, 71, clWhite},  {301, 301, clBlue},
                {398, 348, clBlue}, {350, 325, clBlue}, {402, 325, clWhite}, {500, 500, clBlack}};
  for (const auto& pr : probes) EXPECT_EQ(ppm.At(pr.x, pr.y), pr.want) << pr.x << "," << pr.y;
  std::system(("pdfinfo '" + dir.Dir() + "/out.pdf' > '" + dir.Dir() + "/info.txt' 2>/dev/null").c_str());
  const std::string info = dir.Bytes("info.txt");
  if (const size_t at = info.find("Pages:"); at != std::string::npos) {
    EXPECT_EQ(std::atoi(info.c_str() + at + 6), 2) << info;
  }
}

// The pages of a PDF: pdfinfo's count where it is installed, else the page
// objects (cairo writes them as plain dictionaries).
int PdfPages(const TempDir& dir, const std::string& name) {
  const std::string info_file = dir.Dir() + "/" + name + ".info";
  if (std::system(("pdfinfo '" + dir.Dir() + "/" + name + "' > '" + info_file + "' 2>/dev/null").c_str()) == 0) {
    const std::string info = dir.Bytes(name + ".info");
    if (const size_t at = info.find("Pages:"); at != std::string::npos) return std::atoi(info.c_str() + at + 6);
  }
  const std::string pdf = dir.Bytes(name);
  int pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1)) {
    pages += at + 11 < pdf.size() && pdf[at + 11] != 's';
  }
  return pages;
}

// Every page counted by PageNumber() is in the file, blank ones at the end
// included.
TEST_F(PrinterTest, BlankPagesAreKept) {
  TempDir dir("pages");
  const struct {
    int new_pages;
    int draw_on;  // page with a rectangle, 0 for none
  } cases[] = {{0, 0}, {0, 1}, {2, 0}, {2, 1}, {2, 3}, {3, 2}};
  for (const auto& c : cases) {
    TPrinter& p = Printer();
    p.BeginDoc(dir.Path("doc.pdf"));
    for (int page = 1;; ++page) {
      if (page == c.draw_on) p.Canvas().Rectangle(10, 10, 50, 50);
      if (page > c.new_pages) break;
      p.NewPage();
    }
    const int pages = p.PageNumber();
    EXPECT_EQ(pages, c.new_pages + 1);
    p.EndDoc();
    EXPECT_EQ(PdfPages(dir, "doc.pdf"), pages) << c.new_pages << " new pages, drawing on " << c.draw_on;
  }
}

// The bitmap's canvas and the printer's follow one rule for dashes (on lines,
// polygon edges, rectangle and ellipse outlines), for underline and
// strike-out and for the fonts characters come from: the same calls put ink
// in the same places, give or take the
// edges of strokes and glyphs that the PDF renderer rasterises its own way.
TEST_F(PrinterTest, BitmapAndPrinterAgreeOnDashesAndUnderlines) {
  if (!HavePdftoppm()) GTEST_SKIP() << "pdftoppm not installed: the printed page cannot be compared";
  const auto draw = [](TCanvas& c) {
    c.Brush().SetStyle(bsClear);
    c.Pen().SetColor(clBlack);
    const struct {
      TPenStyle style;
      int shape;  // 0 rectangle, 1 ellipse, 2 line, 3 polygon
      int x1, y1, x2, y2;
    } prims[] = {{psDash, 0, 20, 20, 180, 120},   {psDot, 0, 30, 30, 90, 70},
                 {psDot, 1, 200, 20, 380, 140},   {psDash, 1, 230, 40, 290, 120},
                 {psDashDot, 2, 20, 150, 380, 230}, {psDash, 2, 380, 150, 300, 290},
                 {psDashDotDot, 3, 40, 250, 200, 290}};
    for (const auto& p : prims) {
      c.Pen().SetStyle(p.style);
      if (p.shape == 0) c.Rectangle(p.x1, p.y1, p.x2, p.y2);
      if (p.shape == 1) c.Ellipse(p.x1, p.y1, p.x2, p.y2);
      if (p.shape == 2) {
        c.MoveTo(p.x1, p.y1);
        c.LineTo(p.x2, p.y2);
      }
      if (p.shape == 3) {
        const TPoint pts[] = {{p.x1, p.y1}, {p.x2, p.y1}, {(p.x1 + p.x2) / 2, p.y2 + 50}};
        c.Polygon(pts);
      }
    }
    c.Pen().SetStyle(psSolid);
    c.Font().SetHeight(-30);
    c.Font().SetStyle(FontStyleBit(fsUnderline));
    c.TextOut(20, 300, u"Under");
    c.Font().SetStyle(FontStyleBit(fsStrikeOut));
    c.TextOut(200, 300, u"Strike");
    // Five scripts and an emoji: the characters DejaVu Sans lacks come from
    // the same fallback fonts at the same places.
    c.Font().SetStyle(0);
    c.Font().SetHeight(-24);
    c.TextOut(10, 350, u"\u0141\u00F3d\u017A \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 "
                       u"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430 \u30E1\u30E2 \U0001F642");
  };
  constexpr int kW = 520, kH = 400;
  TBitmap bmp(kW, kH);
  draw(bmp.Canvas());

  TempDir dir("agree");
  TPrinter& p = Printer();
  p.SetPixelsPerInch(100);
  p.BeginDoc(dir.Path("page.pdf"));
  draw(p.Canvas());
  p.EndDoc();
  const std::string base = dir.Dir() + "/page";
  ASSERT_EQ(std::system(("pdftoppm -r 100 -aa no -aaVector no -x 0 -y 0 -W " + std::to_string(kW) + " -H " +
                         std::to_string(kH) + " '" + dir.Dir() + "/page.pdf' '" + base + "'").c_str()),
            0);
  std::string page;
  for (const char* name : {"-1.ppm", "-01.ppm"}) {
    if (std::ifstream(base + name)) page = base + name;
  }
  Ppm ppm;
  ASSERT_TRUE(ReadPpm(page, ppm));
  ASSERT_EQ(ppm.width, kW);
  ASSERT_EQ(ppm.height, kH);
  const auto ink_near = [&](auto ink, int x, int y, int reach) {
    for (int yy = std::max(0, y - reach); yy <= std::min(kH - 1, y + reach); ++yy) {
      for (int xx = std::max(0, x - reach); xx <= std::min(kW - 1, x + reach); ++xx) {
        if (ink(xx, yy)) return true;
      }
    }
    return false;
  };
  const auto bitmap_ink = [&](int x, int y) { return bmp.ScanLine(y)[x] != clWhite; };
  const auto printed_ink = [&](int x, int y) { return ppm.At(x, y) != clWhite; };
  int bitmap_only = 0, printed_only = 0, inked = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      inked += bitmap_ink(x, y);
      if (bitmap_ink(x, y) && !ink_near(printed_ink, x, y, 2)) {
        ++bitmap_only;
        ADD_FAILURE() << "ink only on the bitmap at " << x << "," << y;
      }
      if (printed_ink(x, y) && !ink_near(bitmap_ink, x, y, 2)) {
        ++printed_only;
        ADD_FAILURE() << "ink only on the printed page at " << x << "," << y;
      }
      if (bitmap_only + printed_only > 20) FAIL() << "more differences not shown";
    }
  }
  EXPECT_GT(inked, 1000);
}

TEST_F(PrinterTest, DrawingOutsideADocumentRaises) {
  TPrinter& p = Printer();
  EXPECT_FALSE(p.Printing());
  EXPECT_EQ(p.PageNumber(), 0);
  EXPECT_THROW(p.Canvas().LineTo(1, 1), EPrinter);
  EXPECT_THROW(p.Canvas().Rectangle(0, 0, 2, 2), EPrinter);
  EXPECT_THROW(p.NewPage(), EPrinter);
  EXPECT_THROW(p.EndDoc(), EPrinter);
  EXPECT_THROW(PrintBitmap(TBitmap(2, 2), 0, 0), EPrinter);
  TempDir dir("pdfabort");
  EXPECT_THROW(p.BeginDoc(dir.Path("no/such/dir.pdf")), EFCreateError);
  dir.Put("keep.pdf", "old");
  p.BeginDoc(dir.Path("keep.pdf"));
  p.Canvas().Rectangle(0, 0, 10, 10);
  p.Abort();
  EXPECT_EQ(dir.Bytes("keep.pdf"), "old");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Dir())) ++entries;
  EXPECT_EQ(entries, 1);  // the temporary PDF is gone
}

// The PDF goes through the safe save: a FIFO or a device gets the document
// where it is, a file that cannot take it keeps its old content, and the
// error names the file.
TEST_F(PrinterTest, DocumentsGoToFifosAndDevicesAndFailuresNameTheFile) {
  TempDir dir("pdfsave");
  TPrinter& p = Printer();
  const auto print = [&](const std::string& name) {
    p.BeginDoc(FromUtf8(dir.Dir() + "/" + name));
    p.Canvas().Rectangle(10, 10, 200, 200);
    p.EndDoc();
  };
  {
    testutil::FifoReader fifo(dir.Dir() + "/fifo.pdf");
    print("fifo.pdf");
    const std::string pdf = fifo.Finish();
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  }
  struct stat st;
  ASSERT_EQ(lstat((dir.Dir() + "/fifo.pdf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_THROW(p.BeginDoc(dir.Path("fifo.pdf")), EFCreateError);  // nobody reads: no hang
  EXPECT_FALSE(p.Printing());

  if (geteuid() == 0 &&
      mknod((dir.Dir() + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    print("null");
    ASSERT_EQ(lstat((dir.Dir() + "/null").c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }

  dir.Put("big.pdf", "old");
  {
    testutil::FileSizeLimit limit(200);  // a full disk, in effect
    p.BeginDoc(dir.Path("big.pdf"));
    for (int i = 0; i < 200; ++i) p.Canvas().Rectangle(i, i, 400 - i, 300 + i);
    try {
      p.EndDoc();
      ADD_FAILURE() << "EndDoc reported success";
    } catch (const EWriteError& e) {
      EXPECT_NE(std::string(e.what()).find(dir.Dir() + "/big.pdf"), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(p.Printing());
  EXPECT_EQ(dir.Bytes("big.pdf"), "old");
}

}  // namespace
}  // namespace zel
