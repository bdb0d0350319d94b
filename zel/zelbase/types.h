// zel/zelbase/types.h — the enumerations, records, buffers, dynamic arrays
// and callback types shared by every unit and by client modules.
//
// Enumerations are unscoped with a one-byte underlying type so that their
// prefixed value names read as they are written in files (`tsTrue`,
// `fsRaised`) and each occupies one byte in a record:
//
//   zel::TTriState t = zel::tsUndefined;
//   zel::TRectDouble r{0, 0, 4, 3};
//   r.BottomRight().X;   // 4: the second view of the same storage
//
// Dynamic arrays are `std::vector`s counted from 0; a multi-dimensional type
// is a vector of vectors, so rows may differ in length.
#ifndef ZEL_ZELBASE_TYPES_H_
#define ZEL_ZELBASE_TYPES_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "zel/platform/component.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"
#include "zel/platform/variant.h"

namespace ZEL_EXPORT zel {

// --- Enumerations ----------------------------------------------------------

// False, true or not known.
enum TTriState : uint8_t { tsFalse, tsTrue, tsUndefined };
// The languages of the name tables (months, weekdays, numbers).
enum TLanguage : uint8_t { lgUnknown, lgEnglish, lgGerman, lgFrench, lgSpanish };
// The field delimiter of a CSV line, as the delimiter detection names it
// (`csvUnknown` when it finds none).
enum TCSVDelimiters : uint8_t {
  csvUnknown, csvBlank, csvSemicolon, csvComma, csvColon, csvTab
};
// Distance measures between feature vectors; `dmUserDef` is the caller's own.
enum TDistMode : uint8_t {
  dmJaccard, dmManhattan, dmEuclid, dmEuclidSqr, dmDice, dmUserDef
};
// The kind of a stored value (numbers of several widths, Boolean, string),
// by the names the tagged-text files use.
enum TVarKind : uint8_t { rnum, dnum, snum, inum, lnum, Bool, strg };
// How an angle is written: degrees, degrees and minutes, degrees, minutes
// and seconds, or a plain number.
enum TDegreeFormat : uint8_t { dfDeg, dfDegMin, dfDegMinSec, dfNumeric };
// The decimal separator of number text: the system's, '.', ',' or either.
enum TDecPSep : uint8_t { dsSystem, dsDot, dsComma, dsBoth };
// The frame styles of chart panels and labels (drawn by `DrawFrame` of the
// drawing library).
enum TFrameStyle : uint8_t {
  fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved
};
// The shadow of a text label's frame: flying or box.
enum TShadowStyle : uint8_t { ssFlying, ssBox };
// How a text label is shown: off, plain, boxed, underlined or with a shadow.
enum TTxtLblMode : uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };
// Which of a text label's coordinates are attached to the data (none, X
// only, Y only, both); the others are fixed on the chart.
enum TTxtLblAttachMode : uint8_t { tlamNone, tlamXOnly, tlamYOnly, tlamBoth };
// The shape of a cross-hair: off, horizontal line, vertical line, both, a
// cross with a box, or a box.
enum TCrossHMode : uint8_t { chOff, chHoriz, chVert, chBoth, chCrossBox, chBox };
// How a time of day is written: hours, minutes and seconds; hours and
// minutes (`tfHHhMM`); or with AM/PM.
enum TTimeFormat : uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
// The order of month, day and year in a written date.
enum TDateOrder : uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
// How a year is written in a date: not at all, two digits or four.
enum TYearLength : uint8_t { ylNone, ylYY, ylYYYY };
// Where a time axis shows the date beside the time: nowhere, once per
// chart, once per day, or at every tick.
enum TDateForTime : uint8_t { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };
// Vertical alignment: top, centre, bottom.
enum TVerticalAlignment : uint8_t { vaTop, vaCenter, vaBottom };
// What the figures of an axis show: none, numbers, times, dates and times,
// or the caller's texts.
enum TFigType : uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };
// The scale an axis belongs to: bottom or top X, left or right Y.
enum TScaleType : uint8_t { sctXB, sctXT, sctYL, sctYR };
// The colours of a chart's decorations: black, white and grey, or the
// system's colours.
enum TColorScheme : uint8_t { csBWG, csSystem };
// What encloses a three-dimensional chart: nothing, a frame or its faces.
enum TBoundingBox : uint8_t { bbNone, bbFrame, bbFaces };
// How a background picture fills its area: once, stretched or tiled.
enum TBkgFill : uint8_t { bfSimple, bfStretch, bfTile };
// A direction on the screen: up, down, left, right.
enum TDirection : uint8_t { dirUpward, dirDownward, dirLeftward, dirRightward };
// Vertical or horizontal.
enum TOrientation : uint8_t { orVert, orHoriz };
// How values along an edge are combined: minimum, maximum, sum or mean.
enum TEdgeOp : uint8_t { eopMin, eopMax, eopSum, eopMean };
// A chart axis: X, Y or Z.
enum TAxis : uint8_t { atXAxis, atYAxis, atZAxis };
// A dimension of a four-dimensional cell position (`TCellPosition4D`):
// X, Y, L and T.
enum TDims : uint8_t { dimX, dimY, dimL, dimT };
// Whether a chart is shown normally or a zoom window is being drawn.
enum TZoomState : uint8_t { zsNormal, zsDrawWin };
// What dragging on a colour scale does: pan it, or zoom its left or right
// end.
enum TZoomPanMode : uint8_t { zpmPan, zpmColZoomLeft, zpmColZoomRight };
// The steps of drawing a rectangle with the mouse: none yet, first corner
// set, rectangle being drawn, finished.
enum TMouseBoxState : uint8_t { msNormal, msFirstCorner, msRectDraw, msFinished };
// What the mouse does on a chart: pan, zoom, drag a cross-hair or label,
// rotate, select a rectangle, draw a trace, ...
enum TMouseActMode : uint8_t {
  maNone, maPan, maPanHoriz, maPanVert, maPanGrid, maRubberBand, maZoom,
  maZoomWind, maZoomWindPos, maZoomDrag, maDragCrossH, maDragLabel, maRotate,
  maRotAndZoom, maRotXOnly, maRotZOnly, maSelectRect, maDrawMTrace,
  maZoomPanColors
};

// The platform's text alignment, which the name tables also cover (the font
// style elements and pen styles are the platform's, in zel/platform/types.h).
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// --- Records ---------------------------------------------------------------

// A point with floating-point coordinates.
struct TPointDouble {
  // The coordinates.
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPointDouble&, const TPointDouble&) = default;
};

// Left, Top, Right, Bottom; `TopLeft()` and `BottomRight()` are a second view
// of the same storage as two points.
struct TRectDouble {
  // The edges.
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;

  // The corners as points, views of the same storage.
  TPointDouble& TopLeft() noexcept { return *reinterpret_cast<TPointDouble*>(&Left); }
  const TPointDouble& TopLeft() const noexcept {
    return *reinterpret_cast<const TPointDouble*>(&Left);
  }
  TPointDouble& BottomRight() noexcept { return *reinterpret_cast<TPointDouble*>(&Right); }
  const TPointDouble& BottomRight() const noexcept {
    return *reinterpret_cast<const TPointDouble*>(&Right);
  }
  friend bool operator==(const TRectDouble&, const TRectDouble&) = default;
};

// A point with a flag word and a colour.
struct TColoredPoint {
  // The position, a flag word and the colour.
  double X = 0;
  double Y = 0;
  uint16_t Flag = 0;
  TColor Color = 0;
};

// The position of a cell in a four-dimensional grid (X, Y, L, T).
struct TCellPosition4D {
  // The index along each dimension.
  int32_t X = 0;
  int32_t Y = 0;
  int32_t L = 0;
  int32_t T = 0;
  friend bool operator==(const TCellPosition4D&, const TCellPosition4D&) = default;
};

// Four points, the corners of a quadrilateral.
using TQuad = TPoint[4];

static_assert(sizeof(TPointDouble) == 16);
static_assert(sizeof(TRectDouble) == 32);
static_assert(offsetof(TRectDouble, Right) == sizeof(TPointDouble));
static_assert(sizeof(TColoredPoint) == 24);  // 8 + 8 + 2, aligned Color at 20
static_assert(offsetof(TColoredPoint, Color) == 20);
static_assert(sizeof(TCellPosition4D) == 16);
static_assert(sizeof(TQuad) == 32);

// --- Fixed buffers ---------------------------------------------------------

// Byte buffers of 4 KiB and 16 KiB.
using TBuf4096 = uint8_t[4096];
using TBuf16K = uint8_t[16384];
// The target type of a pointer to a caller's byte buffer of any length; never
// allocated as such.
using TDataBuffer = uint8_t[2147483647];

// --- Dynamic arrays --------------------------------------------------------

// Bytes, integers, floating-point numbers, Booleans, strings, variants and
// points, in one to four dimensions.
using TBytes = std::vector<uint8_t>;
using TIntArray = std::vector<int32_t>;
using TInt2DArray = std::vector<TIntArray>;
using TInt3DArray = std::vector<TInt2DArray>;
using TInt4DArray = std::vector<TInt3DArray>;
using TSingleArray = std::vector<float>;
using TDoubleArray = std::vector<double>;
using TDouble2DArray = std::vector<TDoubleArray>;
using TDouble3DArray = std::vector<TDouble2DArray>;
using TDouble4DArray = std::vector<TDouble3DArray>;
using TBoolArray = std::vector<uint8_t>;  // one byte per Boolean, 0 or 1
using TBool2DArray = std::vector<TBoolArray>;
using TStrArray = std::vector<String>;
using TStr2DArray = std::vector<TStrArray>;
using TVariantArray = std::vector<Variant>;
using TPIntArray = std::vector<TPoint>;
using TPDblArray = std::vector<TPointDouble>;

// --- Callback and event types ----------------------------------------------
// "Procedures" are plain function pointers; events are bound callables called
// with the sender.

// Progress reports (a count of states done, and a percentage), a request to
// abort, the exchanges of a sort, and the mouse actions of a chart.
using FeedBackProcType = void (*)(double StateCnt);
using TFeedbackProc = void (*)(TObject* Sender, double StateCnt, double PercentDone);
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t PercentDone)>;
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;
using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgWhat,
                                           int32_t index1, int32_t index2,
                                           int32_t first, int32_t last)>;
using TOnRubberBandActionEvent = std::function<void(TObject* Sender, TPoint APoint)>;
using TSelectRectEvent = std::function<void(TObject* Sender, int32_t Layer, double LoX,
                                            double LoY, double HiX, double HiY)>;
using TZoomPanEvent = std::function<void(TObject* Sender)>;

}  // namespace zel

#endif  // ZEL_ZELBASE_TYPES_H_
