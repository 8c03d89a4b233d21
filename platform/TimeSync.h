// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's time synchronisation, as a user may switch it on (Linux: systemd-timedated over the
// system bus). The program never sets the clock; it only offers to let the system keep it right.
// Both calls return at once and answer later, on the calling thread's event loop.

#include <functional>
#include <string>

namespace tolvane {

// answer(true) when the system's time synchronisation is off and can be turned on (timedated
// runs or can be started, and has an NTP service to start); false when it is on, or the system
// does not tell (no system bus, no timedated, Windows).
void askTimeSyncOffer(std::function<void(bool)> answer);

// Turns the system's time synchronisation on, interactively: polkit may ask the user for an
// administrator's password. done gets an empty text when it was turned on, else why not.
void turnOnTimeSync(std::function<void(const std::string& refusal)> done);

}  // namespace tolvane
