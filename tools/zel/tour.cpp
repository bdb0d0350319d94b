// `zel tour`: one short, real demonstration per unit of the library.  Each
// section calls the library and prints what came back; nothing is canned.
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "zel/zel.h"

namespace zel::cli {
namespace {

void Heading(std::string_view unit, std::string_view what) {
  std::cout << "\n== " << unit << ": " << what << '\n';
}

// Prints `label` padded to a column, then the value; strings are quoted
// with their line breaks shown as \r and \n.
template <class T>
void Show(std::string_view label, const T& value) {
  size_t width = 0;  // in characters, not UTF-8 bytes
  for (char c : label) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  std::cout << "  " << label << std::string(width < 52 ? 52 - width : 1, ' ');
  if constexpr (std::is_convertible_v<T, StringView>) {
    std::string text;
    for (char c : ToUtf8(StringView(value))) {
      if (c == '\r') text += "\\r";
      else if (c == '\n') text += "\\n";
      else text += c;
    }
    std::cout << '\'' << text << '\'';
  } else {
    std::cout << value;
  }
  std::cout << '\n';
}

void TourPlatform() {
  Heading("platform", "UTF-16 strings, Windows-1252 and UTF-8 at the edges");
  const String text = FromUtf8("Grüße, €5");
  Show("FromUtf8(\"Grüße, €5\").size()", text.size());
  const ShortString b = ToShortString(text);
  std::string hex;
  for (char c : b.Bytes()) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 15];
    hex += ' ';
  }
  Show("ToShortString(...) bytes (Windows-1252)", hex);
  Show("AnsiUpperCase(u\"grüße\")", AnsiUpperCase(u"grüße"));
  Show("UpperCase(u\"grüße\") (ASCII only)", UpperCase(u"grüße"));

  Heading("platform", "numbers, variants, date and time, streams, random");
  Show("FloatToText(2/3, 10, 4)", FloatToText(2.0L / 3, 10, 4));
  Show("FloatToText(-1234.5, 16, -1) (scientific)", FloatToText(-1234.5L, 16, -1));
  Show("FloatToStr(0.1) (shortest round trip)", FloatToStr(0.1));
  const Variant v(u"42");
  Show("Variant(u\"42\").VarType() / AsInt64()",
       std::to_string(v.VarType()) + " / " + std::to_string(v.AsInt64()));
  const TDateTime moon = EncodeDate(1969, 7, 20) + EncodeTime(20, 17, 40, 0);
  Show("EncodeDate(1969, 7, 20) + EncodeTime(20, 17, 40)", moon);
  Show("FormatDateTime(u\"dddd d mmmm yyyy, hh:nn\")",
       FormatDateTime(u"dddd d mmmm yyyy, hh:nn", moon));
  TMemoryStream stream;
  stream.WriteBuffer("zel\r\n", 5);
  stream.SetPosition(0);
  char first[3];
  stream.ReadBuffer(first, 3);
  Show("TMemoryStream: Size() after writing 5 bytes", stream.Size());
  Show("  ReadBuffer of 3 bytes from the start", std::string(first, 3));
  SetRandSeed(5261);
  const int32_t r1 = Random(100), r2 = Random(100);
  SetRandSeed(5261);
  const bool repeats = Random(100) == r1 && Random(100) == r2;
  Show("SetRandSeed(5261): Random(100) twice", std::to_string(r1) + ", " + std::to_string(r2) +
                                                   (repeats ? " (same again after reseeding)" : ""));
}

void TourConstants() {
  Heading("univconst", "constants as 80-bit long double, log-factorials");
  std::cout.precision(21);
  Show("uc_e", uc_e);
  Show("uc_sqrt2", uc_sqrt2);
  Show("uc_MinExtended (smallest denormal)", uc_MinExtended);
  std::cout.precision(15);
  Show("uc_LnFactorial[10] = ln(10!)", uc_LnFactorial[10]);
  Show("uc_LnFactorial[1000]", uc_LnFactorial[1000]);
  std::cout.precision(6);
}

void TourTables() {
  Heading("zelbase", "name tables, CSV delimiters, errors");
  for (TLanguage lg : {lgEnglish, lgGerman, lgFrench, lgSpanish}) {
    const std::string label = "MonthLong[" + ToUtf8(xmlLanguage[lg]) + "][2]";
    Show(label, MonthLong[lg][2]);
  }
  Show("NumWords[lgGerman][12]", NumWords[lgGerman][12]);
  Show("LanguageID[lgFrench][lgGerman]", LanguageID[lgFrench][lgGerman]);
  Show("HTMLLat1Entities[233]", HTMLLat1Entities[233]);
  Show("xmlFrameStyle[fsRaised]", xmlFrameStyle[fsRaised]);
  Show("CSVDELIMITERIDS[ResolveCSVDelimiter(';')]", CSVDELIMITERIDS[ResolveCSVDelimiter(u';')]);
  TComponent table(nullptr);
  table.SetName(u"Table1");
  try {
    throw EZELDStructError(ComponentMessage(table, kNotEnoughMemoryOnHeap));
  } catch (const EZELError& e) {
    Show("caught as EZELError", e.Message());
  }
}

void TourStrings() {
  Heading("stringl", "trimming, searching, words, fields, tokens, lines");
  Show("StripLTBlanks(u\"  two words  \")", StripLTBlanks(u"  two words  "));
  Show("NumberedPos(u\"bc\", u\"abcabc\", 1, 2, false)", NumberedPos(u"bc", u"abcabc", 1, 2, false));
  Show("PosLast(u\"bc\", u\"abcabc\")", PosLast(u"bc", u"abcabc"));
  Show("CountWords(u\"ab cd.\")", CountWords(u"ab cd."));
  int start = 0, end = 0;
  const String word = ExtractWordFromString(u"red,green;blue", 6, start, end);
  Show("ExtractWordFromString(u\"red,green;blue\", 6)",
       ToUtf8(u"'" + word + u"' at " + S(std::to_string(start)) + u".." + S(std::to_string(end))));
  Show("ExtractSubString(u\"a;b;;c\", 3, u\";\")", ExtractSubString(u"a;b;;c", 3, u";"));
  TOpenStringArray tokens;
  const int n = Tokenize(u"a\\,b,c", u",", u'\\', tokens);
  Show("Tokenize(u\"a\\\\,b,c\", u\",\", '\\\\') count", n);
  Show("  first token", tokens[0]);
  Show("DetectCSVDelimiter(u\"1;2;3,4\")",
       CSVDELIMITERIDS[DetectCSVDelimiter(u"1;2;3,4")]);
  Show("ReplaceStringInString(u\"aXbXc\", u\"x\", u\"--\", true)",
       ReplaceStringInString(u"aXbXc", u"x", u"--", true));
  const String text = u"first\r\nsecond";
  int pos = 1;
  bool at_end = false;
  const String line1 = ReadLnString(text, pos, at_end, 4);
  const String line2 = ReadLnString(text, pos, at_end, 4);
  Show("ReadLnString mode 4, two calls", ToUtf8(line1 + u" | " + line2));
  Show("UUEncodeStr(u\"Cat\")", UUEncodeStr(u"Cat"));
}

int Tour(const Args& args) {
  if (!args.empty()) return Fail("tour takes no arguments", kUsage);
  std::cout << "zel tour: each line calls the library and shows its result.\n";
  TourPlatform();
  TourConstants();
  TourTables();
  TourStrings();
  return kOk;
}

constexpr Command kCommands[] = {
    {"tour", "a short demonstration of every unit",
     "\n\nCalls each unit of the library and prints what it returns.", &Tour},
};

}  // namespace

std::span<const Command> TourCommands() { return kCommands; }

}  // namespace zel::cli
