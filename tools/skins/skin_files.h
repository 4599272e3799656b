// The files of a skin folder: skin.ini, the picture, the stage region files
// and readme.txt, written from a design and the painted picture.
#pragma once

#include <string>

#include "tools/skins/skin_art.h"
#include "tools/skins/skin_design.h"

namespace qmb::skins {

inline constexpr char kPictureName[] = "main.bmp";

std::string SkinIniText(const SkinDesign& design, const SkinSpots& spots);

// One "x,y" vertex per line; no line feed after the last vertex, so a reader
// that stops only after a failed read cannot add a stray (0, 0) vertex.
std::string RegionText(const std::vector<Point>& polygon);

// Paints the skin and writes its folder `parent`/design.folder; each file is
// replaced atomically. False when a file could not be written.
bool WriteSkinFolder(const SkinDesign& design, const std::string& parent);

}  // namespace qmb::skins
