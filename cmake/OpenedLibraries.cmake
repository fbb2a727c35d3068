# Libraries the player opens at run time (dlopen) rather than links, so that
# they and the libraries they bring are not loaded and bound before main():
# gamepads' SDL2, loaded 200 ms after the window shows, and libarchive, loaded
# the first time a game is opened from an archive. Each is compiled against
# its headers and opened under its SONAME, read here from the library itself.
find_program(OBJDUMP_PROGRAM NAMES objdump REQUIRED)

# Sets `out_var` (in the caller's scope) to the SONAME of `library_file`.
function(vorn_read_soname out_var library_file)
  execute_process(COMMAND ${OBJDUMP_PROGRAM} -p ${library_file}
                  OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "SONAME +([^\n ]+)" soname_line "${headers}")
  if(NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "cannot read the SONAME of ${library_file}")
  endif()
  set(${out_var} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

find_package(SDL2 REQUIRED) # gamepads only
find_library(SDL2_LIBRARY_FILE NAMES SDL2-2.0 SDL2 REQUIRED)
vorn_read_soname(VORN_SDL2_SONAME ${SDL2_LIBRARY_FILE})
get_target_property(VORN_SDL2_INCLUDE_DIRS SDL2::SDL2 INTERFACE_INCLUDE_DIRECTORIES)

find_package(LibArchive REQUIRED)
find_library(LIBARCHIVE_LIBRARY_FILE NAMES archive HINTS ${LibArchive_LIBRARIES} REQUIRED)
get_filename_component(LIBARCHIVE_LIBRARY_FILE ${LIBARCHIVE_LIBRARY_FILE} REALPATH)
vorn_read_soname(VORN_LIBARCHIVE_SONAME ${LIBARCHIVE_LIBRARY_FILE})
