# What every Windows toolchain file here shares, whichever compiler it names:
# the MinGW-w64 target of MINGW_PREFIX, its headers and libraries, its resource
# compiler, and Wine to run what is built.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
