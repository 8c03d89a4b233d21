#pragma once

#include "X11HotKey.h"

namespace tolvane {
using PlatformHotKey = X11HotKey;
}
