#include <fontconfig/fontconfig.h>

#include "platform/FontConfiguration.h"

namespace tolvane {

void loadFontConfiguration() {
    FcInit();
}

bool defaultFontShowsChinese() {
    return false;
}

}  // namespace tolvane
