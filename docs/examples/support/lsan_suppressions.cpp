// Linked into the guide's drawing programs in sanitizer builds only:
// fontconfig keeps its configuration until the process ends, which
// LeakSanitizer would report as a leak of the program.
#include "zel/graphics/internal/lsan_suppressions.h"
