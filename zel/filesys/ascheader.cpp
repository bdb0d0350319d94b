#include "zel/filesys/ascheader.h"

#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/textfile.h"
#include "zel/streams/streamio.h"
#include "zel/streams/streamscan.h"
#include "zel/stringl/strip.h"
#include "zel/stringl/transform.h"

namespace zel {

namespace {

// Every out-parameter starts cleared, so none is left undefined when
// reading stops early.
void Clear(String& comment, int32_t& a, int32_t& b, bool* flags[4]) {
  comment.clear();
  a = b = 0;
  for (int i = 0; i < 4; ++i) *flags[i] = false;
}

// Reads the flags of line 4; 0, or -3 when one of the first three is
// neither TRUE nor FALSE.
int ParseFlags(StringView line, bool* flags[4]) {
  for (int i = 0; i < 4; ++i) *flags[i] = false;
  String rest = StripLTBlanks(UpperCase(line));
  for (int i = 0; i < 3; ++i) {
    if (rest.starts_with(u"TRUE")) {
      *flags[i] = true;
      rest.erase(0, 4);
    } else if (rest.starts_with(u"FALSE")) {
      rest.erase(0, 5);
    } else {
      return -3;
    }
    rest = StripLTBlanks(rest);
  }
  *flags[3] = rest.starts_with(u"TRUE");
  return 0;
}

// A count as the text file reads it; 0 when it is no number.
int32_t ReadCount(TextFile& f) {
  int32_t value = 0;
  try {
    f.Read(value);
  } catch (const EInOutError& e) {
    if (e.ErrorCode() != ioInvalidNumber) throw;
    value = 0;
  }
  f.ReadLn();  // the rest of the line is ignored
  return value;
}

// A count scanned from the stream, then the rest of its line.  The scanner
// consumes the character after the number; when that was the LF itself the
// line is complete, and reading on would swallow the next line.
int32_t ScanCount(TStream& s) {
  const int64_t before = s.Position();
  const int32_t value = ScanStreamDecimal(s);
  bool line_done = false;
  if (s.Position() > before) {
    uint8_t last = 0;
    s.Seek(-1, soCurrent);
    line_done = s.Read(&last, 1) == 1 && last == '\n';
  }
  if (!line_done) {
    bool eos = false;
    ReadLnStream(s, eos, 0);
  }
  return value;
}

}  // namespace

int ReadHeaderOfASC(const String& FileName, String& Comment, int32_t& NrA, int32_t& NrB,
                    bool& Flag1, bool& Flag2, bool& Flag3, bool& Flag4) {
  bool* flags[4] = {&Flag1, &Flag2, &Flag3, &Flag4};
  Clear(Comment, NrA, NrB, flags);
  TextFile f(FileName);
  f.Reset();
  f.ReadLn(Comment);
  NrA = ReadCount(f);
  if (NrA <= 0) return -1;
  NrB = ReadCount(f);
  if (NrB <= 0) return -2;
  String line;
  f.ReadLn(line);
  f.Close();
  return ParseFlags(ReplaceCharInString(line, u'\t', u' '), flags);
}

int ReadHeaderOfASC(TStream& Stream, String& Comment, int32_t& NrA, int32_t& NrB, bool& Flag1,
                    bool& Flag2, bool& Flag3, bool& Flag4) {
  bool* flags[4] = {&Flag1, &Flag2, &Flag3, &Flag4};
  Clear(Comment, NrA, NrB, flags);
  bool eos = false;
  Comment = ReadLnStream(Stream, eos, 0);
  NrA = ScanCount(Stream);
  if (NrA <= 0) return -1;
  NrB = ScanCount(Stream);
  if (NrB <= 0) return -2;
  const String line = ReadLnStream(Stream, eos, 0);
  return ParseFlags(line, flags);
}

}  // namespace zel
