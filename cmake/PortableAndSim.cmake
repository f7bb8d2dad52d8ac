# The portable code and the simulated desktop, from the main build's own lists,
# for a project that builds them with flags of its own: the fuzz targets (clang
# with libFuzzer) and the soak (sanitizers). Include it after setting the flags.
set(VERUVO_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
include_directories(${VERUVO_ROOT})

add_library(veruvo_portable OBJECT)
foreach(part framework store engine ui tests/sim)
  add_subdirectory(${VERUVO_ROOT}/${part} ${CMAKE_BINARY_DIR}/veruvo/${part})
endforeach()
