# Writes DIR/service-worker.js from TEMPLATE: the list of the page's files in
# DIR that it keeps, and a version made from their contents, so that any
# change of any of them makes a new worker, which browsers take as an update.
# Run after everything else is built: cmake -DDIR=... -DTEMPLATE=... -P this.
file(GLOB candidates RELATIVE ${DIR} ${DIR}/*)
list(SORT candidates)
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
     OR name STREQUAL "service-worker.js")
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
