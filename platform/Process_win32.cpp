#include <windows.h>

#include "platform/Process.h"

namespace tolvane {

long currentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

}  // namespace tolvane
