// zel/graphics/printer.h — `Printer()`: a canvas whose pages become a PDF
// file, and `PrintBitmap`, which puts a bitmap on the printer's page.
//
//   zel::TPrinter& p = zel::Printer();
//   p.SetPixelsPerInch(300);                  // before BeginDoc
//   p.BeginDoc(u"chart.pdf");                 // A4 pages, 2480 x 3508 pixels
//   p.Canvas().Rectangle(100, 100, 400, 300);
//   zel::PrintBitmap(bmp, 100, 400);          // one printer pixel per bitmap pixel
//   p.NewPage();
//   p.Canvas().TextOut(100, 100, u"page 2");
//   p.EndDoc();                               // chart.pdf written
//
// The canvas says it is the printer's (`IsPrinterCanvas()`); it draws in
// printer pixels, 1/PixelsPerInch() inch each, with the same geometry as a
// bitmap canvas (a rectangle x1, y1, x2, y2 covers x1..x2-1, lines run
// through pixel centres) but as vector graphics through cairo, so the PDF
// shows them smooth at any zoom.  A line from a point to itself prints that
// one pixel as a dot.  Its font's resolution is the printer's while a
// document is open.  Drawing while no document is open raises `EPrinter`;
// `Pixels` reads as clNone.  The PDF is written to a temporary file beside
// the target and renamed over it by EndDoc, so an aborted or failed print
// leaves an old file as it was.
#ifndef ZEL_GRAPHICS_PRINTER_H_
#define ZEL_GRAPHICS_PRINTER_H_

#include <memory>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/canvas.h"
#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class TPrinter : public TObject {
 public:
  // The resolution of a new printer.
  static constexpr int kDefaultPixelsPerInch = 300;

  TPrinter();
  ~TPrinter() override;  // aborts an open document

  TCanvas& Canvas() noexcept;

  // Starts a document of A4 pages written to `file_name`.  Raises EPrinter
  // when a document is already open, EFCreateError when the file cannot be
  // created.
  void BeginDoc(const String& file_name);
  // Ends the page and the document and writes the file; raises EPrinter
  // when no document is open, EWriteError naming the file when it cannot be
  // written.  The PDF goes through the safe save
  // (zel/platform/filereplace.h): the file appears or is replaced only when
  // complete, and a device or FIFO is written directly.
  void EndDoc();
  // Drops the open document (no file is written); nothing when none is open.
  void Abort();
  // Ends the page and starts the next; EPrinter when no document is open.
  void NewPage();

  // True while a document is open (from BeginDoc to EndDoc or Abort).
  bool Printing() const noexcept;
  // 1 for the first page of a document, 0 when none is open.
  int PageNumber() const noexcept { return page_number_; }

  // The resolution of the canvas.  It can be set only while no document is
  // open (EPrinter otherwise); values below 1 are ignored.
  int PixelsPerInch() const noexcept { return pixels_per_inch_; }
  void SetPixelsPerInch(int ppi);

  // The page (A4) in printer pixels, at most INT_MAX.
  int PageWidth() const noexcept;
  int PageHeight() const noexcept;

 private:
  class PrinterCanvas;
  std::unique_ptr<PrinterCanvas> canvas_;
  int pixels_per_inch_ = kDefaultPixelsPerInch;
  int page_number_ = 0;
  String file_name_;
};

// The process's printer.
TPrinter& Printer();

// Copies `bitmap` onto the printer's canvas with its top-left corner at
// (x, y) and its size in printer pixels equal to its size in pixels, through
// the bitmap's device-independent form.  Raises EPrinter when no document
// is open.
void PrintBitmap(const TBitmap& bitmap, int x, int y);

}  // namespace zel

#endif  // ZEL_GRAPHICS_PRINTER_H_
