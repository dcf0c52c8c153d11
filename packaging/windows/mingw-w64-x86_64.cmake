# Cross-building the core and taluna-check for 64-bit Windows with Debian's MinGW-w64
# (package g++-mingw-w64-x86-64-posix, whose runtime has std::thread):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=packaging/windows/mingw-w64-x86_64.cmake -DTALUNA_CORE_ONLY=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALUNA_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TALUNA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALUNA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALUNA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALUNA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests built for Windows are run under Wine when it is there.
find_program(TALUNA_WINE NAMES wine wine64)
if(TALUNA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALUNA_WINE})
endif()

# -O2 as in the tested Linux build rather than CMake's -O3 for Release. GCC 12 warns
# falsely of overlapping copies (-Wrestrict) inside std::string's operator+ once it is
# inlined, which MinGW's GCC 12 does at -O2 already: that warning is off here.
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
