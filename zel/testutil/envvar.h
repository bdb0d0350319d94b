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
