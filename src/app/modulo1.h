#pragma once

namespace Modulo1 {

// The start-up routine: creates whichever preference file is missing, reads
// both, and shows the resolution chooser or the main window they name.
void Main();

}  // namespace Modulo1
