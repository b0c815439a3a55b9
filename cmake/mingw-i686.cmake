# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
# The win32 thread model: GCC 12's libstdc++ then has no std::thread or std::mutex (the player
# needs neither), but it also leaves out winpthread, whose calls need Windows Vista
# (GetTickCount64); thread_local and thread-safe statics use the Win32 TLS and critical
# sections Windows XP has. The GCC and C++ run-times are linked statically, so the program
# needs no DLL beyond Windows' own; tests/windows/check-xp-imports.sh holds it to Windows XP.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(MINGW_PREFIX i686-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${MINGW_PREFIX}-gcc-win32 ${MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_PREFIX}-g++-win32 ${MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release programs carry no symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
# GCC 12 for 32-bit targets reports a false -Wrestrict inside libstdc++'s string code at -O3
# (appending std::to_string results); the warning says nothing about our code there.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
