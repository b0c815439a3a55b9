# What `cmake --install` puts into the prefix on Linux: the player and slidepack, their man
# pages, the description xscreensaver 6 reads to offer the player, and the demo show. A Debian
# package of the same comes from `cpack -G DEB` in the build folder.
include(GNUInstallDirs)

install(TARGETS slidesaver slidepack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# slidesaver --idle finds its watcher there from its own folder (see ExecIdleWatcher).
install(TARGETS slidesaver-idle RUNTIME DESTINATION libexec/slidesaver)
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/slidesaver.1 ${CMAKE_SOURCE_DIR}/docs/man/slidepack.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/data/xscreensaver/slidesaver.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
# The player plays it when given no show (see InstalledDemoShow): keep the two paths together.
install(PROGRAMS ${CMAKE_BINARY_DIR}/demo/demo.scr DESTINATION ${CMAKE_INSTALL_DATADIR}/slidesaver)

set(CPACK_PACKAGE_NAME slidesaver)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "slide-show screen saver and its authoring tool")
set(CPACK_PACKAGE_CONTACT "slidesaver developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver, timgm6mb-soundfont")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
