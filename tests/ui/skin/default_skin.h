// The bundled Default skin as the widget tests use it: read from the program
// folder with its picture decoded and cut into pieces, and its controls
// placed on a main window of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>

#include "core/image_library.h"
#include "skin/skin_definition.h"
#include "ui/skin/skinned_controls.h"

namespace qmb {

class DefaultSkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadImageLibrary(QMB_PROGRAM_FOLDER "/"), 1); }
  void TearDown() override {
    controls.reset();
    ReleaseSkinObjects(skin);
  }
  // Reads the skin and places its controls on `main` at `at` (ASSERT-style).
  void PlaceSkin(QPoint at = {}, SkinControlHooks hooks = {}, SkinControlMenus menus = {},
                 SkinTipColours tips = {}) {
    const std::string folder = QMB_PROGRAM_FOLDER "/Skins/Default/";
    skin = ReadSkinDefinition(folder, tips);
    skin.skinImage = LoadPicture(folder + skin.graphicName);
    ASSERT_TRUE(skin.skinImage);
    CutSkinPictures(skin);
    main.setGeometry(QRect(at, QSize(skin.mainW, skin.mainH)));
    controls = std::make_unique<SkinControls>(&main, skin, state, displays, hooks, menus);
    controls->PlaceControls();
  }

  SkinDefinition skin;
  RunningState state;
  PlaybackDisplays displays;
  QWidget main;
  std::unique_ptr<SkinControls> controls;
};

}  // namespace qmb
