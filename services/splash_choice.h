// Which splash picture a start shows, and the opacity steps of its fades.
#pragma once

#include <string>
#include <vector>

#include "core/image_library.h"

namespace qmb {

constexpr const char* kSplashFolderName = "Splash/";

// One entry of `folder` (files and folders alike, but "." and ".."), picked
// with the random sequence seeded from the up-time in whole seconds; empty
// when the folder has none.
std::string RandomFileName(const std::string& folder);

// The picture a start shows from program folder + "Splash/"; null, after
// the error message, when there is none or it is no picture.
Picture ChooseSplashPicture(const std::string& programFolder);

// Opacity 0, 5, ... 255 in, and 255, 245, ... 5 out.
std::vector<int> FadeInSteps();
std::vector<int> FadeOutSteps();
constexpr int kFadeInWaitMs = 5;
constexpr int kFadeOutWaitMs = 1;

}  // namespace qmb
