#include "tools/zel/draw/sheets.h"

#include <algorithm>
#include <string>
#include <vector>

#include "zel/graphics/graphics.h"
#include "zel/platform/filename.h"
#include "zel/zelbase/nametables.h"

namespace zel::cli {
namespace {

constexpr int kMarkBox = 15;           // a mark's own bitmap: margin 4 around 7 x 7
constexpr TColor kMarkGround = 0xF0F0F0;

// Copies `src` onto `dst` at (x, y), each pixel as a scale x scale block,
// through the device-independent form.
void Blit(TCanvas& dst, const TBitmap& src, int x, int y, int scale) {
  size_t header_size = 0, image_size = 0;
  GetDIBSizes(src, header_size, image_size);
  std::vector<uint8_t> header(header_size), bits(image_size);
  GetDIB(src, header, bits);
  dst.StretchDIBits(x, y, src.Width() * scale, src.Height() * scale, 0, 0, src.Width(), src.Height(),
                    header, bits);
}

// Text centred on x with its top at y.
void CentredText(TCanvas& c, int x, int y, const String& text) {
  c.TextOut(x - c.TextWidth(text) / 2, y, text);
}

String Number(int n) { return FromUtf8(std::to_string(n)); }

}  // namespace

std::unique_ptr<TBitmap> RenderMarkSheet(int scale, TColor color) {
  auto sheet = std::make_unique<TBitmap>();
  TCanvas& c = sheet->Canvas();
  c.Font().SetSize(8);
  const int label_h = c.TextHeight(u"255");
  const int box = kMarkBox * scale;
  const int cell_w = std::max(box, c.TextWidth(u"255")) + 10, cell_h = box + label_h + 10;
  const int margin = 10, title_h = c.TextHeight(u"Ag") + 8;
  sheet->SetSize(2 * margin + 16 * cell_w, 2 * margin + title_h + 16 * cell_h);
  c.Font().SetSize(10);
  c.TextOut(margin, margin, u"zel marks: DrawMarkOnCanvas, types 0 to 255, magnified " + Number(scale) +
                                u" times (each on a 15 x 15 bitmap, centre at 7,7)");
  c.Font().SetSize(8);
  for (int type = 0; type < 256; ++type) {
    const int x = margin + (type % 16) * cell_w, y = margin + title_h + (type / 16) * cell_h;
    const auto mark = CreateMarkAsBitmap(static_cast<uint8_t>(type), color, kMarkGround, 4);
    Blit(c, *mark, x + (cell_w - box) / 2, y, scale);
    c.Brush().SetStyle(bsClear);
    CentredText(c, x + cell_w / 2, y + box + 2, Number(type));
  }
  return sheet;
}

void PrintMarkSheet(const std::string& pdf_path, TColor color) {
  TPrinter& printer = Printer();
  // 48 printer pixels per inch: a mark is about 4 mm wide on paper, drawn
  // as vector lines and shapes.
  printer.SetPixelsPerInch(48);
  printer.BeginDoc(FileNameFromBytes(pdf_path));
  try {
    TCanvas& c = printer.Canvas();
    const int cell_w = 23, cell_h = 31, left = 14, top = 36;
    c.Font().SetSize(12);
    c.TextOut(left, 10, u"zel marks on the printer's canvas (48 pixels per inch)");
    for (int type = 0; type < 256; ++type) {
      const int cx = left + (type % 16) * cell_w + cell_w / 2;
      const int cy = top + (type / 16) * cell_h + 10;
      // Filled marks fill in the current brush style: solid here.
      c.Pen().SetColor(color);
      c.Brush().SetStyle(bsSolid);
      c.Font().SetSize(10);
      DrawMarkOnCanvas(c, static_cast<uint8_t>(type), cx, cy);
      c.Font().SetSize(6);
      c.Font().SetColor(clGray);
      c.Brush().SetStyle(bsClear);
      CentredText(c, cx, cy + 11, Number(type));
    }
    printer.EndDoc();
  } catch (...) {
    printer.Abort();
    throw;
  }
}

std::unique_ptr<TBitmap> RenderFrameSheet(int scale) {
  constexpr TFrameStyle kStyles[] = {fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved};
  constexpr int kPanelW = 60, kPanelH = 40, kGap = 10;
  TBitmap native(kGap + 5 * (kPanelW + kGap), kPanelH + 2 * kGap);
  TCanvas& n = native.Canvas();
  n.Pen().SetColor(clSilver);
  n.Brush().SetColor(clSilver);
  n.Rectangle(0, 0, native.Width(), native.Height());
  for (int i = 0; i < 5; ++i) {
    const int x = kGap + i * (kPanelW + kGap);
    DrawFrame(n, kStyles[i], x, kGap, x + kPanelW - 1, kGap + kPanelH - 1, clWhite, 0xE0E0E0, clGray,
              clBlack, clBlack);
  }
  auto sheet = std::make_unique<TBitmap>();
  TCanvas& c = sheet->Canvas();
  const int label_h = c.TextHeight(u"fsRaised");
  sheet->SetSize(native.Width() * scale, native.Height() * scale + label_h + kGap);
  c.Pen().SetColor(clSilver);
  c.Brush().SetColor(clSilver);
  c.Rectangle(0, 0, sheet->Width(), sheet->Height());
  Blit(c, native, 0, 0, scale);
  c.Brush().SetStyle(bsClear);
  for (int i = 0; i < 5; ++i) {
    const int x = (kGap + i * (kPanelW + kGap) + kPanelW / 2) * scale;
    CentredText(c, x, native.Height() * scale, String(xmlFrameStyle[kStyles[i]]));
  }
  return sheet;
}

}  // namespace zel::cli
