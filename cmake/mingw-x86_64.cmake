# Cross-compiles for 64-bit Windows with MinGW-w64. The product is the 32-bit
# build (mingw-i686); this one exists so the component and its clients can be
# proven under a Wine that cannot run 32-bit code (a kernel without 32-bit
# emulation). Same settings as the 32-bit tool chain otherwise.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KAVROLIN_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${KAVROLIN_MINGW_TRIPLE}-gcc-posix ${KAVROLIN_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KAVROLIN_MINGW_TRIPLE}-g++-posix ${KAVROLIN_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KAVROLIN_MINGW_TRIPLE}-windres REQUIRED)
find_program(KAVROLIN_WIDL NAMES ${KAVROLIN_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${KAVROLIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under the 64-bit Wine loader: the plain `wine` command
# picks the 32-bit one when both are installed.
find_program(KAVROLIN_WINE64 NAMES wine64 PATHS /usr/lib/wine)
if(KAVROLIN_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KAVROLIN_WINE64})
endif()
