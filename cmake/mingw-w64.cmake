# Cross compiling for Windows with Debian's MinGW-w64 (the POSIX-threads variant, which the
# standard library's threads and GoogleTest need). Programs built here run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One self-contained executable: no DLL beyond those every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
find_program(NAVELO_WINE wine)
if(NAVELO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NAVELO_WINE})
endif()
# GCC 12 reports std::string's own copies as overlapping at -O2 and above (a known false
# positive of -Wrestrict in the standard library's inlined code).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
