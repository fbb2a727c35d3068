# FluidSynth's headers, and the name under which its library is opened at run
# time (its SONAME): the player does not link it, so the forty libraries it
# brings load on the music's own thread instead of before main().
find_package(PkgConfig REQUIRED)
pkg_check_modules(FLUIDSYNTH REQUIRED fluidsynth)
find_library(FLUIDSYNTH_LIBRARY_FILE NAMES fluidsynth HINTS ${FLUIDSYNTH_LIBRARY_DIRS} REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/ReadSoname.cmake)
vorn_read_soname(VORN_FLUIDSYNTH_SONAME ${FLUIDSYNTH_LIBRARY_FILE})
# libpulse's headers: the music's own output opens the library at run time too.
pkg_check_modules(PULSE REQUIRED libpulse)

# Gives `target` FluidSynth's and libpulse's declarations and FluidSynth's name to open.
function(vorn_use_fluidsynth target)
  target_include_directories(${target} PRIVATE ${FLUIDSYNTH_INCLUDE_DIRS} ${PULSE_INCLUDE_DIRS})
  target_compile_definitions(${target} PRIVATE VORN_FLUIDSYNTH_SONAME="${VORN_FLUIDSYNTH_SONAME}")
  target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
endfunction()
