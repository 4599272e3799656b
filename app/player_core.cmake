# The player's logic above the application core: the parts of the running
# player, the command switchboard and the control interface. No Qt, so the
# sanitizer build tests it too.
add_library(qmb_player_core STATIC
  ${CMAKE_SOURCE_DIR}/app/control_interface.cpp
  ${CMAKE_SOURCE_DIR}/app/player_parts.cpp
  ${CMAKE_SOURCE_DIR}/app/switchboard.cpp
)
target_include_directories(qmb_player_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(qmb_player_core PUBLIC qmb_playback_logic qmb_plugins qmb_app_core)
