#include <unistd.h>

#include "platform/Process.h"

namespace tolvane {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

}  // namespace tolvane
