// The open/save dialog and the folder dialog as the player uses them.
#pragma once

#include <string>
#include <string_view>

namespace qmb {

// "Desc|*.a;*.b|Desc2|*.c" → "Desc (*.a *.b);;Desc2 (*.c)". A description that
// already ends in a parenthesised pattern list keeps its words.
std::string ConvertFilter(std::string_view filter);

// The chosen path, or empty when cancelled. When several files come back the
// result is their folder and names joined with ", ".
std::string FileDialog(const std::string& title, const std::string& filter, bool save,
                       const std::string& initialFolder, const std::string& defaultExtension);

// The chosen folder, or empty when cancelled.
std::string ChooseFolder(const std::string& title, int options, const std::string& initialFolder);

}  // namespace qmb
