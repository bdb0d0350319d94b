// zel/platform/exceptions.h — the platform's exception classes.
//
// Every failure the library raises is an `Exception` (or a class derived from
// it) holding one message string.  `Message()` gives the UTF-16 text and
// `what()` its UTF-8 form, so a caller may catch `std::exception` as well:
//
//   try { stream.ReadBuffer(buf, 4); }
//   catch (const zel::EReadError& e) { std::cerr << e.what(); }
//
// `EInOutError` carries the error code of a failed file operation: the
// operating system's `errno`, or one of the text-file codes of
// zel/platform/textfile.h (`ioInvalidNumber` and its neighbours).
#ifndef ZEL_PLATFORM_EXCEPTIONS_H_
#define ZEL_PLATFORM_EXCEPTIONS_H_

#include <exception>
#include <string>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class Exception : public std::exception {
 public:
  explicit Exception(String message);
  const String& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  String message_;
  std::string utf8_;
};

// A failed conversion: `Assign` between unrelated classes, text that is no
// number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Memory exhaustion reported by the platform itself.
class EOutOfMemory : public Exception {
 public:
  using Exception::Exception;
};

// Input/output error of a text or untyped file.
class EInOutError : public Exception {
 public:
  EInOutError(String message, int error_code)
      : Exception(std::move(message)), error_code_(error_code) {}
  // The system's errno value, or one of the text-file codes 100..106
  // (`ioReadError` .. `ioInvalidNumber`, zel/platform/textfile.h).
  int ErrorCode() const noexcept { return error_code_; }

 private:
  int error_code_;
};

// Stream errors: a short `ReadBuffer`/`WriteBuffer`, a file that cannot be
// opened or created.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_EXCEPTIONS_H_
