#include "platform/DisplaySession.h"

namespace tolvane {

bool hasDisplay() {
    return true;
}

void prepareDisplayConnection() {}

}  // namespace tolvane
