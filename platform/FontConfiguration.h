// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading the system's font configuration costs milliseconds at every start (on Linux, fontconfig
// parses its dozens of XML files and reads the font caches), and the window toolkit does it only
// when it first measures a text, after it has connected to the display. Called on a thread of its
// own as the program starts, it runs while the toolkit connects instead, and the toolkit finds it
// done. Should the toolkit ask meanwhile, each reads it and the first one read is kept.

#include <string>
#include <vector>

namespace tolvane {

void loadFontConfiguration();

// Whether the toolkit's default font shows Chinese. Neither does: Linux's (DejaVu Sans) has no
// Chinese, and each Chinese text in it makes the toolkit search the fonts for a stand-in; Windows'
// (Segoe UI) borrows Chinese through font linking, which Wine does with strokes missing.
bool defaultFontShowsChinese();

// The families to show Chinese in, best first; the toolkit takes the first one installed and its
// own default when none is. Windows lists only the installed ones (none: the toolkit's default).
std::vector<std::string> chineseFontFamilies();

}  // namespace tolvane
