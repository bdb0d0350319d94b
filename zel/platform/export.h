// zel/platform/export.h — what the shared library exports.
//
// The library is compiled with hidden visibility by default, so only what a
// user can reach through the installed headers ends up in its dynamic
// symbol table.  Export is decided per namespace opening, not per
// declaration: every opening of `zel` in the library's headers and sources
// carries `ZEL_EXPORT`, and every opening of `zel::detail` either carries
// `ZEL_HIDDEN` (when nested in an opening of `zel`) or is written
// `namespace zel::detail {`, which the hidden default covers:
//
//   #include "zel/platform/export.h"
//
//   namespace ZEL_EXPORT zel {
//   String Trimmed(StringView S);          // exported
//   namespace ZEL_HIDDEN detail {
//   int Helper();                          // library-internal
//   }  // namespace detail
//   }  // namespace zel
//
// Both openings matter: GCC takes a function's visibility from its first
// declaration (the header), clang from the namespace around its definition
// (the source).  `tools/check_tree.py exports` checks the rule and
// `tools/check_tree.py exports --fix` applies it to new files.
//
// Nothing else carries ZEL_EXPORT: internals stay hidden.  Tests link the
// library's objects and reach them directly; tools/check_symbols.py
// compares what the built libraries export with tools/exports/.
#ifndef ZEL_PLATFORM_EXPORT_H_
#define ZEL_PLATFORM_EXPORT_H_

#if defined(_WIN32)
// A Windows DLL has no symbol visibility, and `dllexport` does not apply
// to a namespace: the DLL exports every external name of the library
// (`--export-all-symbols`, CMakeLists.txt), and programs reach its
// functions through the import library and its variables through MinGW's
// automatic import.
#define ZEL_EXPORT
#define ZEL_HIDDEN
#else
#define ZEL_EXPORT [[gnu::visibility("default")]]
#define ZEL_HIDDEN [[gnu::visibility("hidden")]]
#endif

#endif  // ZEL_PLATFORM_EXPORT_H_
