# Fails unless the library's dynamic symbol table defines exactly the two
# entry points. Usage: cmake -DNM=nm -DLIBRARY=path -P CheckExports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
if(NOT names STREQUAL "createBackendInterface;destroyBackendInterface")
  message(FATAL_ERROR "exported symbols are: ${names}")
endif()
message(STATUS "exports: ${names}")
