#include <unistd.h>

#include "platform/Process.h"

namespace tolvane {

long currentProcessId() {
    return static_cast<long>(::getpid());
}

}  // namespace tolvane
