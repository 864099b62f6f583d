# Cross-compiling for 64-bit Windows with MinGW-w64 (POSIX threads); the test
# programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORLEX_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ORLEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORLEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORLEX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORLEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their C and C++ runtimes (and winpthread), so that they run
# without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)

find_program(ORLEX_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(ORLEX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORLEX_WINE})
endif()
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw CACHE PATH "")
