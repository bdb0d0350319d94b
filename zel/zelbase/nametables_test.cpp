#include "zel/zelbase/nametables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "zel/zelbase/csvdelim.h"

namespace zel {
namespace {

TEST(CsvDelimiterTest, ResolvesEachDelimiterAndRejectsOthers) {
  const struct {
    Char ch;
    TCSVDelimiters want;
  } cases[] = {
      {u';', csvSemicolon}, {u'\t', csvTab},    {u' ', csvBlank},    {u',', csvComma},
      {u':', csvColon},     {u'x', csvUnknown}, {u'\0', csvUnknown}, {u'\u00A0', csvUnknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveCSVDelimiter(c.ch), c.want) << "char code " << int(c.ch);
  }
  // The lookup and the table agree for every kind that has a character.
  for (int d = csvBlank; d <= csvTab; ++d) {
    EXPECT_EQ(ResolveCSVDelimiter(CSVDELIMITERS[d]), d);
  }
  EXPECT_EQ(CSVDELIMITERIDS[csvUnknown], u"undefined");
  EXPECT_EQ(CSVDELIMITERIDS[csvTab], u"tab");
}

TEST(LanguageTablesTest, IndexRanges) {
  EXPECT_EQ(MonthShort.Low(), lgUnknown);
  EXPECT_EQ(MonthShort.High(), lgSpanish);
  EXPECT_EQ(MonthNames::Low(), 1);
  EXPECT_EQ(MonthNames::High(), 12);
  EXPECT_EQ(WeekDayNames::Low(), 1);
  EXPECT_EQ(WeekDayNames::High(), 7);
  EXPECT_EQ(NumberWords::Low(), 0);
  EXPECT_EQ(NumberWords::High(), 12);
  EXPECT_EQ(HTMLLat1Entities.Low(), 160);
  EXPECT_EQ(HTMLLat1Entities.High(), 255);
  EXPECT_EQ(HTMLLat1Entities.size(), 96u);
  EXPECT_EQ(LanguageID.size(), 5u);
  EXPECT_EQ(LanguageID[lgEnglish].size(), 5u);
}

TEST(LanguageTablesTest, SelectedEntries) {
  const struct {
    StringView got;
    StringView want;
  } cases[] = {
      // The entries as files have always stored them, odd ones included.
      {MonthLong[lgFrench][2], u"février "},
      {MonthLong[lgSpanish][5], u"mai"},
      {NumWords[lgFrench][1], u"celui"},
      // First, last and non-ASCII entries of each table.
      {MonthShort[lgUnknown][1], u"M01"},
      {MonthShort[lgGerman][1], u"Jän"},
      {MonthShort[lgGerman][3], u"Mär"},
      {MonthShort[lgFrench][6], u"juin"},
      {MonthShort[lgSpanish][12], u"Dic"},
      {MonthLong[lgUnknown][12], u"M12"},
      {MonthLong[lgEnglish][9], u"September"},
      {MonthLong[lgGerman][1], u"Jänner"},
      {MonthLong[lgFrench][8], u"août"},
      {MonthLong[lgFrench][12], u"décembre"},
      {WeekDayShort[lgUnknown][7], u"D07"},
      {WeekDayShort[lgEnglish][1], u"Mon"},
      {WeekDayShort[lgGerman][7], u"So"},
      {WeekDayShort[lgSpanish][3], u"mie"},
      {WeekDayLong[lgEnglish][7], u"Sunday"},
      {WeekDayLong[lgGerman][4], u"Donnerstag"},
      {WeekDayLong[lgSpanish][3], u"miércoles"},
      {WeekDayLong[lgSpanish][6], u"sábado"},
      {NumWords[lgUnknown][0], u"N00"},
      {NumWords[lgEnglish][12], u"twelve"},
      {NumWords[lgGerman][12], u"zwölf"},
      {NumWords[lgFrench][0], u"zéro"},
      {NumWords[lgSpanish][11], u"once"},
      {LanguageID[lgUnknown][lgEnglish], u"???"},
      {LanguageID[lgEnglish][lgUnknown], u"???"},
      {LanguageID[lgEnglish][lgSpanish], u"Spanish"},
      {LanguageID[lgGerman][lgFrench], u"französisch"},
      {LanguageID[lgFrench][lgGerman], u"allemand"},
      {LanguageID[lgSpanish][lgEnglish], u"inglés"},
      {LanguageID[lgSpanish][lgSpanish], u"español"},
      {ISO639_2Char[lgUnknown], u"??"},
      {ISO639_2Char[lgSpanish], u"es"},
      {ISO639_3Char[lgUnknown], u"???"},
      {ISO639_3Char[lgGerman], u"ger"},
      {ISO639_3Char[lgFrench], u"fre"},
      {HTMLLat1Entities[160], u"&nbsp;"},
      {HTMLLat1Entities[173], u"&shy;"},
      {HTMLLat1Entities[198], u"&AElig;"},
      {HTMLLat1Entities[208], u"&ETH;"},
      {HTMLLat1Entities[222], u"&THORN;"},
      {HTMLLat1Entities[223], u"&szlig;"},
      {HTMLLat1Entities[255], u"&yuml;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.got, c.want) << ToUtf8(c.want);
  }
}

// Every entry is 8-bit text (Windows-1252) and fits the fixed field its table
// has always had; a typo with a foreign character or an extra letter shows here.
template <typename Table>
void ExpectFits(const char* name, const Table& table, int capacity) {
  for (StringView entry : table) {
    EXPECT_FALSE(entry.empty()) << name;
    EXPECT_LE(static_cast<int>(entry.size()), capacity) << name << ": " << ToUtf8(entry);
    for (Char c : entry) {
      EXPECT_TRUE(IsAnsiChar(c)) << name << ": " << ToUtf8(entry);
    }
  }
}

TEST(LanguageTablesTest, EntriesAreWindows1252AndFitTheirCapacity) {
  for (int lg = lgUnknown; lg <= lgSpanish; ++lg) {
    ExpectFits("MonthShort", MonthShort[lg], MonthShortCapacity);
    ExpectFits("MonthLong", MonthLong[lg], MonthLongCapacity);
    ExpectFits("WeekDayShort", WeekDayShort[lg], WeekDayShortCapacity);
    ExpectFits("WeekDayLong", WeekDayLong[lg], WeekDayLongCapacity);
    ExpectFits("NumWords", NumWords[lg], NumWordsCapacity);
    ExpectFits("LanguageID", LanguageID[lg], LanguageIDCapacity);
  }
  ExpectFits("ISO639_2Char", ISO639_2Char, ISO639_2CharCapacity);
  ExpectFits("ISO639_3Char", ISO639_3Char, ISO639_3CharCapacity);
  ExpectFits("HTMLLat1Entities", HTMLLat1Entities, HTMLLat1EntitiesCapacity);
  // The capacities are reached, so none of them is looser than needed.
  EXPECT_EQ(MonthShort[lgFrench][6].size(), 4u);             // "juin"
  EXPECT_EQ(MonthLong[lgSpanish][9].size(), 10u);            // "septiembre"
  EXPECT_EQ(WeekDayLong[lgGerman][4].size(), 10u);           // "Donnerstag"
  EXPECT_EQ(NumWords[lgEnglish][11].size(), 6u);             // "eleven"
  EXPECT_EQ(LanguageID[lgGerman][lgFrench].size(), 11u);     // "französisch"
  EXPECT_EQ(HTMLLat1Entities[177].size(), 8u);               // "&plusmn;"
}

// Runs a shell command, collecting its standard output in `out`; false if it
// could not start or exited with failure.
bool RunCommand(const std::string& command, std::string& out) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe.get())) > 0) out.append(buf, n);
  return pclose(pipe.release()) == 0;
}

// Python's html.entities is an independent list of the HTML 4 entity names.
TEST(LanguageTablesTest, HtmlEntitiesMatchPythonsHtml4Table) {
  std::string out;
  if (!RunCommand("python3 -c \"import html.entities as h; "
                  "print('\\n'.join('&%s;' % h.codepoint2name[c] for c in range(160, 256)))\"",
                  out)) {
    GTEST_SKIP() << "python3 with html.entities is not available";
  }
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1) {
    names.push_back(out.substr(start, nl - start));
  }
  ASSERT_EQ(names.size(), 96u);
  for (int c = 160; c <= 255; ++c) {
    EXPECT_EQ(ToUtf8(HTMLLat1Entities[c]), names[static_cast<size_t>(c - 160)]) << "code " << c;
  }
}

TEST(EnumNameTablesTest, EntriesNameTheirValues) {
  EXPECT_EQ(xmlVerticalAlignment[vaBottom], u"vaBottom");
  EXPECT_EQ(xmlAlignment[taLeftJustify], u"taLeftJustify");
  EXPECT_EQ(xmlAlignment[taCenter], u"taCenter");
  EXPECT_EQ(xmlBkgFill[bfStretch], u"bfStretch");
  EXPECT_EQ(xmlBoundingBox[bbFaces], u"bbFaces");
  EXPECT_EQ(xmlColorScheme[csBWG], u"csBWG");
  EXPECT_EQ(xmlFigType[ftDateTime], u"ftDateTime");
  EXPECT_EQ(xmlScaleType[sctYR], u"sctYR");
  EXPECT_EQ(xmlYearLength[ylYYYY], u"ylYYYY");
  EXPECT_EQ(xmlDateOrder[doDDMMYY], u"doDDMMYY");
  EXPECT_EQ(xmlDateForTime[dtOnePerChart], u"dtOnePerChart");
  EXPECT_EQ(xmlShadowStyle[ssBox], u"ssBox");
  EXPECT_EQ(xmlFrameStyle[fsRaised], u"fsRaised");
  EXPECT_EQ(xmlFrameStyle[fsEngraved], u"fsEngraved");
  EXPECT_EQ(xmlTimeFormat[tfHHhMM], u"tfHHhMM");
  EXPECT_EQ(xmlDirection[dirLeftward], u"dirLeftward");
  EXPECT_EQ(xmlLanguage[lgFrench], u"lgFrench");
  EXPECT_EQ(xmlVarKind[Bool], u"bool");  // lower case, unlike the value's name
  EXPECT_EQ(xmlVarKind[strg], u"strg");
  EXPECT_EQ(xmlMouseBoxState[msRectDraw], u"msRectDraw");
  EXPECT_EQ(xmlMouseActMode[maNone], u"maNone");
  EXPECT_EQ(xmlMouseActMode[maZoomWindPos], u"maZoomWindPos");
  EXPECT_EQ(xmlMouseActMode[maDrawMTrace], u"maDrawMTrace");
  EXPECT_EQ(xmlMouseActMode[maZoomPanColors], u"maZoomPanColors");
  EXPECT_EQ(xmlZoomState[zsDrawWin], u"zsDrawWin");
  EXPECT_EQ(xmlCrossHMode[chCrossBox], u"chCrossBox");
  EXPECT_EQ(xmlTxtLblMode[tlsimple], u"tlsimple");
  EXPECT_EQ(xmlTxtLblMode[tlShadow], u"tlShadow");
  EXPECT_EQ(xmlTxtLblAttachMode[tlamYOnly], u"tlamYOnly");
  EXPECT_EQ(xmlFontStyle[fsStrikeOut], u"fsStrikeOut");
  EXPECT_EQ(DistModeId[dmJaccard], u"Jaccard coefficient");
  EXPECT_EQ(DistModeId[dmEuclidSqr], u"squared Euclidean");
  EXPECT_EQ(DistModeId[dmUserDef], u"user defined");
}

// A name read back from a file must lead to exactly one value: no table may
// hold the same text twice.
template <typename Table>
void ExpectRoundTrip(const char* name, const Table& table) {
  for (int i = table.Low(); i <= table.High(); ++i) {
    EXPECT_EQ(FindName(table, table[i]), i) << name << " entry " << i;
  }
}
template <std::size_t N>
void ExpectRoundTrip(const char* name, const std::array<StringView, N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    EXPECT_EQ(FindName(table, table[i]), static_cast<int>(i)) << name << " entry " << i;
  }
}

TEST(FindNameTest, EveryEntryFindsItsOwnIndex) {
  ExpectRoundTrip("xmlVerticalAlignment", xmlVerticalAlignment);
  ExpectRoundTrip("xmlAlignment", xmlAlignment);
  ExpectRoundTrip("xmlBkgFill", xmlBkgFill);
  ExpectRoundTrip("xmlBoundingBox", xmlBoundingBox);
  ExpectRoundTrip("xmlColorScheme", xmlColorScheme);
  ExpectRoundTrip("xmlFigType", xmlFigType);
  ExpectRoundTrip("xmlScaleType", xmlScaleType);
  ExpectRoundTrip("xmlYearLength", xmlYearLength);
  ExpectRoundTrip("xmlDateOrder", xmlDateOrder);
  ExpectRoundTrip("xmlDateForTime", xmlDateForTime);
  ExpectRoundTrip("xmlShadowStyle", xmlShadowStyle);
  ExpectRoundTrip("xmlFrameStyle", xmlFrameStyle);
  ExpectRoundTrip("xmlTimeFormat", xmlTimeFormat);
  ExpectRoundTrip("xmlDirection", xmlDirection);
  ExpectRoundTrip("xmlLanguage", xmlLanguage);
  ExpectRoundTrip("xmlVarKind", xmlVarKind);
  ExpectRoundTrip("xmlMouseBoxState", xmlMouseBoxState);
  ExpectRoundTrip("xmlMouseActMode", xmlMouseActMode);
  ExpectRoundTrip("xmlZoomState", xmlZoomState);
  ExpectRoundTrip("xmlCrossHMode", xmlCrossHMode);
  ExpectRoundTrip("xmlTxtLblMode", xmlTxtLblMode);
  ExpectRoundTrip("xmlTxtLblAttachMode", xmlTxtLblAttachMode);
  ExpectRoundTrip("xmlFontStyle", xmlFontStyle);
  ExpectRoundTrip("DistModeId", DistModeId);
  ExpectRoundTrip("HTMLLat1Entities", HTMLLat1Entities);
  ExpectRoundTrip("ISO639_2Char", ISO639_2Char);
  ExpectRoundTrip("ISO639_3Char", ISO639_3Char);
  for (int lg = lgEnglish; lg <= lgSpanish; ++lg) {
    ExpectRoundTrip("MonthShort", MonthShort[lg]);
    ExpectRoundTrip("MonthLong", MonthLong[lg]);
    ExpectRoundTrip("WeekDayShort", WeekDayShort[lg]);
    ExpectRoundTrip("WeekDayLong", WeekDayLong[lg]);
    ExpectRoundTrip("NumWords", NumWords[lg]);
  }
}

TEST(FindNameTest, ExactMatchOnly) {
  EXPECT_EQ(FindName(xmlFrameStyle, u"fsRaised"), fsRaised);
  EXPECT_EQ(FindName(xmlFrameStyle, u"FSRAISED"), -1);  // case counts
  EXPECT_EQ(FindName(xmlFrameStyle, u"fsRaised "), -1);
  EXPECT_EQ(FindName(xmlFrameStyle, u""), -1);
  EXPECT_EQ(FindName(xmlVarKind, u"Bool"), -1);
  EXPECT_EQ(FindName(xmlVarKind, u"bool"), Bool);
  // Indexed tables answer in their own range: months from 1.
  EXPECT_EQ(FindName(MonthLong[lgFrench], u"février "), 2);
  EXPECT_EQ(FindName(MonthLong[lgFrench], u"février"), -1);
  EXPECT_EQ(FindName(HTMLLat1Entities, u"&yuml;"), 255);
  EXPECT_EQ(FindName(HTMLLat1Entities, u"&amp;"), -1);
  static_assert(FindName(xmlTxtLblMode, u"tlsimple") == tlsimple);
  static_assert(FindName(MonthShort[lgEnglish], u"Dec") == 12);
}

#ifndef NDEBUG
TEST(IndexedArrayDeathTest, IndexOutsideRangeAsserts) {
  EXPECT_DEATH((void)MonthShort[lgEnglish][0], "range");
  EXPECT_DEATH((void)MonthShort[lgEnglish][13], "range");
  EXPECT_DEATH((void)HTMLLat1Entities[159], "range");
}
#endif

}  // namespace
}  // namespace zel
