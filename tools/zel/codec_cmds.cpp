// Subcommands over checksums and codecs: crc16, crc32, sha1, base64,
// ascii85, rle.  Every input streams through in blocks, so memory stays
// flat however large the input.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "zel/dstruct/dstruct.h"
#include "zel/platform/exceptions.h"
#include "zel/stringl/numscan.h"

namespace zel::cli {
namespace {

// Runs `value_of(stream)` for every operand (stdin when none), printing
// "<value>  <name>"; a file that cannot be read is reported and makes the
// exit status 1.
template <class F>
int EachFile(const ParsedArgs& args, F value_of) {
  int status = kOk;
  for (const auto& path : args.OperandsOrStdin()) {
    const Input in = OpenInput(path);
    if (!in) {
      status = ErrorStatus();
      continue;
    }
    try {
      const std::string value = value_of(*in);
      std::cout << value << "  " << path << '\n';
    } catch (const EReadError& e) {
      status = FailRead(in, e);
    }
  }
  return status;
}

constexpr int64_t kBlock = 64 * 1024;

int Crc16(const ParsedArgs& args);
int Crc32(const ParsedArgs& args);
int Sha1(const ParsedArgs& args);
int Base64(const ParsedArgs& args);
int Ascii85(const ParsedArgs& args);
int Rle(const ParsedArgs& args);

constexpr Option kCrc16Options[] = {
    {"ccitt", 0, {}, "start at 0xFFFF (CCITT-FALSE) instead of 0x0000 (XMODEM/ZMODEM)"},
};
constexpr Option kTextCodecOptions[] = {
    {"decode", 'd', {}, "decode instead of encoding"},
    {"no-wrap", 0, {}, "write the encoded text without line breaks"},
};
constexpr Option kRleOptions[] = {
    {"decode", 'd', {}, "decode instead of encoding"},
};

constexpr Command kCommands[] = {
    {.name = "crc16", .summary = "CRC-16 of files (XMODEM/ZMODEM, or CCITT-FALSE)",
     .operands = "[FILE...]",
     .description =
         "Prints the CRC-16 of each FILE (stdin when none or '-') as four upper-case\n"
         "hexadecimal digits, two blanks and the name.  The CRC starts at 0x0000\n"
         "(XMODEM/ZMODEM), or at 0xFFFF with --ccitt (CCITT-FALSE).",
     .options = kCrc16Options, .main = &Crc16},
    {.name = "crc32", .summary = "standard CRC-32 of files",
     .operands = "[FILE...]",
     .description =
         "Prints the CRC-32 (as zlib and PNG compute it) of each FILE (stdin when\n"
         "none or '-') as eight upper-case hexadecimal digits, two blanks and the name.",
     .main = &Crc32},
    {.name = "sha1", .summary = "SHA-1 digest of files",
     .operands = "[FILE...]",
     .description =
         "Prints the SHA-1 digest of each FILE (stdin when none or '-') as 40\n"
         "upper-case hexadecimal digits, two blanks and the name.",
     .main = &Sha1},
    {.name = "base64", .summary = "Base64-encode or decode",
     .operands = "[FILE]",
     .description =
         "Encodes FILE (stdin when none or '-') to Base64 on stdout, in lines of 60\n"
         "characters ending with CR LF (no line breaks with --no-wrap).  With -d,\n"
         "decodes instead (CR and LF are ignored); invalid input is an error (exit 1)\n"
         "after the bytes of the complete 88-character blocks before it.",
     .options = kTextCodecOptions, .main = &Base64},
    {.name = "ascii85", .summary = "ASCII85-encode or decode",
     .operands = "[FILE]",
     .description =
         "Encodes FILE (stdin when none or '-') to ASCII85 on stdout: 'z' for four\n"
         "zero bytes, a short last group unpadded, CR LF after every 12 groups (none\n"
         "with --no-wrap), and '~>' at the end.  With -d, decodes up to '~>'; a\n"
         "character outside '!'..'u' or a 'z' inside a group is an error (exit 1),\n"
         "after everything has been decoded.",
     .options = kTextCodecOptions, .main = &Ascii85},
    {.name = "rle", .summary = "run-length encode or decode",
     .operands = "[FILE]",
     .description =
         "Run-length encodes FILE (stdin when none or '-') to stdout: runs of three\n"
         "or more equal bytes, and every 0xA5 byte, become the triple A5 count byte;\n"
         "other bytes stand for themselves.  With -d, decodes; an input that ends\n"
         "inside a triple is an error (exit 1).",
     .options = kRleOptions, .main = &Rle},
};

std::string Hex(uint32_t v, int digits) { return ToUtf8(HexDigits(v, digits)); }

int Crc16(const ParsedArgs& args) {
  const bool ccitt = args.Has("ccitt");
  return EachFile(args, [&](TStream& in) {
    std::vector<uint8_t> buf(kBlock);
    uint16_t crc = ccitt ? 0xFFFF : 0x0000;
    for (int64_t n; (n = in.Read(buf.data(), kBlock)) > 0;)
      crc = UpdateCRC16(crc, {buf.data(), static_cast<size_t>(n)});
    return Hex(crc, 4);
  });
}

int Crc32(const ParsedArgs& args) {
  return EachFile(args, [&](TStream& in) {
    std::vector<uint8_t> buf(kBlock);
    uint32_t state = 0xFFFFFFFFu;
    for (int64_t n; (n = in.Read(buf.data(), kBlock)) > 0;)
      state = UpdateCRC32(state, {buf.data(), static_cast<size_t>(n)});
    return Hex(~state, 8);
  });
}

int Sha1(const ParsedArgs& args) {
  return EachFile(args, [](TStream& in) { return ToUtf8(SHA1DigestToHex(SHA1FromStream(in))); });
}

// The text filters: encode, or decode and turn a non-zero result into a
// message (nullptr: no error).  A read error names the input; a write
// error (EWriteError) goes on to the tool's report.
int TextCodec(const ParsedArgs& args, void (*encode)(TStream&, TStream&, bool),
              int (*decode)(TStream&, TStream&), const char* (*error_text)(int)) {
  args.RequireOperands(0, 1);
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (!in) return kFailure;
  FdStream out(1, false);
  try {
    if (!args.Has("decode")) {
      encode(*in, out, !args.Has("no-wrap"));
      return kOk;
    }
    const char* error = error_text(decode(*in, out));
    return error ? Fail(error) : kOk;
  } catch (const EReadError& e) {
    return FailRead(in, e);
  }
}

int Base64(const ParsedArgs& args) {
  return TextCodec(args, EncodeBase64, DecodeBase64,
                   [](int r) { return r != 0 ? "invalid input" : nullptr; });
}

int Ascii85(const ParsedArgs& args) {
  return TextCodec(args, EncodeASCII85, DecodeASCII85, [](int r) {
    return r == -1   ? "invalid input: a character outside '!'..'u'"
           : r == -2 ? "invalid input: 'z' inside a group"
                     : nullptr;
  });
}

// The run-length coding of `in` to stdout; false after reporting an input
// that ends inside a triple.
bool RunLengthCode(TStream& in, bool decode) {
  FdStream out(1, false);
  TRLEncoder rle(nullptr);
  rle.SetBufLeng(static_cast<int32_t>(kBlock));
  std::vector<uint8_t> buf(kBlock), block(kBlock);
  auto drain = [&] {
    while (rle.Waiting() >= rle.BufLeng()) {
      rle.GetResult(block.data());
      out.WriteBuffer(block.data(), kBlock);
    }
  };
  rle.Reset();
  for (int64_t n; (n = in.Read(buf.data(), kBlock)) > 0;) {
    if (decode) {
      for (int64_t i = 0; i < n; ++i) rle.Decode(buf[static_cast<size_t>(i)]);
    } else {
      rle.Encode(buf.data(), static_cast<int>(n));
    }
    drain();
  }
  int n;
  if (decode) {
    while ((n = rle.FlushResult(block.data())) > 0) out.WriteBuffer(block.data(), n);
    if (rle.DecodeSt() != rlData) return Fail("input ends inside a run triple"), false;
  } else {
    do {
      n = rle.Finish(block.data());
      out.WriteBuffer(block.data(), n);
    } while (n == rle.BufLeng());
  }
  return true;
}

int Rle(const ParsedArgs& args) {
  args.RequireOperands(0, 1);
  const Input in = OpenInput(args.OperandsOrStdin()[0]);
  if (!in) return kFailure;
  try {
    return RunLengthCode(*in, args.Has("decode")) ? kOk : kFailure;
  } catch (const EReadError& e) {
    return FailRead(in, e);
  }
}

const CommandGroup kGroup(81, kCommands);

}  // namespace
}  // namespace zel::cli
