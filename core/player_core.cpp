#include "core/player_core.h"

namespace qmb {

PlayerCore& ThePlayer() {
  static PlayerCore player;
  return player;
}

}  // namespace qmb
