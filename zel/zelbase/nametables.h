// zel/zelbase/nametables.h — the constant name tables: month, weekday,
// number and language names in five languages, ISO 639 language codes, the
// HTML Latin-1 entity names, the text names of the enumerations that the
// XML-like persistence writes, and the names of the distance measures.
//
// The language tables are indexed first by a `TLanguage` and then by the
// natural number of the entry, so they read like the calendar:
//
//   zel::MonthShort[zel::lgGerman][3]            == u"Mär"       // months 1..12
//   zel::WeekDayLong[zel::lgSpanish][6]          == u"sábado"    // Monday = 1
//   zel::NumWords[zel::lgEnglish][12]            == u"twelve"    // 0..12
//   zel::LanguageID[zel::lgGerman][zel::lgFrench] == u"französisch"
//   zel::HTMLLat1Entities[0xE9]                  == u"&eacute;"  // 160..255
//   zel::xmlFrameStyle[zel::fsRaised]            == u"fsRaised"
//   zel::FindName(zel::xmlFrameStyle, u"fsRaised") == zel::fsRaised  // -1 if absent
//
// Layout.  Every entry is an ordinary `StringView` onto a string literal,
// not a fixed-capacity 8-bit short string: a view has its exact length (no
// padding to strip), costs no conversion when it meets the library's UTF-16
// strings, and lives in constant storage, so the tables need no start-up
// initialisation and nothing has to be released when the library unloads.
// The texts keep the limits of the 8-bit form all the same: every character
// is a Windows-1252 character and no entry is longer than the capacity its
// table names below (`MonthShortCapacity` and so on), so an entry can always
// be written into such a fixed field.
//
// Placeholders: the `lgUnknown` row of the month, weekday and number tables
// holds "M01".."M12", "D01".."D07" and "N00".."N12"; every `lgUnknown` entry
// of `LanguageID` (row and column) is "???".  The entries are those the
// persisted files have always used, odd ones included: the French long name
// of February ends with a blank ("février "), the Spanish long name of May is
// "mai", and the French number word for 1 is "celui".
//
// Indexing outside a table's range is a programming error; debug builds
// catch it with an assertion.
#ifndef ZEL_ZELBASE_NAMETABLES_H_
#define ZEL_ZELBASE_NAMETABLES_H_

#include <array>
#include <cassert>
#include <cstddef>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// A constant array indexed from `Lo` to `Hi` inclusive: `a[i]` is element
// i - Lo.  Aggregate, so tables are written as brace lists in constant storage.
template <typename T, int Lo, int Hi>
struct IndexedArray {
  static_assert(Lo <= Hi, "empty index range");

  // Public only so that the type stays an aggregate; use operator[].
  T elems[Hi - Lo + 1];

  // Element i, for i in Lo..Hi (asserted).
  constexpr const T& operator[](int i) const noexcept {
    assert(i >= Lo && i <= Hi && "index outside the table's range");
    return elems[i - Lo];
  }
  // The index range Lo..Hi and the number of elements.
  static constexpr int Low() noexcept { return Lo; }
  static constexpr int High() noexcept { return Hi; }
  static constexpr std::size_t size() noexcept { return Hi - Lo + 1; }
  // Iteration runs over the elements from index Lo to Hi.
  constexpr const T* begin() const noexcept { return elems; }
  constexpr const T* end() const noexcept { return elems + size(); }
};

// A table with one entry per language, `lgUnknown` to `lgSpanish`.
template <typename T>
using ByLanguage = IndexedArray<T, lgUnknown, lgSpanish>;

// The index of `name` in `table` (compared with exact case), or -1 if no
// entry equals it.  For an `IndexedArray` the index is in the table's own
// range (a month name gives 1..12); for a `std::array` it counts from 0, so
// for an enumeration name table it is the enumeration's ordinal value.
template <std::size_t N>
constexpr int FindName(const std::array<StringView, N>& table, StringView name) noexcept {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i] == name) return static_cast<int>(i);
  }
  return -1;
}
template <int Lo, int Hi>
constexpr int FindName(const IndexedArray<StringView, Lo, Hi>& table, StringView name) noexcept {
  static_assert(Lo >= 0, "-1 must not be a valid index");
  for (int i = Lo; i <= Hi; ++i) {
    if (table[i] == name) return i;
  }
  return -1;
}

// --- Language-indexed tables -------------------------------------------------

// The longest entry each table holds (its capacity as a fixed 8-bit field).
inline constexpr int MonthShortCapacity = 4;
inline constexpr int MonthLongCapacity = 10;
inline constexpr int WeekDayShortCapacity = 3;
inline constexpr int WeekDayLongCapacity = 10;
inline constexpr int NumWordsCapacity = 6;
inline constexpr int LanguageIDCapacity = 15;
inline constexpr int ISO639_2CharCapacity = 2;
inline constexpr int ISO639_3CharCapacity = 3;
inline constexpr int HTMLLat1EntitiesCapacity = 8;

using MonthNames = IndexedArray<StringView, 1, 12>;   // January = 1
using WeekDayNames = IndexedArray<StringView, 1, 7>;  // Monday = 1
using NumberWords = IndexedArray<StringView, 0, 12>;  // zero = 0 to twelve

// Month names, short, by language; January = 1.
inline constexpr ByLanguage<MonthNames> MonthShort = {{
    {{u"M01", u"M02", u"M03", u"M04", u"M05", u"M06",
      u"M07", u"M08", u"M09", u"M10", u"M11", u"M12"}},
    {{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
      u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"}},
    {{u"Jän", u"Feb", u"Mär", u"Apr", u"Mai", u"Jun",
      u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"}},
    {{u"jan", u"fév", u"mar", u"avr", u"mai", u"juin",
      u"jul", u"aoû", u"sep", u"oct", u"nov", u"déc"}},
    {{u"Ene", u"Feb", u"Mar", u"Abr", u"May", u"Jun",
      u"Jul", u"Ago", u"Sep", u"Oct", u"Nov", u"Dic"}},
}};

// Month names in full, by language; January = 1.
inline constexpr ByLanguage<MonthNames> MonthLong = {{
    {{u"M01", u"M02", u"M03", u"M04", u"M05", u"M06",
      u"M07", u"M08", u"M09", u"M10", u"M11", u"M12"}},
    {{u"January", u"February", u"March", u"April", u"May", u"June",
      u"July", u"August", u"September", u"October", u"November", u"December"}},
    {{u"Jänner", u"Februar", u"März", u"April", u"Mai", u"Juni",
      u"Juli", u"August", u"September", u"Oktober", u"November", u"Dezember"}},
    {{u"janvier", u"février ", u"mars", u"avril", u"mai", u"juin",
      u"juillet", u"août", u"septembre", u"octobre", u"novembre", u"décembre"}},
    {{u"enero", u"febrero", u"marzo", u"abril", u"mai", u"junio",
      u"julio", u"agosto", u"septiembre", u"octubre", u"noviembre", u"diciembre"}},
}};

// Weekday names, short, by language; Monday = 1.
inline constexpr ByLanguage<WeekDayNames> WeekDayShort = {{
    {{u"D01", u"D02", u"D03", u"D04", u"D05", u"D06", u"D07"}},
    {{u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"}},
    {{u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa", u"So"}},
    {{u"lun", u"mar", u"mer", u"jeu", u"ven", u"sam", u"dim"}},
    {{u"lun", u"mar", u"mie", u"jue", u"vie", u"sab", u"dom"}},
}};

inline constexpr ByLanguage<WeekDayNames> WeekDayLong = {{
    {{u"D01", u"D02", u"D03", u"D04", u"D05", u"D06", u"D07"}},
    {{u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday",
      u"Sunday"}},
    {{u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag",
      u"Sonntag"}},
    {{u"lundi", u"mardi", u"mercredi", u"jeudi", u"vendredi", u"samedi",
      u"dimanche"}},
    {{u"lunes", u"martes", u"miércoles", u"jueves", u"viernes", u"sábado",
      u"domingo"}},
}};

inline constexpr ByLanguage<NumberWords> NumWords = {{
    {{u"N00", u"N01", u"N02", u"N03", u"N04", u"N05", u"N06",
      u"N07", u"N08", u"N09", u"N10", u"N11", u"N12"}},
    {{u"zero", u"one", u"two", u"three", u"four", u"five", u"six",
      u"seven", u"eight", u"nine", u"ten", u"eleven", u"twelve"}},
    {{u"null", u"eins", u"zwei", u"drei", u"vier", u"fünf", u"sechs",
      u"sieben", u"acht", u"neun", u"zehn", u"elf", u"zwölf"}},
    {{u"zéro", u"celui", u"deux", u"trois", u"quatre", u"cinq", u"six",
      u"sept", u"huit", u"neuf", u"dix", u"onze", u"douze"}},
    {{u"cero", u"uno", u"dos", u"tres", u"cuatro", u"cinco", u"seis",
      u"siete", u"ocho", u"nueve", u"diez", u"once", u"doce"}},
}};

// LanguageID[written_in][named]: the name of language `named` written in
// language `written_in`.
inline constexpr ByLanguage<ByLanguage<StringView>> LanguageID = {{
    {{u"???", u"???", u"???", u"???", u"???"}},
    {{u"???", u"English", u"German", u"French", u"Spanish"}},
    {{u"???", u"englisch", u"deutsch", u"französisch", u"spanisch"}},
    {{u"???", u"anglais", u"allemand", u"français", u"espagnol"}},
    {{u"???", u"inglés", u"alemán", u"francés", u"español"}},
}};

// ISO 639-1 codes and the bibliographic ISO 639-2 codes.
inline constexpr ByLanguage<StringView> ISO639_2Char = {{u"??", u"en", u"de", u"fr", u"es"}};
inline constexpr ByLanguage<StringView> ISO639_3Char = {
    {u"???", u"eng", u"ger", u"fre", u"spa"}};

// The HTML 4 entity reference of each ISO 8859-1 character 160..255, with its
// "&" and ";".
inline constexpr IndexedArray<StringView, 160, 255> HTMLLat1Entities = {{
    u"&nbsp;",   u"&iexcl;",  u"&cent;",   u"&pound;",  u"&curren;", u"&yen;",
    u"&brvbar;", u"&sect;",   u"&uml;",    u"&copy;",   u"&ordf;",   u"&laquo;",
    u"&not;",    u"&shy;",    u"&reg;",    u"&macr;",   u"&deg;",    u"&plusmn;",
    u"&sup2;",   u"&sup3;",   u"&acute;",  u"&micro;",  u"&para;",   u"&middot;",
    u"&cedil;",  u"&sup1;",   u"&ordm;",   u"&raquo;",  u"&frac14;", u"&frac12;",
    u"&frac34;", u"&iquest;", u"&Agrave;", u"&Aacute;", u"&Acirc;",  u"&Atilde;",
    u"&Auml;",   u"&Aring;",  u"&AElig;",  u"&Ccedil;", u"&Egrave;", u"&Eacute;",
    u"&Ecirc;",  u"&Euml;",   u"&Igrave;", u"&Iacute;", u"&Icirc;",  u"&Iuml;",
    u"&ETH;",    u"&Ntilde;", u"&Ograve;", u"&Oacute;", u"&Ocirc;",  u"&Otilde;",
    u"&Ouml;",   u"&times;",  u"&Oslash;", u"&Ugrave;", u"&Uacute;", u"&Ucirc;",
    u"&Uuml;",   u"&Yacute;", u"&THORN;",  u"&szlig;",  u"&agrave;", u"&aacute;",
    u"&acirc;",  u"&atilde;", u"&auml;",   u"&aring;",  u"&aelig;",  u"&ccedil;",
    u"&egrave;", u"&eacute;", u"&ecirc;",  u"&euml;",   u"&igrave;", u"&iacute;",
    u"&icirc;",  u"&iuml;",   u"&eth;",    u"&ntilde;", u"&ograve;", u"&oacute;",
    u"&ocirc;",  u"&otilde;", u"&ouml;",   u"&divide;", u"&oslash;", u"&ugrave;",
    u"&uacute;", u"&ucirc;",  u"&uuml;",   u"&yacute;", u"&thorn;",  u"&yuml;",
}};

// --- Enumeration name tables ---------------------------------------------------
// Entry i is the text the XML-like persistence writes and reads for value i:
// the value's own name, except "bool" (lower case) for `Bool` in `xmlVarKind`.

// One table per enumeration, named "xml" and the enumeration's name
// without its "T".
inline constexpr std::array<StringView, 3> xmlVerticalAlignment = {
    u"vaTop", u"vaCenter", u"vaBottom"};
inline constexpr std::array<StringView, 3> xmlAlignment = {
    u"taLeftJustify", u"taRightJustify", u"taCenter"};
inline constexpr std::array<StringView, 3> xmlBkgFill = {
    u"bfSimple", u"bfStretch", u"bfTile"};
inline constexpr std::array<StringView, 3> xmlBoundingBox = {
    u"bbNone", u"bbFrame", u"bbFaces"};
inline constexpr std::array<StringView, 2> xmlColorScheme = {u"csBWG", u"csSystem"};
inline constexpr std::array<StringView, 5> xmlFigType = {
    u"ftNoFigs", u"ftNum", u"ftTime", u"ftDateTime", u"ftUserText"};
inline constexpr std::array<StringView, 4> xmlScaleType = {
    u"sctXB", u"sctXT", u"sctYL", u"sctYR"};
inline constexpr std::array<StringView, 3> xmlYearLength = {u"ylNone", u"ylYY", u"ylYYYY"};
inline constexpr std::array<StringView, 3> xmlDateOrder = {
    u"doMMDDYY", u"doDDMMYY", u"doYYMMDD"};
inline constexpr std::array<StringView, 4> xmlDateForTime = {
    u"dtNone", u"dtOnePerChart", u"dtOnePerDay", u"dtAllTicks"};
inline constexpr std::array<StringView, 2> xmlShadowStyle = {u"ssFlying", u"ssBox"};
inline constexpr std::array<StringView, 6> xmlFrameStyle = {
    u"fsNone", u"fsSimple", u"fsLowered", u"fsRaised", u"fsEmbossed", u"fsEngraved"};
inline constexpr std::array<StringView, 3> xmlTimeFormat = {
    u"tfHHMMSS", u"tfHHhMM", u"tfAMPM"};
inline constexpr std::array<StringView, 4> xmlDirection = {
    u"dirUpward", u"dirDownward", u"dirLeftward", u"dirRightward"};
inline constexpr std::array<StringView, 5> xmlLanguage = {
    u"lgUnknown", u"lgEnglish", u"lgGerman", u"lgFrench", u"lgSpanish"};
inline constexpr std::array<StringView, 7> xmlVarKind = {
    u"rnum", u"dnum", u"snum", u"inum", u"lnum", u"bool", u"strg"};
inline constexpr std::array<StringView, 4> xmlMouseBoxState = {
    u"msNormal", u"msFirstCorner", u"msRectDraw", u"msFinished"};
inline constexpr std::array<StringView, 19> xmlMouseActMode = {
    u"maNone",       u"maPan",         u"maPanHoriz",   u"maPanVert",
    u"maPanGrid",    u"maRubberBand",  u"maZoom",       u"maZoomWind",
    u"maZoomWindPos", u"maZoomDrag",   u"maDragCrossH", u"maDragLabel",
    u"maRotate",     u"maRotAndZoom",  u"maRotXOnly",   u"maRotZOnly",
    u"maSelectRect", u"maDrawMTrace",  u"maZoomPanColors"};
inline constexpr std::array<StringView, 2> xmlZoomState = {u"zsNormal", u"zsDrawWin"};
inline constexpr std::array<StringView, 6> xmlCrossHMode = {
    u"chOff", u"chHoriz", u"chVert", u"chBoth", u"chCrossBox", u"chBox"};
inline constexpr std::array<StringView, 5> xmlTxtLblMode = {
    u"tlOff", u"tlsimple", u"tlBox", u"tlUnderline", u"tlShadow"};
inline constexpr std::array<StringView, 4> xmlTxtLblAttachMode = {
    u"tlamNone", u"tlamXOnly", u"tlamYOnly", u"tlamBoth"};
inline constexpr std::array<StringView, 4> xmlFontStyle = {
    u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};

// Each table has exactly one entry per value of its enumeration.
static_assert(xmlVerticalAlignment.size() == vaBottom + 1);
static_assert(xmlAlignment.size() == taCenter + 1);
static_assert(xmlBkgFill.size() == bfTile + 1);
static_assert(xmlBoundingBox.size() == bbFaces + 1);
static_assert(xmlColorScheme.size() == csSystem + 1);
static_assert(xmlFigType.size() == ftUserText + 1);
static_assert(xmlScaleType.size() == sctYR + 1);
static_assert(xmlYearLength.size() == ylYYYY + 1);
static_assert(xmlDateOrder.size() == doYYMMDD + 1);
static_assert(xmlDateForTime.size() == dtAllTicks + 1);
static_assert(xmlShadowStyle.size() == ssBox + 1);
static_assert(xmlFrameStyle.size() == fsEngraved + 1);
static_assert(xmlTimeFormat.size() == tfAMPM + 1);
static_assert(xmlDirection.size() == dirRightward + 1);
static_assert(xmlLanguage.size() == lgSpanish + 1);
static_assert(xmlVarKind.size() == strg + 1);
static_assert(xmlMouseBoxState.size() == msFinished + 1);
static_assert(xmlMouseActMode.size() == maZoomPanColors + 1);
static_assert(xmlZoomState.size() == zsDrawWin + 1);
static_assert(xmlCrossHMode.size() == chBox + 1);
static_assert(xmlTxtLblMode.size() == tlShadow + 1);
static_assert(xmlTxtLblAttachMode.size() == tlamBoth + 1);
static_assert(xmlFontStyle.size() == fsStrikeOut + 1);

// --- Distance measures ---------------------------------------------------------

inline constexpr std::array<StringView, 6> DistModeId = {
    u"Jaccard coefficient", u"Manhattan",        u"Euclidean",
    u"squared Euclidean",   u"Dice coefficient", u"user defined"};
static_assert(DistModeId.size() == dmUserDef + 1);

}  // namespace zel

#endif  // ZEL_ZELBASE_NAMETABLES_H_
