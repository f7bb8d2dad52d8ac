# The second Windows toolchain: clang for the MinGW-w64 target, with the same
# MinGW-w64 headers, C++ library and resource compiler as the GCC builds, and
# LLVM's linker. It builds everything the GCC builds do; nothing here runs its
# output, it only keeps code that GCC alone accepts from landing. Each target's
# file sets MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR first.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-target.cmake)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_PREFIX})

# Debian names GCC's folders "12-posix" and "12-win32", which clang's driver
# does not recognise as versions, so it finds neither GCC's C++ headers nor its
# libraries by itself: ask the GCC of the same target where they are.
execute_process(
  COMMAND ${MINGW_PREFIX}-g++-posix -print-libgcc-file-name
  OUTPUT_VARIABLE gcc_libgcc
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE gcc_found)
if(NOT gcc_found EQUAL 0)
  message(FATAL_ERROR "${MINGW_PREFIX}-g++-posix is missing: scripts/setup.sh installs it")
endif()
get_filename_component(gcc_dir "${gcc_libgcc}" DIRECTORY)
set(gcc_cxx "${gcc_dir}/include/c++")

# (The folders it would look in instead hold no C++ headers: these come first.)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${gcc_cxx} ${gcc_cxx}/${MINGW_PREFIX} ${gcc_cxx}/backward)
# -B finds GCC's crtbegin.o and crtend.o; -pthread links the threads library
# that this C++ library (the POSIX-threads flavour, as in the GCC builds) needs.
# Executables and DLLs alike.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -B${gcc_dir} -L${gcc_dir} -pthread")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
