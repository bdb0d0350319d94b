// TGrep: the component, pattern compilation and the token listing.  The
// matcher is in grep_match.cpp.
#include "zel/stringl/grep.h"

#include <algorithm>
#include <memory>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/textfile.h"
#include "zel/stringl/internal/grepop.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/errors.h"

namespace ZEL_EXPORT zel {

String GrepErrorMessage(int code) {
  switch (code) {
    case 0: return u"no errors";
    case grepErrBadStart: return u"reg.exp. must not start with $, *, ?, or +";
    case grepErrCircumflex: return u"circumflex not allowed here";
    case grepErrAfterEol: return u"no character allowed after end of line";
    case grepErrEmptySet: return u"empty set";
    case grepErrCircumflexInSet: return u"circumflex has to be quoted in set";
    case grepErrSetBrackets: return u"mismatch of set brackets";
    case grepErrMinus: return u"minus not allowed here";
    case grepErrGroupBrackets: return u"mismatch of group brackets";
    case grepErrOperator: return u"*, ?, + have to be applied to groups or sets only";
    case grepErrTooLong: return u"reg.exp. too long: more than 64 tokens or 255 characters in a literal";
    default: return u"";
  }
}

namespace {

// Replaces each "\#hh" by the character with the hexadecimal code hh.  An
// occurrence whose backslash follows another backslash stays as it is.
void ResolveHexEscapes(String& pat) {
  size_t i = 0;
  while ((i = pat.find(u"\\#", i)) != String::npos) {
    if (i > 0 && pat[i - 1] == u'\\') {
      i += 2;
      continue;
    }
    if (i + 4 > pat.size()) break;  // needs two characters after '#'
    int pos = 1;
    const uint32_t code = ScanHexInteger(StringView(pat).substr(i + 2, 2), pos);
    pat.replace(i, 4, 1, static_cast<Char>(code));
    ++i;
  }
}

// The state machine that turns a pattern into tokens.
class Compiler {
 public:
  explicit Compiler(TRegExp& tokens) : t_(tokens) {}

  // Compiles `pat`; returns the error code, `count()` the tokens built.
  int Run(StringView pat);
  int count() const { return n_; }

 private:
  enum State { kStart, kItem, kSetFirst, kInSet, kAfterSet, kInGroup, kAfterGroup, kAfterEol };

  TGrepToken& Cur() { return t_[n_ - 1]; }
  bool NewToken(TGrepTokenAct kind);
  bool NewLiteral(Char c) { return NewToken(taNormal) && Append(c); }
  void OpenSet();
  bool Append(Char c);
  void AddToSet(Char c) {
    if (c < 256) Cur().Params[c] = u'*';
    remembered_ = c;
    remembered_any_ = true;
  }
  void Fail(int code) { error_ = code; }
  // An operator after a literal, any-character or set item (state 1).
  void ApplyToItem(TGrepTokenAct kind);
  // The transitions that the states after an item (literal, set, group)
  // share; false when `c` is none of them.
  bool AfterItem(Char c);
  void InSet(Char c, bool escaped, StringView pat, size_t& i);

  TRegExp& t_;
  int n_ = 0;
  int error_ = 0;
  State state_ = kStart;
  bool negated_ = false;        // the open set began with '^'
  Char remembered_ = 0;         // the last member added, for ranges
  bool remembered_any_ = false;
};

bool Compiler::NewToken(TGrepTokenAct kind) {
  if (n_ == kGrepMaxTokens) {
    Fail(grepErrTooLong);
    return false;
  }
  ++n_;
  Cur().Action = kind;
  Cur().NumChars = 0;
  return true;
}

void Compiler::OpenSet() {
  if (!NewToken(taSet)) return;
  Cur().NumChars = -1;
  std::fill(std::begin(Cur().Params), std::end(Cur().Params), u' ');
  negated_ = false;
  remembered_any_ = false;
  state_ = kSetFirst;
}

bool Compiler::Append(Char c) {
  TGrepToken& tok = Cur();
  if (tok.NumChars >= 255) {
    Fail(grepErrTooLong);
    return false;
  }
  tok.Params[++tok.NumChars] = c;
  return true;
}

void Compiler::ApplyToItem(TGrepTokenAct kind) {
  TGrepToken& tok = Cur();
  if (tok.Action == taNormal && tok.NumChars == 1) {
    tok.Action = kind;
  } else if (tok.Action == taNormal && tok.NumChars > 1) {
    const Char last = tok.Params[tok.NumChars];
    --tok.NumChars;
    if (!NewToken(kind)) return;
    Cur().NumChars = 1;
    Cur().Params[1] = last;
  } else if (tok.Action == taAnyByte) {
    tok.Action = kind;
    tok.NumChars = 0;
  } else if (tok.Action == taSet) {
    tok.Action = kind;
    tok.NumChars = -1;
  } else {
    Fail(grepErrOperator);
  }
}

TGrepTokenAct OperatorKind(Char c) {
  return c == u'*' ? taMult0 : c == u'+' ? taMult1 : taOpti;
}

bool IsOperator(Char c) { return c == u'*' || c == u'+' || c == u'?'; }

bool Compiler::AfterItem(Char c) {
  switch (c) {
    case u'$':
      if (NewToken(taEol)) state_ = kAfterEol;
      return true;
    case u'(':
      if (NewToken(taNormal)) state_ = kInGroup;
      return true;
    case u'.':
      if (NewToken(taAnyByte)) state_ = kItem;
      return true;
    case u'[': OpenSet(); return true;
    case u')': Fail(grepErrGroupBrackets); return true;
    case u']': Fail(grepErrSetBrackets); return true;
    case u'^': Fail(grepErrCircumflex); return true;
    default: return false;
  }
}

void Compiler::InSet(Char c, bool escaped, StringView pat, size_t& i) {
  if (escaped) {
    AddToSet(c);
  } else if (c == u'-' && !remembered_any_) {
    Fail(grepErrMinus);  // '[^-': no lower end, as in '[-'
  } else if (c == u'-') {
    // A range from the last member to the character after '-', taken
    // as it stands; its lower end is remembered.
    if (i < pat.size()) {
      const Char other = pat[i++];
      const Char lo = std::min(remembered_, other);
      const Char hi = std::max(remembered_, other);
      for (unsigned code = lo; code <= hi && code < 256; ++code) AddToSet(static_cast<Char>(code));
      remembered_ = lo;
    }
  } else if (c == u']') {
    if (negated_) {
      for (Char& p : Cur().Params) p = p == u'*' ? u' ' : u'*';
    }
    state_ = kAfterSet;
  } else if (c == u'^') {
    Fail(grepErrCircumflexInSet);
  } else {
    AddToSet(c);
  }
}

int Compiler::Run(StringView pat) {
  size_t i = 0;
  while (i < pat.size() && error_ == 0) {
    Char c = pat[i++];
    // An escaped character is taken literally wherever it stands.
    const bool escaped = c == u'\\';
    if (escaped) {
      c = i < pat.size() ? pat[i] : Char{0};
      ++i;
    }
    switch (state_) {
      case kStart:
        if (escaped) {
          if (NewLiteral(c)) state_ = kItem;
        } else if (c == u'$' || IsOperator(c)) {
          Fail(grepErrBadStart);
        } else if (c == u'^') {
          if (NewToken(taBol)) state_ = kItem;
        } else if (!AfterItem(c) && NewLiteral(c)) {
          state_ = kItem;
        }
        break;

      case kItem:
        if (!escaped && IsOperator(c)) {
          ApplyToItem(OperatorKind(c));
        } else if (escaped || !AfterItem(c)) {
          if (Cur().Action == taNormal) {
            Append(c);
          } else {
            NewLiteral(c);
          }
        }
        break;

      case kSetFirst:
        state_ = kInSet;
        if (escaped) {
          AddToSet(c);
        } else if (c == u'-') {
          Fail(grepErrMinus);
        } else if (c == u']') {
          Fail(grepErrEmptySet);
        } else if (c == u'^') {
          negated_ = true;
        } else {
          AddToSet(c);
        }
        break;

      case kInSet:
        InSet(c, escaped, pat, i);
        break;

      case kAfterSet:
      case kAfterGroup:
        if (!escaped && IsOperator(c)) {
          // One operator on the set, or on a non-empty group.
          TGrepToken& tok = Cur();
          if (state_ == kAfterSet && tok.Action == taSet) {
            tok.NumChars = -1;
          } else if (state_ != kAfterGroup || tok.Action != taNormal || tok.NumChars == 0) {
            Fail(grepErrOperator);
            break;
          }
          tok.Action = OperatorKind(c);
        } else if (!escaped && c == u'-' && state_ == kAfterSet) {
          Fail(grepErrMinus);
        } else if ((escaped || !AfterItem(c)) && NewLiteral(c)) {
          state_ = kItem;
        }
        break;

      case kInGroup:
        if (!escaped && c == u')') {
          state_ = kAfterGroup;
        } else if (!escaped && c == u'^') {
          Fail(grepErrCircumflex);
        } else {
          Append(c);
        }
        break;

      case kAfterEol:
        Fail(grepErrAfterEol);
        break;
    }
  }
  return error_;
}

// The listing's label of a token kind, right-aligned in eleven characters.
StringView TokenLabel(TGrepTokenAct kind) {
  switch (kind) {
    case taNormal: return u" taNormal: ";
    case taAnyByte: return u"taAnyByte: ";
    case taEol: return u"    taEol: ";
    case taBol: return u"    taBol: ";
    case taSet: return u"    taSet: ";
    case taMult0: return u"  taMult0: ";
    case taMult1: return u"  taMult1: ";
    case taOpti: return u"   taOpti: ";
  }
  return u"";
}

void AppendMembers(const TGrepToken& tok, String& line) {
  for (int code = 0; code < 256; ++code) {
    if (tok.Params[code] == u'*') line += static_cast<Char>(code);
  }
}

}  // namespace

TGrep::TGrep(TComponent* AOwner)
    : TComponent(AOwner), ops_(std::make_unique<detail::GrepOp[]>(kGrepMaxTokens)) {}

TGrep::~TGrep() = default;

void TGrep::SetRegExp(const String& pattern) {
  FRegExpStr = pattern;
  const int error = CompileRegExp(FRegExpStr);
  if (error != 0 && FStopOnError) {
    throw EZELStringlError(
        ComponentMessage(*this, u": error in regular expression - " + GrepErrorMessage(error)));
  }
}

void TGrep::SetIgnoreCase(bool value) {
  FIgnoreCase = value;
  (void)CompileRegExp(FRegExpStr);  // a bad pattern stays in LastError()
}

TGrepToken TGrep::GetRegExpToken(int regix) const noexcept {
  regix = std::max(std::min(regix, FLengRegExp), 1);
  return FregExp[regix - 1];
}

int TGrep::CompileRegExp(StringView pattern) {
  FError = 0;
  String pat = FIgnoreCase ? LowerCase(pattern) : String(pattern);
  ResolveHexEscapes(pat);
  FregExp.fill(TGrepToken{});
  Compiler compiler(FregExp);
  FError = compiler.Run(pat);
  FLengRegExp = compiler.count();
  PrepareOps();
  return FError;
}

void TGrep::PrepareOps() {
  bool range_search = false;
  for (int k = 0; k < FLengRegExp; ++k) {
    const TGrepToken& tok = FregExp[k];
    detail::GrepOp& op = ops_[k];
    op = detail::GrepOp{};
    op.kind = tok.Action;
    op.str = tok.Params + 1;
    const bool repetition = tok.Action == taMult0 || tok.Action == taMult1 || tok.Action == taOpti;
    const bool is_set = tok.Action == taSet || (repetition && tok.NumChars < 0);
    if (is_set) {
      op.operand = 2;
      op.len = 1;
      int first = -1, last = -1, members = 0;
      for (int code = 0; code < 256; ++code) {
        if (tok.Params[code] != u'*') continue;
        op.set[code >> 6] |= uint64_t{1} << (code & 63);
        if (first < 0) first = code;
        last = code;
        ++members;
      }
      if (members > 0 && members == last - first + 1) {
        op.range_lo = static_cast<Char>(first);
        op.range_hi = static_cast<Char>(last);
        range_search = FLengRegExp == 1 && (tok.Action == taSet || tok.Action == taMult1);
      }
    } else if (repetition && tok.NumChars == 0) {
      op.operand = 1;
      op.len = 1;
    } else {
      op.len = std::max(tok.NumChars, 0);
      op.probe = detail::MakeGrepProbe(op.str, op.len, FIgnoreCase);
    }
  }
  // Patterns that one scan or one comparison decides.
  const detail::GrepOp& first = ops_[0];
  if (range_search) {
    shortcut_ = kShortcutRange;
  } else if (FLengRegExp == 1 && first.len > 0 &&
             (first.kind == taNormal || (first.kind == taMult1 && first.operand == 0))) {
    shortcut_ = kShortcutLiteral;
  } else if (FLengRegExp == 2 && first.kind == taBol && ops_[1].kind == taNormal) {
    shortcut_ = kShortcutBolLiteral;
  } else {
    shortcut_ = kShortcutNone;
  }
  if (shortcut_ == kShortcutRange) {
    ascii_item_ = first.range_hi < 0x80;
  } else if (shortcut_ == kShortcutLiteral) {
    ascii_item_ = std::all_of(first.str, first.str + first.len, [](Char c) { return c < 0x80; });
  } else {
    ascii_item_ = false;
  }
}

std::vector<String> TGrep::RegExpListing() const {
  std::vector<String> lines;
  for (int k = 0; k < FLengRegExp; ++k) {
    const TGrepToken& tok = FregExp[k];
    String line(TokenLabel(tok.Action));
    switch (tok.Action) {
      case taNormal:
        line.append(tok.Params + 1, static_cast<size_t>(std::max(tok.NumChars, 0)));
        break;
      case taSet:
        AppendMembers(tok, line);
        break;
      case taMult0:
      case taMult1:
      case taOpti:
        if (tok.NumChars < 0) {
          line += u"(set) ";
          AppendMembers(tok, line);
        } else if (tok.NumChars == 0) {
          line += u"(anychar) ";
        } else {
          line += u"(string) ";
          line.append(tok.Params + 1, static_cast<size_t>(tok.NumChars));
        }
        break;
      default:
        break;
    }
    lines.push_back(std::move(line));
  }
  lines.push_back(GrepErrorMessage(FError));
  return lines;
}

void TGrep::PrintRegExp(const String& FName) const {
  const std::vector<String> lines = RegExpListing();
  TextFile f;
  f.AssignFile(FName);
  f.RewriteReplacing();
  for (const String& line : lines) f.WriteLn(line);
  f.Close();
}

}  // namespace zel
