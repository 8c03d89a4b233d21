#pragma once

// This process, as the system numbers it: written into the one-ringer lock so that a second
// ringer can say which process rings.

namespace tolvane {

long currentProcessId();

}  // namespace tolvane
