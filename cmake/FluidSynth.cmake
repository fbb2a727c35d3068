# FluidSynth's headers, and the name under which its library is opened at run
# time (its SONAME): the player does not link it, so the forty libraries it
# brings load on the music's own thread instead of before main().
find_package(PkgConfig REQUIRED)
pkg_check_modules(FLUIDSYNTH REQUIRED fluidsynth)
find_library(FLUIDSYNTH_LIBRARY_FILE NAMES fluidsynth HINTS ${FLUIDSYNTH_LIBRARY_DIRS} REQUIRED)
find_program(OBJDUMP_PROGRAM NAMES objdump REQUIRED)
execute_process(COMMAND ${OBJDUMP_PROGRAM} -p ${FLUIDSYNTH_LIBRARY_FILE}
                OUTPUT_VARIABLE fluidsynth_headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "SONAME +([^\n ]+)" fluidsynth_soname_line "${fluidsynth_headers}")
if(NOT CMAKE_MATCH_1)
  message(FATAL_ERROR "cannot read the SONAME of ${FLUIDSYNTH_LIBRARY_FILE}")
endif()
set(VORN_FLUIDSYNTH_SONAME ${CMAKE_MATCH_1})
# libpulse's headers: the music's own output opens the library at run time too.
pkg_check_modules(PULSE REQUIRED libpulse)

# Gives `target` FluidSynth's and libpulse's declarations and FluidSynth's name to open.
function(vorn_use_fluidsynth target)
  target_include_directories(${target} PRIVATE ${FLUIDSYNTH_INCLUDE_DIRS} ${PULSE_INCLUDE_DIRS})
  target_compile_definitions(${target} PRIVATE VORN_FLUIDSYNTH_SONAME="${VORN_FLUIDSYNTH_SONAME}")
  target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
endfunction()
