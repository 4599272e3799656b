// The skin information box of the control panel: filled from a skin folder's
// readme.txt, with the two messages for a readme that cannot be shown.
#pragma once

#include <string>

#include "core/control_models.h"

namespace qmb {

extern const char* const kNoSkinInfoText;

// Puts the whole text of folderPath + "readme.txt" into `infoBox`, or
// kNoSkinInfoText when there is none. A readme that is empty or cannot be
// opened is reported in a message box and the box keeps its text.
void ShowSkinInfo(const std::string& folderPath, EditModel& infoBox);

}  // namespace qmb
