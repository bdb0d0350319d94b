#include "zel/stringl/hexescape.h"

#include <algorithm>

#include "zel/platform/export.h"
#include "zel/stringl/numscan.h"

namespace ZEL_EXPORT zel {

String ProcessHexChars(StringView S) {
  String out;
  out.reserve(S.size());
  size_t i = 0;
  while (i < S.size()) {
    const Char c = S[i];
    if (c == u'\\' && i + 1 < S.size()) {
      if (S[i + 1] == u'#') {
        const StringView digits = S.substr(i + 2, 2);
        int pos = 1;
        out += static_cast<Char>(ScanHexInteger(digits, pos));
        i += 2 + digits.size();
        continue;
      }
      if (S[i + 1] == u'\\') {
        out += u'\\';
        i += 2;
        continue;
      }
    }
    out += c;
    ++i;
  }
  return out;
}

}  // namespace zel
