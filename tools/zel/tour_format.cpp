// `zel tour` section for number formatting, value texts, text transforms
// and the scrambler.
#include "tools/zel/cli.h"
#include "zel/stringl/stringl.h"

namespace zel::cli {
namespace {

void TourFormat() {
  TourHeading("stringl", "numbers and values as text");
  TourShow("strff(1.5, 8, 2)", strff(1.5L, 8, 2));
  TourShow("strff(-12.5, -8, 2) (zero padding)", strff(-12.5L, -8, 2));
  TourShow("strff(4567.8, 10, -2) (scientific)", strff(4567.8L, 10, -2));
  TourShow("strff(1E150, 10, -2) (exponent too wide)", strff(1e150L, 10, -2));
  TourShow("strffForcePlus(1.5, -8, 2)", strffForcePlus(1.5L, -8, 2));
  TourShow("FormatData(0.5, 10, 0) (below 1: scientific)", FormatData(0.5, 10, 0));
  TourShow("SigDigStr(123456, 10, 3)", SigDigStr(123456, 10, 3));
  TourShow("AutoFormatData(0.05, 4)", AutoFormatData(0.05, 4));
  TourShow("AutoFormatData(123.46, 4, true)", AutoFormatData(123.46, 4, true));
  TourShow("BoolToStr(true, 2)", BoolToStr(true, 2));
  TourShow("TriStateToStr(StrToTriState(u\" Yes \"), 2)",
           TriStateToStr(StrToTriState(u" Yes "), 2));
  TourShow("TimeString(3725.5, 0)", TimeString(3725.5, 0));
  TourShow("TimeString(13.5 * 3600, 5)", TimeString(13.5 * 3600, 5));
  const int32_t values[] = {1, 2, 3, 4};
  TourShow("CreateParList({1,2,3,4}, false, 2, true)",
           CreateParList(std::span<const int32_t>(values), false, 2, true));
  TourShow("ConvertVariant(VarArrayOf({1, u\"two\", 3.5}))",
           ConvertVariant(VarArrayOf({Variant(int32_t{1}), Variant(u"two"), Variant(3.5)})));
  TourShow("StringIx(u\"RED\", false, {u\"green\", u\"red\"})",
           StringIx(u"RED", false, {u"green", u"red"}));
  TourShow("ProcessHexChars(u\"A\\\\#42C\")", ProcessHexChars(u"A\\#42C"));

  TourHeading("stringl", "text transforms and the scrambler");
  TourShow("CapitalizeString(u\"jean-paul's 2nd car\")",
           CapitalizeString(u"jean-paul's 2nd car"));
  TourShow("ChangeCase(u\"Grüße\")", ChangeCase(u"Grüße"));
  TourShow("ExpandDiphthongs(u\"Ärger über Öl\")", ExpandDiphthongs(u"Ärger über Öl"));
  TourShow("ReduceStringToFN83CompliantChars(u\"a b?c*.txt\")",
           ReduceStringToFN83CompliantChars(u"a b?c*.txt"));
  TourShow("CenterString(u\"ab\", 6)", CenterString(u"ab", 6));
  TourShow("AbbrevString(u\"abcdef\", 5)", AbbrevString(u"abcdef", 5));
  InitScramble(5261);
  const String hidden = Scramble(u"secret");
  std::string codes;
  for (Char c : hidden) codes += std::to_string(static_cast<int>(c)) + " ";
  TourShow("Scramble(u\"secret\") codes (seed 5261)", codes);
  TourShow("DeScramble(Scramble(u\"secret\"))", DeScramble(hidden));
}

const TourSection kFormat(51, &TourFormat);

}  // namespace
}  // namespace zel::cli
