// zel/zelcolors/colorarray.h — `TColorArray`, a colour palette: an ordered
// list of colours (entry 1 for the lowest value of a scale, the last entry
// for the highest) with a backup copy of the same size.
//
//   zel::TColorArray pal(nullptr);        // 1000 entries, rainbow, backed up
//   pal.SetSize(256);
//   pal.FillByInterpolation(8, zel::ColorArray_Geo1);   // 8 bands
//   pal.LogTransform(0.5);                // stretch the low end
//   zel::TColor c = pal.ColorElem(17);    // index clamped to 1..Size()
//   double d;
//   int ix = pal.ColorToIndex(0x00FFFF, d);  // nearest entry to yellow
//   pal.StoreOnFile(1, pal.Size(), u"scale.pal");
//
// Every modification calls the `OnChange` handler (zelbase/changenotify.h)
// except `Backup`, `Assign` and a `Resize` to the current size.
//
// Palette file: plain ASCII text with CR LF line ends.  Line 1 holds the
// first and the last entry number written, separated by a blank; then one
// line per entry with the whole 32-bit `TColor` value as eight upper-case
// hexadecimal digits (`ColorToHexStr`).  Black, red, white:
//
//   1 3
//   00000000
//   000000FF
//   00FFFFFF
//
// Reading takes the entry lines as `HexStrToColor` does (blanks, an
// optional '$', then hexadecimal digits up to the first other character).
// The file operations never throw; they report through their result.
//
// Choices of this library:
//   * `LogTransform` on a palette of one entry leaves it unchanged.
//   * `FillByInterpolation` gives positions that fall before the first
//     base colour (possible with `DiscreteLevels` > 0 when there are at
//     least as many base colours as entries) the first base colour, and
//     does nothing when it gets no base colour at all.
//   * `CopyFrom` with this palette as its own source copies as if through a
//     temporary copy, so overlapping ranges move intact.
//   * `WriteToOpenTextFile` returns false when writing fails (the file's
//     error checking on), rather than claiming success.
//   * `ReadFromOpenTextFile` returns false instead of throwing when
//     `AdjustSize` asks for a size that cannot be allocated.
#ifndef ZEL_ZELCOLORS_COLORARRAY_H_
#define ZEL_ZELCOLORS_COLORARRAY_H_

#include <span>
#include <vector>

#include "zel/platform/changenotify.h"
#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/textfile.h"
#include "zel/platform/types.h"

namespace ZEL_EXPORT zel {

class TColorArray : public WithOnChange<TComponent> {
 public:
  // 1000 entries filled from `ColorArray_Rainbow`, then backed up.  Raises
  // EZELColArrayError (": not enough memory on heap") if allocation fails.
  explicit TColorArray(TComponent* AOwner);

  // Copies the size, the entries and the backup of another TColorArray
  // (neither OnChange nor Name; no OnChange call); other sources go to the
  // inherited Assign.
  void Assign(const TPersistent* Source) override;

  // Same size and the same colour at every position (backups not compared).
  bool IsEqual(const TColorArray& OtherColorArray) const;

  // Entry `ix`; below 1 the first, above Size() the last entry.
  TColor GetColorElem(int ix) const;
  TColor ColorElem(int ix) const { return GetColorElem(ix); }
  // Stores entry `ix` if 1 <= ix <= Size() (then OnChange), else nothing.
  void SetColorElem(int ix, TColor Value);

  int Size() const noexcept { return n_colors_; }
  // Resize(n) for n > 0 and n != Size(); otherwise nothing.
  void SetSize(int n);
  // True and unchanged for n == Size(); false and unchanged for n < 1;
  // otherwise both lists take n entries (the first kept, new ones black)
  // and OnChange.  Raises EZELColArrayError (": not enough memory") if the
  // memory runs out; the palette is then unchanged.
  [[nodiscard]] bool Resize(int n);

  // Sets every entry of the palette (not the backup) to Color; calls
  // OnChange.
  void Fill(TColor Color);
  // Spreads the base colours `Colors` (counted from 0) over the palette,
  // interpolating between neighbours.  `DiscreteLevels` > 0 quantises the
  // positions to that many bands; 0 or less gives a smooth scale.
  void FillByInterpolation(int DiscreteLevels, std::span<const TColor> Colors);
  // Stretches the low end of the scale logarithmically: Gamma (clamped to
  // [0, 1]) 0 changes nothing, 1 is fully logarithmic.
  void LogTransform(double Gamma);
  void MirrorColors();  // reverses the order
  void InvertColors();  // InvertColor of every entry
  void ReverseRGB();    // ReverseRGBColor of every entry

  void Backup();   // entries -> backup, no OnChange
  void Restore();  // backup -> entries, OnChange

  // The first entry nearest to `cl` by RGBColorDistance and that distance;
  // 1 and 1.0 when no entry is nearer than 1.0.
  int ColorToIndex(TColor cl, double& distance) const;

  // Copies entries SourceElemLo..SourceElemHi of `ColArraySource` (clamped
  // to its size, swapped if reversed) to DestElem onwards; destination
  // positions outside 1..Size() are skipped.  Nothing for a null source;
  // otherwise OnChange, even when nothing was copied.
  void CopyFrom(const TColorArray* ColArraySource, int SourceElemLo, int SourceElemHi,
                int DestElem);

  // Reads a palette file from a file open for reading (see the top).  With
  // `AdjustSize` the palette first takes the file's last entry number as
  // its size.  False, with nothing changed, if the first line holds no two
  // numbers; false, without reading entries, if the last number exceeds
  // Size().  Lines that cannot be read are skipped.
  [[nodiscard]] bool ReadFromOpenTextFile(TextFile& F, bool AdjustSize);
  // Writes entries First..Last (swapped if reversed, limited to 1..Size())
  // to a file open for writing.
  [[nodiscard]] bool WriteToOpenTextFile(TextFile& F, int First, int Last);
  // The same with a file opened, and closed, by name; false if it cannot be
  // opened, read, created, written or closed.
  [[nodiscard]] bool LoadFromFile(const String& FileName, bool AdjustSize);
  [[nodiscard]] bool StoreOnFile(int FirstElem, int LastElem, const String& FileName);

 protected:
  void AssignTo(TPersistent* Dest) const override;

 private:
  int n_colors_ = 0;                // FNColors
  std::vector<TColor> colors_;      // FColArray: entry i is element i - 1
  std::vector<TColor> backup_;      // FColArrayBak, always n_colors_ long
};

}  // namespace zel

#endif  // ZEL_ZELCOLORS_COLORARRAY_H_
