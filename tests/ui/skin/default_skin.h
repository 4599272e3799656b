// The bundled Default skin as the widget tests use it: read from the program
// folder with its picture decoded and cut into pieces.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/image_library.h"
#include "skin/skin_definition.h"

namespace qmb {

// Sets `skin` (ASSERT-style: a failure ends the calling test).
inline void ReadDefaultSkin(SkinDefinition& skin, SkinTipColours tips = {}) {
  const std::string folder = QMB_PROGRAM_FOLDER "/Skins/Default/";
  skin = ReadSkinDefinition(folder, tips);
  skin.skinImage = LoadPicture(folder + skin.graphicName);
  ASSERT_TRUE(skin.skinImage);
  CutSkinPictures(skin);
}

}  // namespace qmb
