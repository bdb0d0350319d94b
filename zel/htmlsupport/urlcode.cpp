#include "zel/htmlsupport/urlcode.h"

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/stringl/charclass.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr StringView kReserved = u"!*'();:@&=+$,/?%#[] ";
constexpr char kHexDigits[] = "0123456789ABCDEF";

String DecodePass(StringView S) {
  String out;
  out.reserve(S.size());
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == u'%' && i + 2 < S.size() && IsHexChar(S[i + 1]) && IsHexChar(S[i + 2])) {
      out.push_back(static_cast<Char>(HexDigitValue(S[i + 1]) * 16 +
                                      HexDigitValue(S[i + 2])));
      i += 2;
    } else {
      out.push_back(S[i]);
    }
  }
  return out;
}

}  // namespace

String ExtractHTTPPath(StringView URL) {
  constexpr StringView kScheme = u"http://";
  StringView rest = URL;
  if (const size_t at = LowerCase(URL).find(kScheme); at != String::npos) {
    rest.remove_prefix(at + kScheme.size());
  }
  const size_t slash = rest.rfind(u'/');
  if (slash != StringView::npos) rest = rest.substr(0, slash + 1);
  return String(rest);
}

String URLEncode(StringView S) {
  String out;
  out.reserve(S.size());
  for (Char c : S) {
    if (kReserved.find(c) == StringView::npos) {
      out.push_back(c);
    } else {
      out.push_back(u'%');
      out.push_back(static_cast<Char>(kHexDigits[c >> 4]));
      out.push_back(static_cast<Char>(kHexDigits[c & 15]));
    }
  }
  return out;
}

String URLDecode(StringView S) { return DecodePass(DecodePass(S)); }

}  // namespace zel
