// TCustomTextLabel: writing and reading the label element (layout and rules
// in zel/zelbase/textlabel.h).
//
// These two methods live here rather than beside the class: they use the
// number scanners, the attribute scanner, the reference resolver and the
// colour text reader of units that sit above zelbase.
//
// The reader works on a character source over the text file with room to
// push characters back, so that it can read the file line by line while it
// looks for the start tag and then character by character, and hand the
// rest of the start tag's line (an element written on one line) on to the
// tag reading.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "zel/platform/casemap.h"
#include "zel/platform/numconv.h"
#include "zel/streams/tagscan.h"
#include "zel/streams/xmlrefs.h"
#include "zel/stringl/numscan.h"
#include "zel/stringl/strip.h"
#include "zel/zelbase/nametables.h"
#include "zel/zelbase/textlabel.h"
#include "zel/zelcolors/colormodels.h"

namespace zel {

namespace {

constexpr StringView kStartTag = u"<custtextlbl";
constexpr StringView kSignature = u"zelcsuite";

// The position text: the shortest decimal form that reads back to the same
// double (a negative zero keeps its sign), right-aligned in at least 12
// characters.
String PositionText(double v) {
  String s = (v == 0 && std::signbit(v)) ? String(u"-0") : FloatToStr(v);
  if (s.size() < 12) s.insert(0, 12 - s.size(), u' ');
  return s;
}

// Text of the element: the markup characters (and '"' in a quoted value) as
// references, and characters that would not come back as written as numeric
// references: control characters in a quoted value (it must stay on its
// line) and unpaired surrogates anywhere (UTF-8 cannot carry them).
String ElementText(StringView v, bool quoted) {
  const String escaped = XMLCharReferences(v, quoted);
  String out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    const Char c = escaped[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < escaped.size() && escaped[i + 1] >= 0xDC00 && escaped[i + 1] <= 0xDFFF) {
      out.push_back(c);
      out.push_back(escaped[++i]);
    } else if (high || low || (quoted && c < 32)) {
      out += u"&#" + IntToStr(static_cast<int32_t>(c)) + u";";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

String ColorText(TColor c) { return HexDigits(c & 0xFFFFFF, 6); }

String FontStyleText(TFontStyles style) {
  String out;
  for (int s = fsBold; s <= fsStrikeOut; ++s) {
    if ((style & FontStyleBit(static_cast<TFontStyle>(s))) == 0) continue;
    if (!out.empty()) out += u' ';
    out += xmlFontStyle[static_cast<size_t>(s)];
  }
  return out;
}

// Characters of a text file, with characters pushed back read first.
class CharSource {
 public:
  explicit CharSource(TextFile& f) : f_(f) {}

  bool Next(Char& c) {
    if (!pushed_.empty()) {
      c = pushed_.back();
      pushed_.pop_back();
      return true;
    }
    if (f_.Eof()) return false;
    f_.Read(c);
    return true;
  }

  void PushBack(StringView s) { pushed_.append(s.rbegin(), s.rend()); }

  // One line without its end (CR LF, LF or CR), which goes to `ending`;
  // false when the file is at its end before the line.
  bool ReadLine(String& line, String& ending) {
    line.clear();
    ending.clear();
    Char c;
    bool any = false;
    while (Next(c)) {
      any = true;
      if (c == u'\n') {
        ending = u"\n";
        return true;
      }
      if (c == u'\r') {
        ending = u"\r";
        Char d;
        if (Next(d)) {
          if (d == u'\n') ending += d;
          else PushBack(StringView(&d, 1));
        }
        return true;
      }
      line.push_back(c);
    }
    return any;
  }

 private:
  TextFile& f_;
  String pushed_;  // in reverse order: the next character is at the back
};

// Whether `line` holds the wanted start tag; `tag_end` is then the position
// of the '>' that closes it (npos when the tag goes on past the line).
bool IsStartLine(const String& line, StringView wanted_id, size_t& tag_end) {
  const String low = LowerCase(line);
  const size_t start = low.find(kStartTag);
  if (start == String::npos || low.find(kSignature) == String::npos) return false;
  if (!wanted_id.empty()) {
    const size_t id = low.find(u"id=\"", start);
    if (id == String::npos) return false;
    const size_t from = id + 4;
    const size_t to = std::min(line.find(u'"', from), line.size());
    const String found = StripLTBlanks(ResolveXMLReferences(StringView(line).substr(from, to - from)));
    if (!AnsiSameText(found, wanted_id)) return false;
  }
  tag_end = line.find(u'>', start);
  return true;
}

// The value of attribute `name` (any letter case) in `attr`; false when the
// attribute is not there.
bool FindAttrib(StringView attr, StringView name, String& value) {
  const String wanted = LowerCase(name);
  int pos = 1;
  String n, v;
  while (ScanXMLAttribPair(attr, pos, n, v) == xapOK) {
    if (!n.empty() && LowerCase(n) == wanted) {
      value = std::move(v);
      return true;
    }
  }
  return false;
}

int32_t ReadInt(StringView s) {
  int pos = 1;
  return ScanDecInteger(s, pos);
}

// A position number: the decimal scanner from the first character decides
// where the number ends.  The scanner clamps to +-1.7e308 and drops the sign
// of zero, so the text it took is converted again exactly; the written forms
// of infinities and NaN are read as well.
double ReadPosition(StringView s) {
  int pos = 1;
  const FloatScanResult r = ScanFloatDetailed(s, true, 1, pos);
  double v = 0;
  if (r.ok) return TryStrToFloat(s.substr(0, static_cast<size_t>(pos - 1)), v) ? v : r.value;
  return TryStrToFloat(StripLTBlanks(s), v) ? v : 0.0;
}

// A font size in points that keeps the pixel height within range at the
// font's resolution; larger sizes are clamped.
int ClampFontSize(int32_t points, int ppi) {
  const int64_t limit = (int64_t{1} << 30) * 72 / std::max(ppi, 1);
  return static_cast<int>(std::clamp<int64_t>(points, -limit, limit));
}

template <size_t N, class E>
void TakeName(const std::array<StringView, N>& table, StringView attr, StringView name, E& field) {
  String v;
  if (!FindAttrib(attr, name, v)) return;
  const int i = FindName(table, v);
  if (i >= 0) field = static_cast<E>(i);
}

enum LabelTag { tgPosXY, tgColors, tgShadowOfs, tgLayer, tgTransparent, tgVisible, tgAlignment,
                tgAttachMode, tgFont, tgStyle, tgCaption, tgEnd, tgUnknown };
constexpr StringView kLabelTags[] = {
    u"posxy",  u"colors", u"shadowofs", u"layer", u"transparent", u"visible",
    u"alignment", u"attachmode", u"font", u"style", u"caption", u"/custtextlbl"};

LabelTag LookUpTag(StringView name) {
  const String low = LowerCase(name);
  for (size_t i = 0; i < std::size(kLabelTags); ++i) {
    if (low == kLabelTags[i]) return static_cast<LabelTag>(i);
  }
  return tgUnknown;
}

}  // namespace

void TCustomTextLabel::WriteToOpenXMLFile(TextFile& F, bool CreateHeader, const String& DataID,
                                          int NSpaces) const {
  const String indent(static_cast<size_t>(std::clamp(NSpaces, 1, 255)), u' ');
  const auto line = [&](StringView text) {
    F.Write(indent);
    F.Write(text);
    F.WriteLn();
  };
  if (CreateHeader) line(u"<?xml version=\"1.0\"?>");
  F.WriteLn();
  line(u"<!-- TCustomTextLabel / ZEL Component Suite -->");
  line(u"<custtextlbl sig=\"ZELCSuite\" vers=\"1.0\" id=\"" + ElementText(DataID, true) +
       u"\">");
  line(u"  <posxy x=" + PositionText(pos_x_) + u" y=" + PositionText(pos_y_) + u" />");
  line(u"  <caption>" + ElementText(caption_, false) + u"</caption>");
  line(u"  <colors brd=$" + ColorText(color_brd_) + u" bg=$" + ColorText(color_bkg_) +
       u" shdw=$" + ColorText(color_shadow_) + u" />");
  line(u"  <shadowofs dx=" + IntToStr(x_shadow_) + u" dy=" + IntToStr(y_shadow_) + u" />");
  line(u"  <layer val=" + IntToStr(layer_) + u" />");
  line(String(u"  <transparent val=") + (trans_par_ ? u"1" : u"0") + u" />");
  line(String(u"  <visible val=") + (visible_ ? u"1" : u"0") + u" />");
  line(u"  <alignment horiz=" + String(xmlAlignment[alignment_]) + u" vert=" +
       String(xmlVerticalAlignment[vert_align_]) + u" />");
  line(u"  <attachmode val=" + String(xmlTxtLblAttachMode[attach_dat_]) + u" />");
  line(u"  <font name=\"" + ElementText(font_.Name(), true) + u"\" size=" +
       IntToStr(static_cast<int32_t>(font_.Size())) + u" color=$" + ColorText(font_.Color()) +
       u" style=\"" + FontStyleText(font_.Style()) + u"\" />");
  line(u"  <style val=" + String(xmlTxtLblMode[mode_]) + u" />");
  line(u"</custtextlbl>");
}

bool TCustomTextLabel::ReadFromOpenXMLFile(TextFile& F, const String& DataID) {
  CharSource in(F);
  const String wanted_id = StripLTBlanks(DataID);
  String line, ending;
  size_t tag_end = String::npos;
  for (;;) {
    if (!in.ReadLine(line, ending)) return false;
    if (IsStartLine(line, wanted_id, tag_end)) break;
  }
  if (tag_end != String::npos) {
    in.PushBack(ending);
    in.PushBack(StringView(line).substr(tag_end + 1));
  }

  // Everything is read into a copy, which replaces the settings only once
  // the closing tag has been read.
  TCustomTextLabel got;
  got.CopySettings(*this);
  Char c;
  for (;;) {
    do {
      if (!in.Next(c)) return false;
    } while (c != u'<');
    String tag;
    for (;;) {
      if (!in.Next(c)) return false;
      if (c == u'>') break;
      tag.push_back(c);
    }
    if (!tag.empty() && (tag[0] == u'!' || tag[0] == u'?')) continue;  // comment, declaration
    const bool empty_element = !tag.empty() && tag.back() == u'/';
    if (empty_element) tag.pop_back();
    const size_t name_end = tag.find(u' ');
    const StringView name = StringView(tag).substr(0, name_end);
    const String attr =
        name_end == String::npos ? String() : StripLTBlanks(StringView(tag).substr(name_end + 1));
    const LabelTag kind = LookUpTag(name);
    if (kind == tgEnd) break;

    String content;
    if (!empty_element && !name.starts_with(u'/')) {
      // The content runs to the next "</"; the closing tag is consumed.
      for (;;) {
        if (!in.Next(c)) return false;
        if (c != u'<') {
          content.push_back(c);
          continue;
        }
        Char d;
        if (!in.Next(d)) return false;
        if (d == u'/') break;
        content.push_back(c);
        in.PushBack(StringView(&d, 1));
      }
      do {
        if (!in.Next(c)) return false;
      } while (c != u'>');
    }

    String v;
    switch (kind) {
      case tgPosXY:
        got.pos_x_ = ReadPosition(ScanForXMLAttrib(attr, u"x"));
        got.pos_y_ = ReadPosition(ScanForXMLAttrib(attr, u"y"));
        break;
      case tgColors:
        got.color_brd_ = HexStrToColor(ScanForXMLAttrib(attr, u"brd"));
        got.color_bkg_ = HexStrToColor(ScanForXMLAttrib(attr, u"bg"));
        got.color_shadow_ = HexStrToColor(ScanForXMLAttrib(attr, u"shdw"));
        break;
      case tgShadowOfs:
        got.x_shadow_ = ReadInt(ScanForXMLAttrib(attr, u"dx"));
        got.y_shadow_ = ReadInt(ScanForXMLAttrib(attr, u"dy"));
        break;
      case tgLayer: got.layer_ = ReadInt(ScanForXMLAttrib(attr, u"val")); break;
      case tgTransparent: got.trans_par_ = ReadInt(ScanForXMLAttrib(attr, u"val")) == 1; break;
      case tgVisible: got.visible_ = ReadInt(ScanForXMLAttrib(attr, u"val")) == 1; break;
      case tgAlignment:
        TakeName(xmlAlignment, attr, u"horiz", got.alignment_);
        TakeName(xmlVerticalAlignment, attr, u"vert", got.vert_align_);
        break;
      case tgAttachMode: TakeName(xmlTxtLblAttachMode, attr, u"val", got.attach_dat_); break;
      case tgStyle: TakeName(xmlTxtLblMode, attr, u"val", got.mode_); break;
      case tgFont:
        if (FindAttrib(attr, u"name", v)) got.font_.SetName(ResolveXMLReferences(v));
        if (FindAttrib(attr, u"size", v)) {
          got.font_.SetSize(ClampFontSize(ReadInt(v), got.font_.PixelsPerInch()));
        }
        if (FindAttrib(attr, u"color", v)) got.font_.SetColor(HexStrToColor(v));
        if (FindAttrib(attr, u"style", v)) {
          TFontStyles style = 0;
          for (size_t from = 0; from < v.size();) {
            const size_t to = std::min(v.find(u' ', from), v.size());
            const int s = FindName(xmlFontStyle, StringView(v).substr(from, to - from));
            if (s >= 0) style |= FontStyleBit(static_cast<TFontStyle>(s));
            from = to + 1;
          }
          got.font_.SetStyle(style);
        }
        break;
      case tgCaption: got.caption_ = ResolveXMLReferences(content); break;
      case tgEnd:
      case tgUnknown: break;
    }
  }
  CopySettings(got);
  Changed();
  return true;
}

}  // namespace zel
