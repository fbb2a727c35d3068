# Writes DIR/service-worker.js from TEMPLATE: the list of the page's files in
# DIR that it keeps, and a version made from their contents, so that any
# change of any of them makes a new worker, which browsers take as an update.
# Run after everything else is built: cmake -DDIR=... -DTEMPLATE=... -P this.
cmake_minimum_required(VERSION 3.25)
file(GLOB candidates RELATIVE ${DIR} ${DIR}/*)
list(SORT candidates)

# The page's modules that its bundles hold, as esbuild's metafiles name them
# (page-modules/*.meta.json): their copies beside the bundles are for the
# tests, and no page asks for them. Written to page-modules/bundled.txt for
# bench/web_size.sh, which counts what a visitor downloads by the same rule.
set(bundles)
set(bundled)
file(GLOB metafiles ${DIR}/page-modules/*.meta.json)
foreach(metafile ${metafiles})
  get_filename_component(bundle ${metafile} NAME)
  string(REPLACE ".meta.json" ".js" bundle ${bundle})
  list(APPEND bundles ${bundle})
  file(READ ${metafile} meta)
  string(JSON count LENGTH "${meta}" inputs)
  foreach(i RANGE 1 ${count})
    math(EXPR at "${i} - 1")
    string(JSON input MEMBER "${meta}" inputs ${at})
    get_filename_component(input ${input} NAME)
    list(APPEND bundled ${input})
  endforeach()
endforeach()
if(bundles)
  list(REMOVE_ITEM bundled ${bundles})
endif()
list(REMOVE_DUPLICATES bundled)
list(SORT bundled)
list(JOIN bundled "\n" bundled_lines)
file(CONFIGURE OUTPUT ${DIR}/page-modules/bundled.txt CONTENT "${bundled_lines}\n")
set(files)
set(digests)
foreach(name ${candidates})
  if(IS_DIRECTORY ${DIR}/${name})
    continue()
  endif()
  # What the page is served with, as bench/web_size.sh counts it: not the
  # Node.js player, the soundfont (kept when the music first plays), the
  # build's own files, nor the files of tests and benchmarks.
  if(NOT name MATCHES "\\.(html|js|mjs|css|wasm|png|bmp|webmanifest)$"
     OR name MATCHES "^vorn-headless"
     OR name MATCHES "test|bench"
     OR name STREQUAL "baseline.html"
     OR name STREQUAL "service-worker.js"
     OR name IN_LIST bundled)
    continue()
  endif()
  file(SHA256 ${DIR}/${name} digest)
  list(APPEND files "  '${name}',")
  string(APPEND digests "${name} ${digest}\n")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 VORN_VERSION)
list(JOIN files "\n" VORN_FILES)
configure_file(${TEMPLATE} ${DIR}/service-worker.js @ONLY)
