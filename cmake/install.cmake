# What `cmake --install` puts into the prefix on Linux: the player and slidepack, their man
# pages, the descriptions xscreensaver 6 and MATE's screen saver read to offer the player, the
# idle watcher, the demo show and the Windows player for Windows shows. A Debian
# package of the same comes from `cpack -G DEB` in the build folder.
include(GNUInstallDirs)

install(TARGETS slidesaver slidepack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# slidesaver --idle finds its watcher there from its own folder (see ExecIdleWatcher).
install(TARGETS slidesaver-idle RUNTIME DESTINATION libexec/slidesaver)
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/slidesaver.1 ${CMAKE_SOURCE_DIR}/docs/man/slidepack.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/data/xscreensaver/slidesaver.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
# MATE's screen saver offers the player as a theme and runs it in its window
# (XSCREENSAVER_WINDOW, which --root reads). It runs only programs in the folders of screen-saver
# programs it knows, /usr/libexec/xscreensaver among them: the player is linked there (so the
# theme plays with the prefix /usr). The theme's line of description is the first sentence of
# xscreensaver's.
file(READ ${CMAKE_SOURCE_DIR}/data/xscreensaver/slidesaver.xml xscreensaver_description)
string(REGEX MATCH "<_description>[ \n]*([^.]*\\.)" _ "${xscreensaver_description}")
string(REGEX REPLACE "[ \n]+" " " SLIDESAVER_SUMMARY "${CMAKE_MATCH_1}")
configure_file(${CMAKE_SOURCE_DIR}/data/mate/slidesaver.desktop.in
  ${CMAKE_BINARY_DIR}/data/mate/slidesaver.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/mate/slidesaver.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
# The link names the installed player by its full path (the prefix is known at install time).
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver/slidesaver\")
  message(STATUS \"Installing: \${link}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver\")
  file(CREATE_LINK \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/slidesaver\" \"\${link}\"
    SYMBOLIC)")
# The idle watcher as a systemd user service (systemctl --user enable --now slidesaver-idle),
# written at install time with the installed player's path.
install(CODE "
  set(PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(unit \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/slidesaver-idle.service\")
  message(STATUS \"Installing: \${unit}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/data/systemd/slidesaver-idle.service.in\" \"\${unit}\" @ONLY)")
# The player plays it when given no show (see InstalledDemoShow): keep the two paths together.
install(PROGRAMS ${CMAKE_BINARY_DIR}/demo/demo.scr DESTINATION ${CMAKE_INSTALL_DATADIR}/slidesaver)
# The Windows player, which `slidepack build --for windows` and the app make Windows shows of
# (see tools/slidepack/players.cpp): a Windows program, not one to run here.
if(SLIDESAVER_WINDOWS_PLAYER)
  install(FILES ${SLIDESAVER_WINDOWS_BUILD}/slidesaver.scr
    DESTINATION ${CMAKE_INSTALL_DATADIR}/slidesaver/windows)
endif()

set(CPACK_PACKAGE_NAME slidesaver)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "slide-show screen saver and its authoring tool")
set(CPACK_PACKAGE_CONTACT "slidesaver developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver, timgm6mb-soundfont")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
