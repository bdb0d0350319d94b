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

// A stream over a file descriptor (a named file, stdin or stdout).  Reads
// fill the request unless the input ends, so a pipe's short reads are not
// taken for the end; writes write everything.  Seeking works where the
// descriptor allows it and otherwise reports -1 without raising.
class FdStream : public TStream {
 public:
  FdStream(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdStream() override {
    if (owned_) ::close(fd_);
  }
  int64_t Read(void* buffer, int64_t count) override {
    auto* p = static_cast<uint8_t*>(buffer);
    int64_t total = 0;
    while (total < count) {
      const ssize_t n = ::read(fd_, p + total, static_cast<size_t>(count - total));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw EReadError(u"Stream read error: " + FromUtf8(std::strerror(errno)));
      if (n == 0) break;
      total += n;
    }
    return total;
  }
  int64_t Write(const void* buffer, int64_t count) override {
    const auto* p = static_cast<const uint8_t*>(buffer);
    int64_t total = 0;
    while (total < count) {
      const ssize_t n = ::write(fd_, p + total, static_cast<size_t>(count - total));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) throw EWriteError(u"Stream write error: " + FromUtf8(std::strerror(errno)));
      total += n;
    }
    return total;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(fd_, offset, whence);
  }

 private:
  int fd_;
  bool owned_;
};

// Opens FILE, or stdin for "" and "-"; prints a message and returns null
// when it cannot.
std::unique_ptr<FdStream> OpenInput(const std::string& path) {
  if (path.empty() || path == "-") return std::make_unique<FdStream>(0, false);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Fail("cannot open '" + path + "': " + std::strerror(errno));
    return nullptr;
  }
  return std::make_unique<FdStream>(fd, true);
}

struct Parsed {
  std::vector<std::string> files;
  bool decode = false, no_wrap = false, ccitt = false;
};

// Accepts the options named in `allowed` (of "-d", "--no-wrap", "--ccitt")
// and files; `max_files` < 0 for any number.
bool ParseArgs(const Command& cmd, const Args& args, std::initializer_list<std::string_view> allowed,
               int max_files, Parsed& out, int& status) {
  auto allows = [&](std::string_view o) {
    for (auto a : allowed)
      if (a == o) return true;
    return false;
  };
  for (const auto& a : args) {
    if (a.size() > 1 && a[0] == '-') {
      if (!allows(a)) {
        status = UsageError(cmd, "unknown option '" + a + "'");
        return false;
      }
      if (a == "-d") out.decode = true;
      if (a == "--no-wrap") out.no_wrap = true;
      if (a == "--ccitt") out.ccitt = true;
    } else {
      out.files.push_back(a);
    }
  }
  if (max_files >= 0 && static_cast<int>(out.files.size()) > max_files) {
    status = UsageError(cmd, "too many arguments");
    return false;
  }
  if (out.files.empty()) out.files.push_back("-");
  return true;
}

// Runs `line(stream)` for every file, printing "<value>  <name>"; a file
// that cannot be read is reported and makes the exit status 1.
template <class F>
int EachFile(const Parsed& p, F value_of) {
  int status = kOk;
  for (const auto& path : p.files) {
    const auto in = OpenInput(path);
    if (!in) {
      status = kFailure;
      continue;
    }
    try {
      const std::string value = value_of(*in);
      std::cout << value << "  " << path << '\n';
    } catch (const EReadError& e) {
      Fail("error reading '" + path + "': " + e.what());
      status = kFailure;
    }
  }
  std::cout.flush();
  return status;
}

constexpr int64_t kBlock = 64 * 1024;

int Crc16(const Args& args);
int Crc32(const Args& args);
int Sha1(const Args& args);
int Base64(const Args& args);
int Ascii85(const Args& args);
int Rle(const Args& args);

constexpr Command kCommands[] = {
    {"crc16", "CRC-16 of files (XMODEM/ZMODEM, or CCITT-FALSE)",
     "[--ccitt] [FILE...]\n\n"
     "Prints the CRC-16 of each FILE (stdin when none or '-') as four upper-case\n"
     "hexadecimal digits, two blanks and the name.  The CRC starts at 0x0000\n"
     "(XMODEM/ZMODEM), or at 0xFFFF with --ccitt (CCITT-FALSE).",
     &Crc16},
    {"crc32", "standard CRC-32 of files",
     "[FILE...]\n\n"
     "Prints the CRC-32 (as zlib and PNG compute it) of each FILE (stdin when\n"
     "none or '-') as eight upper-case hexadecimal digits, two blanks and the name.",
     &Crc32},
    {"sha1", "SHA-1 digest of files",
     "[FILE...]\n\n"
     "Prints the SHA-1 digest of each FILE (stdin when none or '-') as 40\n"
     "upper-case hexadecimal digits, two blanks and the name.",
     &Sha1},
    {"base64", "Base64-encode or decode",
     "[-d] [--no-wrap] [FILE]\n\n"
     "Encodes FILE (stdin when none or '-') to Base64 on stdout, in lines of 60\n"
     "characters ending with CR LF (no line breaks with --no-wrap).  With -d,\n"
     "decodes instead (CR and LF are ignored); invalid input is an error (exit 1)\n"
     "after the bytes of the complete 88-character blocks before it.",
     &Base64},
    {"ascii85", "ASCII85-encode or decode",
     "[-d] [--no-wrap] [FILE]\n\n"
     "Encodes FILE (stdin when none or '-') to ASCII85 on stdout: 'z' for four\n"
     "zero bytes, a short last group unpadded, CR LF after every 12 groups (none\n"
     "with --no-wrap), and '~>' at the end.  With -d, decodes up to '~>'; a\n"
     "character outside '!'..'u' or a 'z' inside a group is an error (exit 1),\n"
     "after everything has been decoded.",
     &Ascii85},
    {"rle", "run-length encode or decode",
     "[-d] [FILE]\n\n"
     "Run-length encodes FILE (stdin when none or '-') to stdout: runs of three\n"
     "or more equal bytes, and every 0xA5 byte, become the triple A5 count byte;\n"
     "other bytes stand for themselves.  With -d, decodes; an input that ends\n"
     "inside a triple is an error (exit 1).",
     &Rle},
};

std::string Hex(uint32_t v, int digits) { return ToUtf8(HexDigits(v, digits)); }

int Crc16(const Args& args) {
  Parsed p;
  int status = kOk;
  if (!ParseArgs(kCommands[0], args, {"--ccitt"}, -1, p, status)) return status;
  return EachFile(p, [&](TStream& in) {
    std::vector<uint8_t> buf(kBlock);
    uint16_t crc = p.ccitt ? 0xFFFF : 0x0000;
    for (int64_t n; (n = in.Read(buf.data(), kBlock)) > 0;)
      crc = UpdateCRC16(crc, {buf.data(), static_cast<size_t>(n)});
    return Hex(crc, 4);
  });
}

int Crc32(const Args& args) {
  Parsed p;
  int status = kOk;
  if (!ParseArgs(kCommands[1], args, {}, -1, p, status)) return status;
  return EachFile(p, [&](TStream& in) {
    std::vector<uint8_t> buf(kBlock);
    uint32_t state = 0xFFFFFFFFu;
    for (int64_t n; (n = in.Read(buf.data(), kBlock)) > 0;)
      state = UpdateCRC32(state, {buf.data(), static_cast<size_t>(n)});
    return Hex(~state, 8);
  });
}

int Sha1(const Args& args) {
  Parsed p;
  int status = kOk;
  if (!ParseArgs(kCommands[2], args, {}, -1, p, status)) return status;
  return EachFile(p, [](TStream& in) { return ToUtf8(SHA1DigestToHex(SHA1FromStream(in))); });
}

// The text filters: encode, or decode and turn a non-zero result into a
// message (nullptr: no error).
int TextCodec(const Command& cmd, const Args& args, void (*encode)(TStream&, TStream&, bool),
              int (*decode)(TStream&, TStream&), const char* (*error_text)(int)) {
  Parsed p;
  int status = kOk;
  if (!ParseArgs(cmd, args, {"-d", "--no-wrap"}, 1, p, status)) return status;
  const auto in = OpenInput(p.files[0]);
  if (!in) return kFailure;
  FdStream out(1, false);
  if (!p.decode) {
    encode(*in, out, !p.no_wrap);
    return kOk;
  }
  const char* error = error_text(decode(*in, out));
  return error ? Fail(std::string(cmd.name) + ": " + error) : kOk;
}

int Base64(const Args& args) {
  return TextCodec(kCommands[3], args, EncodeBase64, DecodeBase64,
                   [](int r) { return r != 0 ? "invalid input" : nullptr; });
}

int Ascii85(const Args& args) {
  return TextCodec(kCommands[4], args, EncodeASCII85, DecodeASCII85, [](int r) {
    return r == -1   ? "invalid input: a character outside '!'..'u'"
           : r == -2 ? "invalid input: 'z' inside a group"
                     : nullptr;
  });
}

int Rle(const Args& args) {
  Parsed p;
  int status = kOk;
  if (!ParseArgs(kCommands[5], args, {"-d"}, 1, p, status)) return status;
  const auto in = OpenInput(p.files[0]);
  if (!in) return kFailure;
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
  for (int64_t n; (n = in->Read(buf.data(), kBlock)) > 0;) {
    if (p.decode) {
      for (int64_t i = 0; i < n; ++i) rle.Decode(buf[static_cast<size_t>(i)]);
    } else {
      rle.Encode(buf.data(), static_cast<int>(n));
    }
    drain();
  }
  int n;
  if (p.decode) {
    while ((n = rle.FlushResult(block.data())) > 0) out.WriteBuffer(block.data(), n);
    if (rle.DecodeSt() != rlData) return Fail("rle: input ends inside a run triple");
  } else {
    do {
      n = rle.Finish(block.data());
      out.WriteBuffer(block.data(), n);
    } while (n == rle.BufLeng());
  }
  return kOk;
}

const CommandGroup kGroup(81, kCommands);

}  // namespace
}  // namespace zel::cli
