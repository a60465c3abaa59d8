# Fails when PROGRAM imports a library outside ALLOWED (names separated by ";", any case):
# what the program needs only for a dialog, the capture or a COM object is loaded on first
# use, and an ordinary call to such a library would bring it back into every start-up.
#   cmake -DOBJDUMP=... -DPROGRAM=... -DALLOWED=... -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot read the imports of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
string(TOLOWER "${ALLOWED}" allowed)
set(extra "")
foreach(line IN LISTS names)
  string(REGEX REPLACE "DLL Name: " "" name "${line}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST allowed)
    list(APPEND extra ${name})
  endif()
endforeach()
if(extra)
  message(FATAL_ERROR "${PROGRAM} imports at start-up: ${extra}")
endif()
message(STATUS "imports: ${names}")
