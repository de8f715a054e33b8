# Cross-compiles for 32-bit Windows with MinGW-w64 (the point-of-sale hosts
# that load the component are 32-bit). Programs and libraries are linked
# statically so they need only the system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KAVROLIN_MINGW_TRIPLE i686-w64-mingw32)
# The posix thread model: std::thread and std::mutex need it with GCC 12.
find_program(CMAKE_C_COMPILER NAMES ${KAVROLIN_MINGW_TRIPLE}-gcc-posix ${KAVROLIN_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KAVROLIN_MINGW_TRIPLE}-g++-posix ${KAVROLIN_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KAVROLIN_MINGW_TRIPLE}-windres REQUIRED)
find_program(KAVROLIN_WIDL NAMES ${KAVROLIN_MINGW_TRIPLE}-widl widl)

set(CMAKE_FIND_ROOT_PATH /usr/${KAVROLIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic, not the x87 unit: x87 keeps a float in 80 bits until it is
# stored, so a product cast to float before a floor (the scrambling's key
# stream) could round differently from the 64-bit and Linux builds.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine (see the check-windows target of the Makefile).
find_program(KAVROLIN_WINE NAMES wine)
if(KAVROLIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KAVROLIN_WINE})
endif()
