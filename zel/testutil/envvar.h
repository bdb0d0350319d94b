// zel/testutil/envvar.h — an environment variable set (or unset) for one
// scope.  Test-only: not part of the installed library.
//
//   zel::testutil::EnvVar tmp("TMPDIR", "/var/tmp");
//   zel::testutil::EnvVar none("DISPLAY", std::nullopt);
#ifndef ZEL_TESTUTIL_ENVVAR_H_
#define ZEL_TESTUTIL_ENVVAR_H_

#include <stdlib.h>

#include <optional>
#include <string>

namespace zel::testutil {

#if defined(_WIN32)
// The C runtime's _putenv_s sets the process environment too (an empty
// value removes the variable), which the library reads.
inline int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif

class EnvVar {
 public:
  EnvVar(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvVar() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_ENVVAR_H_
