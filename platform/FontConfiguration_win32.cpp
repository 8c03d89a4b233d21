#include "platform/FontConfiguration.h"

namespace tolvane {

// Windows keeps its fonts' list in the system, ready for every program.
void loadFontConfiguration() {}

bool defaultFontShowsChinese() {
    return true;
}

}  // namespace tolvane
