// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tolvane {

// The page's one style sheet, served from the program itself (no inline styles: the page's
// Content-Security-Policy allows nothing but its own files).
const std::string& webStyleSheet();

}  // namespace tolvane
