#include "platform/FontConfiguration.h"

namespace tolvane {

// Windows keeps its fonts' list in the system, ready for every program.
void loadFontConfiguration() {}

bool defaultFontShowsChinese() {
    return false;
}

// Microsoft YaHei since Vista; SimSun on every Chinese Windows before it.
std::vector<std::string> chineseFontFamilies() {
    return {"Microsoft YaHei", "SimSun", "NSimSun"};
}

}  // namespace tolvane
