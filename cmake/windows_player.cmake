# The 32-bit Windows player, cross-built with MinGW-w64 (the windows-i686 preset) into a tree
# of its own inside this build, so that `slidepack build --for windows` and the app make a
# Windows .scr from Linux. The Wine tests build their programs in the same tree: CI builds the
# player once. The sanitizer and fuzz builds leave it to the release.
find_program(SLIDESAVER_MINGW_CXX NAMES i686-w64-mingw32-g++-win32 i686-w64-mingw32-g++)
set(windows_player_default OFF)
if(SLIDESAVER_MINGW_CXX AND NOT SLIDESAVER_SANITIZE AND NOT SLIDESAVER_FUZZ)
  set(windows_player_default ON)
endif()
option(SLIDESAVER_WINDOWS_PLAYER "Cross-build the 32-bit Windows player with MinGW-w64"
  ${windows_player_default})
# Where the Windows tree is; the Wine tests use it whether this build makes the player or not.
set(SLIDESAVER_WINDOWS_BUILD ${CMAKE_BINARY_DIR}/windows-i686)

if(SLIDESAVER_WINDOWS_PLAYER)
  # The tree's own build decides what is out of date: this only asks it every time.
  add_custom_target(windows-player ALL
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/cross-build-windows.sh ${SLIDESAVER_WINDOWS_BUILD}
      slidesaver
    BYPRODUCTS ${SLIDESAVER_WINDOWS_BUILD}/slidesaver.scr
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    USES_TERMINAL
    COMMENT "Cross-building the 32-bit Windows player (${SLIDESAVER_WINDOWS_BUILD})")
endif()
