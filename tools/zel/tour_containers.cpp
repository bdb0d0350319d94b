// `zel tour`, the containers: bit field, byte matrix, FIFO, string
// accumulator, associative array, feature matrix, permutations.
#include <new>
#include <string>

#include "tools/zel/cli.h"
#include "zel/dstruct/dstruct.h"
#include "zel/platform/random.h"
#include "zel/platform/stream.h"
#include "zel/zelbase/errors.h"

namespace zel::cli {
namespace {

std::string Join(const TIntArray& v) {
  std::string s;
  for (int32_t x : v) s += (s.empty() ? "" : " ") + std::to_string(x);
  return s;
}

void TourContainers() {
  TourHeading("dstruct", "bit fields and byte matrices");
  TBitFld bits(nullptr);
  bits.SetSize(40);
  SetRandSeed(82);
  bits.RandomFill(12.5);
  TIntArray list;
  bits.MakeListOfBits(list, true);
  TourShow("TBitFld Size 40 (41 bits), RandomFill(12.5%): true bits", Join(list));
  TourShow("  CountTrueBits / FirstTrueBit",
           std::to_string(bits.CountTrueBits()) + " / " + std::to_string(bits.FirstTrueBit()));
  TByteMatrix m(nullptr);
  if (!m.Resize(3, 2)) throw std::bad_alloc();
  m.SetByte(1, 1, 1);
  m.SetByte(3, 2, 0x80);
  m.MirrorColumns();
  TourShow("TByteMatrix 3x2 after MirrorColumns: Byte(3,1), Bit(1,2,7)",
           std::to_string(m.GetByte(3, 1)) + ", " + (m.GetBit(1, 2, 7) ? "true" : "false"));
  m.SetDefaultValue(255);
  TourShow("  GetByte(0, 1) outside, DefaultValue 255", int{m.GetByte(0, 1)});

  TourHeading("dstruct", "FIFO and string accumulator");
  TFifo fifo(nullptr);
  fifo.SetSize(4);
  for (uint8_t b : {1, 2, 3}) fifo.PutByte(b);
  const bool refused = !fifo.PutByte(4);
  fifo.ForceByte(5);
  std::string out;
  uint8_t b;
  while (fifo.GetByte(b)) out += std::to_string(b) + " ";
  TourShow(std::string("TFifo Size 4: put 1 2 3, PutByte(4) ") + (refused ? "refused" : "taken") +
               ", ForceByte(5); read",
           out);
  TStringAccu accu(nullptr);
  for (const Char* s : {u"red", u"green", u"red", u"Red", u"red"}) accu.Add(s);
  std::string counts;
  for (int i = 1; i <= accu.Size(); ++i) counts += ToUtf8(accu.Elem(i)) + "=" + std::to_string(accu.Count(i)) + " ";
  TourShow("TStringAccu of red green red Red red", counts);

  TourHeading("dstruct", "associative array");
  TAssocArray a(nullptr);
  a.Add(u"Width", int32_t{640});
  a.Add(u"WIDTH", int32_t{800});
  a.Add(u"weight", String(u" 3,5 kg"));
  TourShow("Add Width=640, WIDTH=800 (IgnoreCase): NumEntries, Keys(1)",
           std::to_string(a.NumEntries()) + ", " + ToUtf8(a.Keys(1)));
  TourShow("ResolveAsInt(\"width\")", a.ResolveAsInt(u"width"));
  TourShow("ResolveAsNumber(\"weight\") of \" 3,5 kg\"", a.ResolveAsNumber(u"weight"));
  TStringStream xml;
  a.WriteToXMLStream(xml, false, u"demo");
  TourShow("WriteToXMLStream", xml.DataString());

  TourHeading("dstruct", "feature matrix");
  TFeatureMatrix fm(nullptr);
  fm.SetName(u"Matrix1");
  if (!fm.Resize(3, 2)) throw std::bad_alloc();
  fm.SetFeatType(0, 0, fkDouble);
  fm.GenerateFeatNames(u"F<%D-3%>_<%I%>", 0, 0, 10, 5);
  TourShow("GenerateFeatNames(\"F<%D-3%>_<%I%>\", 0, 0, 10, 5)",
           ToUtf8(fm.GetFeatProps(1)->FeatName() + u" " + fm.GetFeatProps(2)->FeatName() + u" " +
                  fm.GetFeatProps(3)->FeatName()));
  fm.Fill(2, 2.5);
  TourShow("Fill(2, 2.5); FeatValAsDouble(2, 1)", fm.FeatValAsDouble(2, 1));
  try {
    fm.SetFeatValStr(2, 1, u"abc");
  } catch (const EZELDStructError& e) {
    TourShow("SetFeatValStr(2, 1, \"abc\") raises", e.Message());
  }

  TourHeading("dstruct", "permutations, combinations, nearest value");
  TCombination p{};
  p[0] = 3;
  for (int i = 1; i <= 3; ++i) p[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  std::string perms;
  do perms += std::to_string(p[1]) + std::to_string(p[2]) + std::to_string(p[3]) + " ";
  while (NextPermutation(p));
  TourShow("NextPermutation from 1 2 3", perms);
  TCombination c{};
  c[0] = 2;
  c[1] = 1;
  c[2] = 2;
  std::string combs;
  do combs += std::to_string(c[1]) + std::to_string(c[2]) + " ";
  while (NextCombination(c, 4));
  TourShow("NextCombination, 2 of 4", combs);
  const double values[] = {1.0, 2.0, 3.0};
  TourShow("IndexOfNearestArrayValue(2.5, {1, 2, 3}) (ties: first)", IndexOfNearestArrayValue(2.5, values));
}

const TourSection kContainers(82, &TourContainers);

}  // namespace
}  // namespace zel::cli
