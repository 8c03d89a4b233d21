// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StartupMemory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tolvane {

void releaseStartupMemory() {
    // Every arena's free pages, not only those at the top of the main heap, which is all that
    // free() gives back by itself.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace tolvane
