# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Programs built this way run here through Wine: ctest starts them with it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QM_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER   NAMES ${QM_MINGW_PREFIX}-gcc-posix ${QM_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QM_MINGW_PREFIX}-g++-posix ${QM_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER  NAMES ${QM_MINGW_PREFIX}-windres REQUIRED)

# Libraries built for Windows (tools/build-deps.sh windows) are searched too.
set(QUILLMAR_WINDOWS_DEPS "$ENV{QUILLMAR_WINDOWS_DEPS}" CACHE PATH "Prefix of the libraries built for Windows")
set(CMAKE_FIND_ROOT_PATH /usr/${QM_MINGW_PREFIX} ${QUILLMAR_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

find_program(QM_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QM_WINE NAMES wine64 wine)
if(QM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QM_WINE})
endif()
