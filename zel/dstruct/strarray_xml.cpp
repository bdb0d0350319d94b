// TStringArray: saving and loading as tagged text.
//
// The layout, one element per table:
//
//   <?xml version="1.0"?>                       (SaveAsXMLFile, or CreateHeader)
//                                                (an empty line)
//   <!-- TStringArray / ZEL Component Suite -->
//   <strarray sig="ZELCSuite" vers="1.0" id="DataID">
//     <numcols val=3 />
//     <numrows val=2 />
//     <colattrib col=2 val=5 />                  (only attributes that are not 0)
//     <rowattrib row=1 val=9 />
//     <cell col=0 row=1>text</cell>              (only cells that are not empty)
//   </strarray>
//
// Rows are written in their logical order (what callers see), so a loaded
// table has that order physically.  Cell text is written as it is, with
// "&", "<" and ">" as "&amp;", "&lt;" and "&gt;" and control characters
// (codes below 32, 127 and 128-159) as "&#N;" with N the decimal character
// code; every other character goes out as the text file writes it (UTF-8).
// The reader also takes "&quot;", "&apos;" and "&#xH;"; any other "&" is
// plain text.  Blanks at either end of a cell are kept.
//
// The DataID is stored without the characters that would break the start
// tag ('"', '<', '>' and control characters) and without blanks at either
// end; the reader compares the same cleaned form, ignoring ASCII case.
//
// Reading: the reader looks for the first start tag named strarray whose
// sig attribute is "ZELCSuite" (any case) and whose id matches (any id when
// DataID is empty); tags before it are skipped without their content.  It
// then reads the child elements with the tag reader up to "</strarray>".
// numcols and numrows resize the table (values that are no positive
// integer are skipped); cells and attributes outside the size read so far,
// or with unreadable coordinates, are skipped; unknown elements are
// skipped with their content.  The element counts only when its closing
// tag is read: otherwise, or when its size would exceed kMaxXMLCells cells
// ((columns + 1) × rows, a guard against files that claim absurd sizes) or
// memory, the result is false and the table is left as it was.  A
// successful read replaces the whole table (size, cells, attributes; the
// row granule and the event handlers stay) and fires OnChange once.
#include <string>

#include "zel/dstruct/strarray.h"
#include "zel/platform/casemap.h"
#include "zel/platform/numconv.h"
#include "zel/platform/textfile.h"
#include "zel/streams/tagscan.h"
#include "zel/streams/xmlrefs.h"
#include "zel/stringl/strip.h"

namespace zel {

namespace {

constexpr int64_t kMaxXMLCells = int64_t{1} << 24;
constexpr StringView kSignature = u"ZELCSuite";

// The DataID as the start tag can hold it.
String StoredDataID(StringView id) {
  String out;
  for (Char c : id) {
    if (c >= 32 && c != u'"' && c != u'<' && c != u'>' && c != 127) out.push_back(c);
  }
  return StripLTBlanks(out);
}

bool NeedsCharRef(Char c) { return c < 32 || (c >= 127 && c <= 159); }

String EscapeCell(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    const Char c = AnsiToChar(static_cast<AnsiChar>(b));
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      default:
        if (NeedsCharRef(c)) {
          out += u"&#" + IntToStr(static_cast<int32_t>(c)) + u";";
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

// The cell bytes (Windows-1252) of an element's content, references
// resolved; characters the code page lacks become '?'.
std::string UnescapeCell(StringView text) {
  const String resolved = ResolveXMLReferences(text);
  return StringToAnsi(StringView(resolved).substr(0, ShortString::kCapacity));
}

bool ReadInt(StringView text, int min, int& value) {
  int32_t v = 0;
  if (!TryStrToInt(StripLTBlanks(text), v) || v < min) return false;
  value = v;
  return true;
}

// Reads tag texts until a strarray start tag with our signature and the
// wanted id; false at the end of the file.
bool FindStartTag(TextFile& F, const String& id) {
  while (!F.Eof()) {
    Char c;
    F.Read(c);
    if (c != u'<') continue;
    String tag;
    while (!F.Eof()) {
      F.Read(c);
      if (c == u'>') break;
      tag.push_back(c);
    }
    if (c != u'>') return false;  // the file ended inside the tag
    const size_t blank = tag.find(u' ');
    if (LowerCase(StringView(tag).substr(0, blank)) != u"strarray") continue;
    if (blank == String::npos || tag.back() == u'/') continue;  // no signature, or no content
    const String attributes = StripLTBlanks(StringView(tag).substr(blank + 1));
    if (!SameText(StripLTBlanks(ScanForXMLAttrib(attributes, u"sig")), kSignature)) continue;
    if (id.empty() || SameText(StripLTBlanks(ScanForXMLAttrib(attributes, u"id")), id)) return true;
  }
  return false;
}

}  // namespace

void TStringArray::WriteToOpenXMLFile(TextFile& F, bool CreateHeader, const String& DataID) const {
  if (CreateHeader) F.WriteLn(u"<?xml version=\"1.0\"?>");
  F.WriteLn();
  F.WriteLn(u"<!-- TStringArray / ZEL Component Suite -->");
  F.WriteLn(u"<strarray sig=\"" + String(kSignature) + u"\" vers=\"1.0\" id=\"" +
            StoredDataID(DataID) + u"\">");
  F.WriteLn(u"  <numcols val=" + IntToStr(FNCol) + u" />");
  F.WriteLn(u"  <numrows val=" + IntToStr(FNRow) + u" />");
  for (int c = 1; c <= FNCol; ++c) {
    if (const uint8_t a = GetColAttrib(c); a != 0) {
      F.WriteLn(u"  <colattrib col=" + IntToStr(c) + u" val=" + IntToStr(int32_t{a}) + u" />");
    }
  }
  for (int r = 1; r <= FNRow; ++r) {
    if (const uint8_t a = GetRowAttrib(r); a != 0) {
      F.WriteLn(u"  <rowattrib row=" + IntToStr(r) + u" val=" + IntToStr(int32_t{a}) + u" />");
    }
  }
  for (int r = 1; r <= FNRow; ++r) {
    for (int c = 0; c <= FNCol; ++c) {
      const std::string_view bytes = GetBytes(c, r);
      if (bytes.empty()) continue;
      F.WriteLn(u"  <cell col=" + IntToStr(c) + u" row=" + IntToStr(r) + u">" + EscapeCell(bytes) +
                u"</cell>");
    }
  }
  F.WriteLn(u"</strarray>");
}

bool TStringArray::ReadFromOpenXMLFile(TextFile& F, const String& DataID) {
  if (!FindStartTag(F, StoredDataID(DataID))) return false;
  enum { kNumCols, kNumRows, kColAttrib, kRowAttrib, kCell, kEnd, kOther };
  static const String kTags[] = {u"numcols", u"numrows", u"colattrib", u"rowattrib",
                                 u"cell",    u"/strarray", u""};
  TStringArray table(nullptr);
  table.SetAllocRowsBy(FAllocRowsBy);
  String attributes, content;
  for (;;) {
    const int tag = ReadNextTagInTextFile(F, kTags, attributes, content);
    const auto value = [&](StringView name, int min, int& v) {
      return ReadInt(ScanForXMLAttrib(attributes, name), min, v);
    };
    int n = 0, col = 0, row = 0, attrib = 0;
    switch (tag) {
      case kNumCols:
      case kNumRows:
        if (value(u"val", 1, n)) {
          const int cols = tag == kNumCols ? n : table.FNCol;
          const int rows = tag == kNumRows ? n : table.FNRow;
          if ((int64_t{cols} + 1) * rows > kMaxXMLCells || !table.Resize(cols, rows)) return false;
        }
        break;
      case kColAttrib:
        if (value(u"col", 1, col) && value(u"val", 0, attrib) && attrib <= 255) {
          table.SetColAttrib(col, static_cast<uint8_t>(attrib));
        }
        break;
      case kRowAttrib:
        if (value(u"row", 1, row) && value(u"val", 0, attrib) && attrib <= 255) {
          table.SetRowAttrib(row, static_cast<uint8_t>(attrib));
        }
        break;
      case kCell:
        if (value(u"col", 0, col) && value(u"row", 1, row)) {
          table.SetBytes(col, row, UnescapeCell(content));
        }
        break;
      case kEnd: {
        // The new contents, with this table's event handlers.
        const TNotifyEvent on_change = OnChange();
        TBeforeSortExchgEvent on_exchange = FOnBefSortExc;
        TOnPercentDoneEvent on_percent = FOnPercentDone;
        Assign(&table);
        SetOnChange(on_change);
        FOnBefSortExc = std::move(on_exchange);
        FOnPercentDone = std::move(on_percent);
        Changed();
        return true;
      }
      default:
        if (F.Eof()) return false;  // the file ended before "</strarray>"
    }
  }
}

bool TStringArray::LoadFromXMLFile(const String& FName, const String& DataID) {
  TextFile f(FName);
  f.Reset();
  const bool read = ReadFromOpenXMLFile(f, DataID);
  f.Close();
  return read;
}

void TStringArray::SaveAsXMLFile(const String& FName, const String& DataID) {
  TextFile f(FName);
  f.RewriteReplacing();
  WriteToOpenXMLFile(f, /*CreateHeader=*/true, DataID);
  f.Close();
}

}  // namespace zel
