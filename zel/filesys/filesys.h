// zel/filesys/filesys.h — the file system: paths and file names, text files.
#ifndef ZEL_FILESYS_FILESYS_H_
#define ZEL_FILESYS_FILESYS_H_

#include "zel/filesys/ascheader.h"
#include "zel/filesys/dirtree.h"
#include "zel/filesys/filecopy.h"
#include "zel/filesys/filedates.h"
#include "zel/filesys/paths.h"
#include "zel/filesys/savedialog.h"
#include "zel/filesys/sysinfo.h"
#include "zel/filesys/textfiles.h"
#include "zel/filesys/trash.h"

#endif  // ZEL_FILESYS_FILESYS_H_
