# The player itself: the Qt composition root of app/ with the windows of ui/,
# over qmb_player_core (player_core.cmake).
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network)

add_library(qmb_ui STATIC
  ${CMAKE_SOURCE_DIR}/ui/control_factory.cpp
  ${CMAKE_SOURCE_DIR}/ui/menus.cpp
  ${CMAKE_SOURCE_DIR}/ui/qt_desktop.cpp
)
target_link_libraries(qmb_ui PUBLIC qmb_app_core Qt6::Widgets)

add_library(qmb_player STATIC
  exit_signals.cpp
  plugin_host.cpp
  instance_channel.cpp
  startup.cpp
)
target_link_libraries(qmb_player PUBLIC qmb_ui qmb_skin_ui qmb_player_core qmb_app_core
                      Qt6::Widgets Qt6::Network)

add_executable(QMB main.cpp)
target_link_libraries(QMB PRIVATE qmb_player)
set_target_properties(QMB PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QMB_PROGRAM_FOLDER})
add_dependencies(QMB qmb_image)

# The help page the "QMB5 Help" command opens.
configure_file(${CMAKE_SOURCE_DIR}/docs/qmbhelp.html
               ${QMB_PROGRAM_FOLDER}/Documentation/qmbhelp.html COPYONLY)
