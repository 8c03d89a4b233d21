#include <fontconfig/fontconfig.h>

#include "platform/FontConfiguration.h"

namespace tolvane {

void loadFontConfiguration() {
    FcInit();
}

}  // namespace tolvane
