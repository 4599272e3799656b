# placeholder until the player target lands
