# The screenshots the AppStream metainfo shows, taken by the headless player from the
# generated data (the same pictures on every machine), installed in share/vorlane/screenshots.
# The metainfo links them under the home page (VORLANE_HOMEPAGE/screenshots/NAME.png),
# where they are published with it.
if(NOT VORLANE_DATA OR NOT TARGET vorlane-play)
  return()
endif()

set(VORLANE_SHOTS ${CMAKE_BINARY_DIR}/screenshots)
set(VORLANE_SHOT_FILES ${VORLANE_SHOTS}/main-menu.png ${VORLANE_SHOTS}/car-selection.png ${VORLANE_SHOTS}/race.png)
# The player runs in a folder of its own that links the generated pictures and songs, so
# the controls file it writes on its first start stays out of the repository's Data/Save.
set(VORLANE_SHOT_GAME ${VORLANE_SHOTS}/game)
add_custom_command(
  OUTPUT ${VORLANE_SHOT_FILES}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VORLANE_SHOT_GAME}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORLANE_SHOT_GAME}/Data
  COMMAND ${CMAKE_COMMAND} -E create_symlink ${VORLANE_DATA_ROOT}/Data/Res ${VORLANE_SHOT_GAME}/Data/Res
  COMMAND ${CMAKE_COMMAND} -E create_symlink ${VORLANE_DATA_ROOT}/Data/Music ${VORLANE_SHOT_GAME}/Data/Music
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software
          $<TARGET_FILE:vorlane-play> --data ${VORLANE_SHOT_GAME}
          --script ${CMAKE_SOURCE_DIR}/packaging/screenshots.play --frames 451
          --shot 95:${VORLANE_SHOTS}/main-menu.png --shot 118:${VORLANE_SHOTS}/car-selection.png
          --shot 450:${VORLANE_SHOTS}/race.png
  DEPENDS vorlane-play ${CMAKE_BINARY_DIR}/data.stamp ${CMAKE_SOURCE_DIR}/packaging/screenshots.play
  COMMENT "Taking the screenshots of the metainfo")
add_custom_target(screenshots ALL DEPENDS ${VORLANE_SHOT_FILES})
install(FILES ${VORLANE_SHOT_FILES} DESTINATION ${VORLANE_INSTALL_DATA}/screenshots)
