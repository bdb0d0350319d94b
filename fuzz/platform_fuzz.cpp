// Fuzzes the platform's parsers of outside text: UTF-8 and Windows-1252
// decoding, and the locale-independent number conversions, checking the
// round trips that must hold for any input.
//
// Input layout: byte 0 picks a field width and byte 1 a precision for the
// float-to-text conversion; the rest is the text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "zel/platform/numconv.h"
#include "zel/platform/string.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool IsValidUtf8(std::string_view bytes) {
  // Valid exactly when decoding takes no byte as Windows-1252, which shows
  // as a different byte string after encoding again.
  return zel::ToUtf8(zel::FromUtf8(bytes)) == bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int width = data[0] % 40;
  const int precision = static_cast<int>(data[1] % 30) - 10;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

  // Decoding never yields an unpaired surrogate, so UTF-8 round-trips the
  // decoded text exactly.
  const zel::String text = zel::FromUtf8(bytes);
  Check(zel::FromUtf8(zel::ToUtf8(text)) == text);
  Check(text.size() <= bytes.size());
  if (IsValidUtf8(bytes)) Check(zel::ToUtf8(text) == bytes);

  // Every byte survives Windows-1252 both ways.
  Check(zel::StringToAnsi(zel::AnsiToString(bytes)) == bytes);
  const zel::ShortString short_string = zel::ToShortString(text);
  Check(short_string.Length() <= 255 && static_cast<size_t>(short_string.Length()) <= text.size());

  int64_t i64 = 0;
  if (zel::TryStrToInt64(text, i64)) {
    Check(zel::StrToInt64(zel::IntToStr(i64)) == i64);
  }
  // Decimal text that fits 32 bits reads the same at 64 bits (hexadecimal
  // text differs on purpose: it fills the unsigned width of its type).
  int32_t i32 = 0;
  const bool hex = text.find_first_of(u"$xX") != zel::String::npos;
  if (zel::TryStrToInt(text, i32) && !hex) {
    Check(zel::TryStrToInt64(text, i64) && i64 == i32);
  }

  double value = 0;
  if (zel::TryStrToFloat(text, value)) {
    const zel::String shortest = zel::FloatToStr(value);
    double back = 0;
    Check(zel::TryStrToFloat(shortest, back));
    Check(std::isnan(value) ? std::isnan(back) : back == value);

    const zel::String field = zel::FloatToText(value, width, precision);
    Check(field.size() >= static_cast<size_t>(width));
    if (precision < 0 && std::isfinite(value)) {
      Check(field.size() == static_cast<size_t>(width < 10 ? 10 : width));
    }
  }
  return 0;
}
