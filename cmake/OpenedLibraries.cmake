# Libraries the player opens at run time (dlopen) rather than links, so that
# they and the libraries they bring are not loaded and bound before main():
# gamepads' SDL2, loaded 200 ms after the window shows, and libarchive, loaded
# the first time a game is opened from an archive. Each is compiled against
# its headers and opened under its SONAME, read here from the library itself.
include(${CMAKE_CURRENT_LIST_DIR}/ReadSoname.cmake)

find_package(SDL2 REQUIRED) # gamepads only
find_library(SDL2_LIBRARY_FILE NAMES SDL2-2.0 SDL2 REQUIRED)
vorn_read_soname(VORN_SDL2_SONAME ${SDL2_LIBRARY_FILE})
get_target_property(VORN_SDL2_INCLUDE_DIRS SDL2::SDL2 INTERFACE_INCLUDE_DIRECTORIES)

find_package(LibArchive REQUIRED)
find_library(LIBARCHIVE_LIBRARY_FILE NAMES archive HINTS ${LibArchive_LIBRARIES} REQUIRED)
get_filename_component(LIBARCHIVE_LIBRARY_FILE ${LIBARCHIVE_LIBRARY_FILE} REALPATH)
vorn_read_soname(VORN_LIBARCHIVE_SONAME ${LIBARCHIVE_LIBRARY_FILE})
