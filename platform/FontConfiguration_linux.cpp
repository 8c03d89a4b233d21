#include <fontconfig/fontconfig.h>

#include "platform/FontConfiguration.h"

namespace tolvane {

// FcInit keeps the configuration it reads as the process's current one; should the toolkit ask
// for it meanwhile, each thread reads it and fontconfig keeps whichever came first.
FontConfigurationLoad::FontConfigurationLoad() : m_reader([] { FcInit(); }) {}

FontConfigurationLoad::~FontConfigurationLoad() {
    m_reader.join();
}

}  // namespace tolvane
