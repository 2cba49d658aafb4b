# Cross-compiles for 64-bit Windows with MinGW-w64 (the POSIX thread model, so
# that std::thread and std::mutex exist) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORX_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW sysroot only, never from the build host.
set(CMAKE_FIND_ROOT_PATH /usr/${ORX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 reports -Wrestrict falsely inside std::string's inlined operator+ at -O2.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Every module carries its own C++ runtime and thread library, so Wine needs
# nothing but the modules themselves.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# CTest (and test discovery) start every Windows program under Wine, in a
# Wine prefix of the build's own so that nothing outside the build is touched.
find_program(ORX_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(ORX_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
                                        WINEDLLOVERRIDES=mscoree,mshtml=
                                        ${ORX_WINE64})
endif()
