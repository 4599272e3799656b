# Playing entries: routes, transport, the position timer and navigation.
add_library(qmb_playback_logic STATIC
  ${CMAKE_SOURCE_DIR}/playback/play_path.cpp
  ${CMAKE_SOURCE_DIR}/playback/playlist_navigation.cpp
  ${CMAKE_SOURCE_DIR}/playback/position_timer.cpp
  ${CMAKE_SOURCE_DIR}/playback/transport.cpp
)
target_include_directories(qmb_playback_logic PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(qmb_playback_logic PUBLIC qmb_playback qmb_playlist qmb_tags qmb_eq qmb_vis
                      qmb_engine qmb_app_core)
