# `cmake --install` (any prefix): the game in bin/, its generated data with a marker
# file in share/vorlane/, the desktop entry, the icons of the hicolor theme and the
# AppStream metainfo in the places the desktop looks for them (the metainfo's screenshots
# come from cmake/Screenshots.cmake).
include(GNUInstallDirs)

set(VORLANE_APP_ID org.vorlane.Vorlane)
set(VORLANE_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/vorlane)

# The installed game finds its data relative to its own folder, so the install works
# under whatever prefix (and DESTDIR) it is put.
file(RELATIVE_PATH VORLANE_DATA_FROM_EXECUTABLE
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/vorlane)
target_compile_definitions(vorlane_persist PRIVATE
  VORLANE_DATA_FROM_EXECUTABLE="${VORLANE_DATA_FROM_EXECUTABLE}")

set(VORLANE_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
# Where the game's home page (the score server's "/") is published for the public, with the
# screenshots beside it in screenshots/: the metainfo links both.
set(VORLANE_HOMEPAGE "https://vorlane.example.org" CACHE STRING "The game's public home page (no trailing /)")
# The metainfo with the home page and the game's version filled in.
configure_file(${VORLANE_PACKAGING}/${VORLANE_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${VORLANE_APP_ID}.metainfo.xml
  @ONLY)
if(TARGET vorlane)
  install(TARGETS vorlane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The generated data (Data/Save, the saves of a game run from the repository, stays out).
install(DIRECTORY ${VORLANE_DATA_ROOT}/Data/Res ${VORLANE_DATA_ROOT}/Data/Music
  DESTINATION ${VORLANE_INSTALL_DATA}/Data)
install(FILES ${VORLANE_PACKAGING}/vorlane.installed DESTINATION ${VORLANE_INSTALL_DATA})
install(DIRECTORY ${VORLANE_DATA_ROOT}/Data/Icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${VORLANE_PACKAGING}/${VORLANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${VORLANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
