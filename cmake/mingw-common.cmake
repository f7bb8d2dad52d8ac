# The part of the MinGW-w64 toolchain files that both Windows targets share;
# each sets MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR first. Posix threads,
# which GoogleTest needs; built test programs run under Wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-target.cmake)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
