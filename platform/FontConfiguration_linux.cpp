// SPDX-License-Identifier: GPL-3.0-or-later
#include <fontconfig/fontconfig.h>

#include "platform/FontConfiguration.h"

namespace tolvane {

void loadFontConfiguration() {
    FcInit();
}

bool defaultFontShowsChinese() {
    return false;
}

std::vector<std::string> chineseFontFamilies() {
    return {"WenQuanYi Zen Hei", "Noto Sans CJK SC", "SimSun"};
}

}  // namespace tolvane
