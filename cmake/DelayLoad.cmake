# Libraries the program needs only for its dialogs, the page capture and the shell's COM
# objects, loaded when one of their functions is first called instead of at start-up.
#
#   vorlund_delay_load(<target> <library>...)
#
# links <target> and its users against the named system libraries bound on first call:
# with MSVC through /DELAYLOAD, with MinGW through delay-import libraries that dlltool makes
# from cmake/delayload/<library>.def. A function of such a library that the .def does not
# name is still imported at start-up (scripts/check-package lists the imports).
function(vorlund_delay_load target)
  foreach(library IN LISTS ARGN)
    if(MSVC)
      target_link_libraries(${target} PUBLIC ${library})
      target_link_options(${target} PUBLIC /DELAYLOAD:${library}.dll)
      continue()
    endif()
    set(source ${PROJECT_SOURCE_DIR}/cmake/delayload/${library}.def)
    set(def ${CMAKE_BINARY_DIR}/delayload/${library}.def)
    set(archive ${CMAKE_BINARY_DIR}/delayload/lib${library}_delay.a)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(READ ${source} text)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(REGEX REPLACE "@[0-9]+" "" text "${text}")
      set(kill_at "")
    else()
      set(kill_at --kill-at)
    endif()
    file(WRITE ${def}.in "${text}")
    configure_file(${def}.in ${def} COPYONLY)
    add_custom_command(OUTPUT ${archive}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${library}.dll ${kill_at}
              --output-delaylib ${archive}
      DEPENDS ${def}
      COMMENT "Making the delay-import library of ${library}.dll"
      VERBATIM)
    add_custom_target(vorlund_delay_${library} DEPENDS ${archive})
    add_dependencies(${target} vorlund_delay_${library})
    # Before the ordinary import library, which still serves what the .def leaves out.
    target_link_libraries(${target} PUBLIC ${archive} ${library})
  endforeach()
  if(MSVC)
    target_link_libraries(${target} PUBLIC delayimp)
  endif()
endfunction()
