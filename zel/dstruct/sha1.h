// zel/dstruct/sha1.h — the SHA-1 message digest over a string, a stream
// or a file, and its hexadecimal form.
//
//   zel::TStringStream s("abc");
//   zel::SHA1DigestToHex(zel::SHA1FromStream(s));
//       // u"A9993E364706816ABA3E25717850C26C9CD0D89D"; s is left at its end
//   zel::SHA1DigestToHex(zel::SHA1FromString(u"abc"));   // the same
//   zel::SHA1FromFile(u"data.bin");    // EFOpenError if it cannot be opened
//
// Bytes held anywhere are hashed as they are, without a stream:
//
//   zel::SHA1DigestToHex(zel::SHA1("abc"));          // the same digest
//   zel::SHA1(std::as_bytes(std::span(blob)));       // a span of std::byte
//   zel::SHA1(data);                                 // a TBytes / uint8_t span
//
// (Code that also includes OpenSSL's <openssl/sha.h> inside namespace zel
// reaches OpenSSL's function as `::SHA1`.)
//
// `SHA1FromString` hashes the UTF-8 form of the string, so for ASCII text
// the digest is the one `sha1sum` gives for the same text (and for any text
// the one of its UTF-8 bytes).  Unpaired surrogates are encoded as
// `ToUtf8` encodes them.
//
// `SHA1FromStream` reads from the current position to the end (until a
// read returns nothing), in blocks; read errors of the stream pass to the
// caller.  `TSHA1` digests data given in pieces, for callers that are not
// streams:
//
//   zel::TSHA1 h;
//   h.Update(part1, n1);
//   h.Update(part2, n2);
//   zel::TSHACode d = h.Final();       // the object is wiped and restarted
//
// The processor's SHA instructions are used when present (see
// cpufeatures.h), a portable version otherwise; the digests are the same.
// The context is wiped to zeros once the digest is produced.
#ifndef ZEL_DSTRUCT_SHA1_H_
#define ZEL_DSTRUCT_SHA1_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "zel/platform/stream.h"
#include "zel/platform/string.h"

namespace zel {

// The digest: the big-endian words H0..H4 one after the other.
using TSHACode = std::array<uint8_t, 20>;

class TSHA1 {
 public:
  TSHA1() noexcept { Restart(); }
  ~TSHA1();
  TSHA1(const TSHA1&) = delete;
  TSHA1& operator=(const TSHA1&) = delete;

  void Update(const void* data, size_t n) noexcept;
  // Pads, produces the digest, wipes the context and starts afresh.
  TSHACode Final() noexcept;

 private:
  void Restart() noexcept;

  uint32_t h_[5];
  uint64_t bits_;
  uint8_t block_[64];
  size_t used_;
};

TSHACode SHA1FromString(StringView S);
TSHACode SHA1FromStream(TStream& Stream);
TSHACode SHA1FromFile(const String& FName);
// The digest of these bytes as they are (a `std::string_view` is not
// re-encoded: UTF-8 text gives the digest of its UTF-8 bytes).
inline TSHACode SHA1(std::span<const std::byte> Bytes) noexcept {
  TSHA1 h;
  h.Update(Bytes.data(), Bytes.size());
  return h.Final();
}
inline TSHACode SHA1(std::span<const uint8_t> Bytes) noexcept { return SHA1(std::as_bytes(Bytes)); }
inline TSHACode SHA1(std::string_view Bytes) noexcept {
  return SHA1(std::span<const std::byte>(reinterpret_cast<const std::byte*>(Bytes.data()), Bytes.size()));
}
// 40 upper-case hexadecimal digits, two per byte, high nibble first.
String SHA1DigestToHex(const TSHACode& Digest);

namespace detail {
// Compress `blocks` 64-byte blocks into the chaining words `h`.  The SHA-NI
// kernel may only be called when CpuHasShaNi() is true.
void Sha1BlocksPortable(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept;
void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept;
}  // namespace detail

}  // namespace zel

#endif  // ZEL_DSTRUCT_SHA1_H_
