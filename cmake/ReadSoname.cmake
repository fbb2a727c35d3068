# The name under which a library is opened at run time (dlopen) by the
# player, which compiles against the library's headers without linking it.
include_guard(GLOBAL)
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
