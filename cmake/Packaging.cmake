# Where `cmake --install` puts the player and its desktop files, and the Debian
# package CPack makes of them. Debian keeps games' programs in /usr/games and
# their data in /usr/share/games.
include(GNUInstallDirs)

set(VORN_INSTALL_GAMESDIR games CACHE STRING "Folder of the player's program, under the prefix")
set(VORN_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATADIR}/games/vorn
    CACHE STRING "Folder of the games installed with the player, under the prefix")
set(VORN_APP_ID org.example.vorn CACHE STRING "The player's reverse-DNS desktop id")
set(VORN_HOMEPAGE https://vorn.example.org/ CACHE STRING "The player's home page")
set(VORN_SCREENSHOT_URL ${VORN_HOMEPAGE}demo.png CACHE STRING "Where the screenshot of the metadata is published")
set(VORN_MAINTAINER "The VORN player developers <maintainers@vorn.example.org>"
    CACHE STRING "Maintainer named in the package and its changelog")

install(TARGETS vorn RUNTIME DESTINATION ${VORN_INSTALL_GAMESDIR})
# The desktop entry names the program and the demo by their full paths (/usr/games
# is not on every session's search path), worked out when they are installed, so
# `cmake --install --prefix` and the package both get theirs.
install(CODE "
  set(VORN_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${VORN_INSTALL_GAMESDIR}/vorn\")
  set(VORN_INSTALLED_DEMO \"\${CMAKE_INSTALL_PREFIX}/${VORN_INSTALL_GAMEDATADIR}/demo\")
  configure_file(\"${PROJECT_SOURCE_DIR}/assets/vorn.desktop.in\" \"${PROJECT_BINARY_DIR}/vorn.desktop\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/vorn.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES assets/vorn-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vorn.xml)

# The pixel-drawn icon at its own size, the smooth drawings at the others.
install(FILES assets/vorn.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
foreach(size 16 22 24 48 64 128 256)
  install(FILES assets/icons/vorn-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vorn.png)
endforeach()

configure_file(assets/vorn.metainfo.xml.in ${VORN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${VORN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog go in compressed, as Debian's policy asks;
# gzip -n keeps the bytes the same from build to build.
find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file(packaging/changelog.in changelog @ONLY)
set(vorn_compressed_docs)
foreach(doc docs/vorn.6 docs/vorn-script.5 ${PROJECT_BINARY_DIR}/changelog)
  get_filename_component(name ${doc} NAME)
  get_filename_component(source ${doc} ABSOLUTE)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}.gz
                     COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${PROJECT_BINARY_DIR}/${name}.gz
                     DEPENDS ${source} VERBATIM)
  list(APPEND vorn_compressed_docs ${PROJECT_BINARY_DIR}/${name}.gz)
endforeach()
add_custom_target(vorn_compressed_docs ALL DEPENDS ${vorn_compressed_docs})
install(FILES ${PROJECT_BINARY_DIR}/vorn.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/vorn-script.5.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The demo game, without the notes on how its files are made.
install(DIRECTORY examples/demo/ DESTINATION ${VORN_INSTALL_GAMEDATADIR}/demo
        PATTERN README.md EXCLUDE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VORN_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for illustrated text adventures written as VORN scripts")
# CPack puts the summary first and indents the rest; an empty line becomes " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The VORN player plays the illustrated text adventures of around 2000 that
were written as VORN scripts for Windows: a story in one Shift-JIS file,
code.vrn, beside its pictures, cursor and MIDI music. Pages of text, scene
pictures, choices and looping music play as their authors meant them to.

The player keeps a backlog of the pages read, fast-forwards, zooms and goes
full screen, and brings two tools for authors: one finds mistakes in a
script, the other plays every path through a game.

A short demo game in English and Japanese is installed with it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VORN_HOMEPAGE})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The libraries the program links come from dpkg-shlibdeps. FluidSynth,
# libarchive and SDL2 are opened at run time, out of its sight: each one's
# package is the one that holds the library under the name the player opens.
# The soundfont the music plays through and the Gothic font the window asks
# for are named too. Speech goes through Qt's plugin for speech-dispatcher,
# which Qt opens at run time: it is recommended, as the player plays on
# without it.
find_program(DPKG_QUERY_PROGRAM dpkg-query)
# Sets `out_var` to the package holding `soname` beside `library_file`, else `fallback`.
function(vorn_package_of out_var library_file soname fallback)
  set(package ${fallback})
  if(DPKG_QUERY_PROGRAM)
    get_filename_component(dir ${library_file} DIRECTORY)
    execute_process(COMMAND ${DPKG_QUERY_PROGRAM} -S ${dir}/${soname}
                    OUTPUT_VARIABLE owner RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND owner MATCHES "^([^:, ]+)")
      set(package ${CMAKE_MATCH_1})
    endif()
  endif()
  set(${out_var} ${package} PARENT_SCOPE)
endfunction()
vorn_package_of(vorn_fluidsynth_package ${FLUIDSYNTH_LIBRARY_FILE} ${VORN_FLUIDSYNTH_SONAME} libfluidsynth3)
vorn_package_of(vorn_libarchive_package ${LIBARCHIVE_LIBRARY_FILE} ${VORN_LIBARCHIVE_SONAME} libarchive13)
vorn_package_of(vorn_sdl2_package ${SDL2_LIBRARY_FILE} ${VORN_SDL2_SONAME} libsdl2-2.0-0)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "${vorn_fluidsynth_package}, ${vorn_libarchive_package}, ${vorn_sdl2_package}, fluid-soundfont-gm | sf2-soundfont-gm, fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-speech-speechd-plugin")
include(CPack)
