// zel/testutil/symlink.h — a symbolic link made through the library and
// checked to be there, for tests that need links where a host may have
// none.  Test-only: not part of the installed library.
//
//   const bool links = zel::testutil::MakeSymLink(dir.Path("secret"), dir.Path("ln"));
//
// Windows makes links only with a privilege (or in developer mode), and
// Wine's CreateSymbolicLinkW answers success and makes nothing, so the link
// is looked for after it was made.
#ifndef ZEL_TESTUTIL_SYMLINK_H_
#define ZEL_TESTUTIL_SYMLINK_H_

#include "zel/platform/hostfs.h"

namespace zel::testutil {

// True when `link` now is a symbolic link (to `target`, as made).
inline bool MakeSymLink(StringView target, StringView link) {
  TFileInfo info;
  return CreateSymLink(target, link) && GetFileInfo(link, info, /*FollowLink=*/false) &&
         (info.Attr & faSymLink) != 0;
}

}  // namespace zel::testutil

#endif  // ZEL_TESTUTIL_SYMLINK_H_
