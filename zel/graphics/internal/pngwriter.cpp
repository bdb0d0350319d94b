#include "zel/graphics/internal/pngwriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "zel/platform/exceptions.h"

namespace zel::detail {
namespace {

// What the libpng callbacks share with WritePng.  libpng reports errors by
// longjmp, which must not cross C++ frames with live objects: the callbacks
// record what went wrong here and jump only from plain code.
struct PngSink {
  FileReplacement* out = nullptr;
  std::vector<unsigned char> buffer;  // gathers libpng's small writes into large ones
  size_t used = 0;
  bool write_failed = false;
  String write_error;
  char message[200] = {};  // libpng's error message
};

// Writes out the gathered bytes; false (with the save's message kept) when
// the save fails.
bool Drain(PngSink& sink) {
  if (sink.used == 0) return true;
  try {
    sink.out->Write(sink.buffer.data(), sink.used);
  } catch (const EInOutError& e) {
    sink.write_failed = true;
    sink.write_error = e.Message();
  }
  sink.used = 0;
  return !sink.write_failed;
}

void OnWrite(png_structp png, png_bytep data, size_t length) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  bool ok = true;
  while (ok && length > 0) {
    const size_t n = std::min(length, sink->buffer.size() - sink->used);
    std::memcpy(sink->buffer.data() + sink->used, data, n);
    sink->used += n;
    data += n;
    length -= n;
    if (sink->used == sink->buffer.size()) ok = Drain(*sink);
  }
  if (!ok) png_error(png, "write failed");
}

void OnFlush(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  std::strncpy(sink->message, message, sizeof sink->message - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// The encoding proper; holds nothing that needs destroying across libpng's
// longjmp.  `row` has room for 3 * width bytes.
bool Encode(png_structp png, png_infop info, const uint32_t* pixels, int width, int height,
            unsigned char* row) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, kPngCompressionLevel);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kPngFilters);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const uint32_t* in = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    unsigned char* out = row;
    for (int x = 0; x < width; ++x) {
      const uint32_t c = in[x];
      out[0] = static_cast<unsigned char>(c);
      out[1] = static_cast<unsigned char>(c >> 8);
      out[2] = static_cast<unsigned char>(c >> 16);
      out += 3;
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

void WritePng(FileReplacement& out, const String& file_name, const uint32_t* pixels, int width,
              int height) {
  PngSink sink;
  sink.out = &out;
  sink.buffer.resize(size_t{1} << 16);
  std::vector<unsigned char> row(size_t{3} * static_cast<size_t>(width));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, &OnError, &OnWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = info != nullptr;
  if (ok) {
    png_set_write_fn(png, &sink, &OnWrite, &OnFlush);
    ok = Encode(png, info, pixels, width, height, row.data()) && Drain(sink);
  }
  png_destroy_write_struct(&png, &info);
  if (ok) return;
  if (sink.write_failed) throw EWriteError(sink.write_error);
  throw EWriteError(u"Cannot write PNG file \"" + file_name + u"\": " +
                    (sink.message[0] != 0 ? FromUtf8(sink.message) : String(u"out of memory")));
}

}  // namespace zel::detail
