// zel/graphics/internal/lsan_suppressions.h — include in exactly one source
// file of a program built with AddressSanitizer that uses fonts: fontconfig
// loses a few hundred bytes while it parses the system's configuration
// (inside its XML callbacks), which LeakSanitizer would report at exit.
// Only that library's allocations are exempted.
#ifndef ZEL_GRAPHICS_INTERNAL_LSAN_SUPPRESSIONS_H_
#define ZEL_GRAPHICS_INTERNAL_LSAN_SUPPRESSIONS_H_

#if defined(__SANITIZE_ADDRESS__)
#define ZEL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEL_ASAN 1
#endif
#endif

#ifdef ZEL_ASAN
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

#endif  // ZEL_GRAPHICS_INTERNAL_LSAN_SUPPRESSIONS_H_
