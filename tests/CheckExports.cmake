# SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
# SPDX-License-Identifier: Apache-2.0
# Fails unless the library exports exactly the two entry points, by name, and
# (a .dll) imports only system DLLs.
# ELF: the defined dynamic symbols (nm -D). PE: the export and import tables,
# read with llvm-readobj (every machine, ARM64 included) or else GNU objdump
# (x86-64 only).
# Usage: cmake -DNM=nm -DOBJDUMP=objdump -DREADOBJ=llvm-readobj -DLIBRARY=path -P CheckExports.cmake

# Into `out`: each match of `pattern` in `text`, less what matches `prefix`.
function(vek_rows out text pattern prefix)
  string(REGEX MATCHALL "${pattern}" rows "${text}")
  set(values)
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "${prefix}" "" value "${row}")
    list(APPEND values ${value})
  endforeach()
  set(${out} ${values} PARENT_SCOPE)
endfunction()

set(names)
set(imports)
if(LIBRARY MATCHES "\\.dll$" AND READOBJ)
  execute_process(COMMAND ${READOBJ} --coff-exports --coff-imports ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  # "Export {\n  Ordinal: 1\n  Name: createBackendInterface" and "Import {\n  Name: KERNEL32.dll"
  vek_rows(names "${dump}" "Export {\n  Ordinal: [0-9]+\n  Name: [^\n]+" ".*Name: ")
  vek_rows(imports "${dump}" "Import {\n  Name: [^\n]+" ".*Name: ")
elseif(LIBRARY MATCHES "\\.dll$")
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  # Rows of the "[Ordinal/Name Pointer] Table", up to the blank line after it:
  # "	[   0] createBackendInterface"; imports as "	DLL Name: KERNEL32.dll".
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
  vek_rows(names "${table}" "\\[ *[0-9]+\\] [^\n]+" "^\\[ *[0-9]+\\] ")
  vek_rows(imports "${dump}" "DLL Name: [^\n]+" "^DLL Name: ")
else()
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  vek_rows(names "${dump}" "[^\n]+" "^.* ")
endif()
if(failed)
  message(FATAL_ERROR "cannot read the symbols of ${LIBRARY}")
endif()
list(SORT names)
if(NOT names STREQUAL "createBackendInterface;destroyBackendInterface")
  message(FATAL_ERROR "exported symbols are: ${names}")
endif()
message(STATUS "exports: ${names}")
if(LIBRARY MATCHES "\\.dll$")
  # The system's own DLLs: the kernel and the C runtime (old or universal).
  foreach(import IN LISTS imports)
    string(TOLOWER "${import}" lower)
    if(NOT lower MATCHES "^(kernel32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
      message(FATAL_ERROR "imports a DLL that is no system DLL: ${import} (imports: ${imports})")
    endif()
  endforeach()
  if(NOT imports)
    message(FATAL_ERROR "no import table read from ${LIBRARY}")
  endif()
  message(STATUS "imports: ${imports}")
endif()
