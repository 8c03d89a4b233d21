// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the desktop has a tray to put an icon in now: a StatusNotifierItem host (KDE, Xfce,
// LXQt, GNOME's AppIndicator extension) on the session bus, or an XEmbed tray on X11. The
// toolkit decides this once, at its first look, and keeps the answer: asked only when a tray is
// there, it sees a host that appeared after the program started.

namespace tolvane {

bool trayHostPresent();

}  // namespace tolvane
