// `zel tour`: one short, real demonstration per unit of the library.  Each
// section calls the library and prints what came back; nothing is canned.
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "tools/zel/draw_helper.h"
#include "zel/zel.h"

namespace zel::cli {
namespace {

void TourPlatform() {
  TourHeading("platform", "UTF-16 strings, Windows-1252 and UTF-8 at the edges");
  const String text = FromUtf8("Grüße, €5");
  TourShow("FromUtf8(\"Grüße, €5\").size()", text.size());
  const ShortString b = ToShortString(text);
  std::string hex;
  for (char c : b.Bytes()) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 15];
    hex += ' ';
  }
  TourShow("ToShortString(...) bytes (Windows-1252)", hex);
  TourShow("AnsiUpperCase(u\"grüße\")", AnsiUpperCase(u"grüße"));
  TourShow("UpperCase(u\"grüße\") (ASCII only)", UpperCase(u"grüße"));

  TourHeading("platform", "numbers, variants, date and time, streams, random");
  TourShow("FloatToText(2/3, 10, 4)", FloatToText(2.0L / 3, 10, 4));
  TourShow("FloatToText(-1234.5, 16, -1) (scientific)", FloatToText(-1234.5L, 16, -1));
  TourShow("FloatToStr(0.1) (shortest round trip)", FloatToStr(0.1));
  const Variant v(u"42");
  TourShow("Variant(u\"42\").VarType() / AsInt64()",
       std::to_string(v.VarType()) + " / " + std::to_string(v.AsInt64()));
  const TDateTime moon = EncodeDate(1969, 7, 20) + EncodeTime(20, 17, 40, 0);
  TourShow("EncodeDate(1969, 7, 20) + EncodeTime(20, 17, 40)", moon);
  TourShow("FormatDateTime(u\"dddd d mmmm yyyy, hh:nn\")",
       FormatDateTime(u"dddd d mmmm yyyy, hh:nn", moon));
  TMemoryStream stream;
  stream.WriteBuffer("zel\r\n", 5);
  stream.SetPosition(0);
  char first[3];
  stream.ReadBuffer(first, 3);
  TourShow("TMemoryStream: Size() after writing 5 bytes", stream.Size());
  TourShow("  ReadBuffer of 3 bytes from the start", std::string(first, 3));
  SetRandSeed(5261);
  const int32_t r1 = Random(100), r2 = Random(100);
  SetRandSeed(5261);
  const bool repeats = Random(100) == r1 && Random(100) == r2;
  TourShow("SetRandSeed(5261): Random(100) twice", std::to_string(r1) + ", " + std::to_string(r2) +
                                                   (repeats ? " (same again after reseeding)" : ""));
}

void TourConstants() {
  TourHeading("univconst", "constants as 80-bit long double, log-factorials");
  std::cout.precision(21);
  TourShow("uc_e", uc_e);
  TourShow("uc_sqrt2", uc_sqrt2);
  TourShow("uc_MinExtended (smallest denormal)", uc_MinExtended);
  std::cout.precision(15);
  TourShow("uc_LnFactorial[10] = ln(10!)", uc_LnFactorial[10]);
  TourShow("uc_LnFactorial[1000]", uc_LnFactorial[1000]);
  std::cout.precision(6);
}

void TourTables() {
  TourHeading("zelbase", "name tables, CSV delimiters, errors");
  for (TLanguage lg : {lgEnglish, lgGerman, lgFrench, lgSpanish}) {
    const std::string label = "MonthLong[" + ToUtf8(xmlLanguage[lg]) + "][2]";
    TourShow(label, MonthLong[lg][2]);
  }
  TourShow("NumWords[lgGerman][12]", NumWords[lgGerman][12]);
  TourShow("LanguageID[lgFrench][lgGerman]", LanguageID[lgFrench][lgGerman]);
  TourShow("HTMLLat1Entities[233]", HTMLLat1Entities[233]);
  TourShow("xmlFrameStyle[fsRaised]", xmlFrameStyle[fsRaised]);
  TourShow("CSVDELIMITERIDS[ResolveCSVDelimiter(';')]", CSVDELIMITERIDS[ResolveCSVDelimiter(u';')]);
  TComponent table(nullptr);
  table.SetName(u"Table1");
  try {
    throw EZELDStructError(ComponentMessage(table, kNotEnoughMemoryOnHeap));
  } catch (const EZELError& e) {
    TourShow("caught as EZELError", e.Message());
  }
}

void TourStrings() {
  TourHeading("stringl", "trimming, searching, words, fields, tokens, lines");
  TourShow("StripLTBlanks(u\"  two words  \")", StripLTBlanks(u"  two words  "));
  TourShow("NumberedPos(u\"bc\", u\"abcabc\", 1, 2, false)", NumberedPos(u"bc", u"abcabc", 1, 2, false));
  TourShow("PosLast(u\"bc\", u\"abcabc\")", PosLast(u"bc", u"abcabc"));
  TourShow("CountWords(u\"ab cd.\")", CountWords(u"ab cd."));
  int start = 0, end = 0;
  const String word = ExtractWordFromString(u"red,green;blue", 6, start, end);
  TourShow("ExtractWordFromString(u\"red,green;blue\", 6)",
       ToUtf8(u"'" + word + u"' at " + S(std::to_string(start)) + u".." + S(std::to_string(end))));
  TourShow("ExtractSubString(u\"a;b;;c\", 3, u\";\")", ExtractSubString(u"a;b;;c", 3, u";"));
  TOpenStringArray tokens;
  const int n = Tokenize(u"a\\,b,c", u",", u'\\', tokens);
  TourShow("Tokenize(u\"a\\\\,b,c\", u\",\", '\\\\') count", n);
  TourShow("  first token", tokens[0]);
  TourShow("DetectCSVDelimiter(u\"1;2;3,4\")",
       CSVDELIMITERIDS[DetectCSVDelimiter(u"1;2;3,4")]);
  TourShow("ReplaceStringInString(u\"aXbXc\", u\"x\", u\"--\", true)",
       ReplaceStringInString(u"aXbXc", u"x", u"--", true));
  const String text = u"first\r\nsecond";
  int pos = 1;
  bool at_end = false;
  const String line1 = ReadLnString(text, pos, at_end, 4);
  const String line2 = ReadLnString(text, pos, at_end, 4);
  TourShow("ReadLnString mode 4, two calls", ToUtf8(line1 + u" | " + line2));
  TourShow("UUEncodeStr(u\"Cat\")", UUEncodeStr(u"Cat"));
}

int Tour(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  SetTourDirectory(args.Get("dir", "zel-tour"));
  std::cout << "zel tour: each line calls the library and shows its result.\n";
  RunTourSections();
  return kOk;
}

const TourSection kPlatform(10, &TourPlatform);
const TourSection kConstants(20, &TourConstants);
const TourSection kTables(30, &TourTables);
const TourSection kStrings(50, &TourStrings);
// The drawing section runs in the drawing helper (tools/zel/draw_helper.h).
const TourSection kDrawing(35, [] {
  if (const std::string dir = TourDirectory(); !dir.empty()) RunDrawHelperTour(dir);
});

constexpr Option kTourOptions[] = {
    {"dir", 0, "DIR", "write the tour's pictures into DIR (default ./zel-tour)"},
};

constexpr Command kCommands[] = {
    {.name = "tour", .summary = "a short demonstration of every unit",
     .operands = "",
     .description = "Calls each unit of the library and prints what it returns; the\n"
                    "pictures it draws go into a directory, which it names.",
     .options = kTourOptions, .main = &Tour},
};

const CommandGroup kGroup(0, kCommands);

}  // namespace

}  // namespace zel::cli
