# The release package: Vorlund-<version>-win32.zip from the 32-bit build and
# Vorlund-<version>-x64.zip from the 64-bit one, in the build directory, holding
# Vorlund.exe, VelComn.dll and the readme (package/README.txt), all at the top of the zip so
# that unpacking it anywhere gives a ready installation.
#
#   cmake --build <builddir> --target package
#
# The version is the FILEVERSION of Vorlund.exe's version resource (src/res/Version.rc), so
# the file name cannot drift from what Explorer shows; VelComn.dll's resource and the
# project's version are checked against it.

set(VORLUND_VERSION_RC ${PROJECT_SOURCE_DIR}/src/res/Version.rc)
set(VORLUND_HOOK_RC ${PROJECT_SOURCE_DIR}/hooklib/VelComn.rc)
set(VORLUND_README ${PROJECT_SOURCE_DIR}/package/README.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${VORLUND_VERSION_RC} ${VORLUND_HOOK_RC} ${VORLUND_README})

# windres writes no dependency file, so the resource object learns about the included
# version script only from here.
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/res/Vorlund.rc DIRECTORY ${PROJECT_SOURCE_DIR}/src
             APPEND PROPERTY OBJECT_DEPENDS ${VORLUND_VERSION_RC})

function(vorlund_file_version rc_file out_var)
  file(STRINGS ${rc_file} line REGEX "^[ \t]*FILEVERSION[ \t]")
  if(NOT line MATCHES "FILEVERSION[ \t]+([0-9]+)[ \t]*,[ \t]*([0-9]+)[ \t]*,[ \t]*([0-9]+)[ \t]*,[ \t]*([0-9]+)")
    message(FATAL_ERROR "no FILEVERSION in ${rc_file}")
  endif()
  set(${out_var} "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4}" PARENT_SCOPE)
endfunction()

vorlund_file_version(${VORLUND_VERSION_RC} VORLUND_PACKAGE_VERSION)
vorlund_file_version(${VORLUND_HOOK_RC} hook_version)
if(NOT hook_version STREQUAL VORLUND_PACKAGE_VERSION)
  message(WARNING "VelComn.rc says ${hook_version}, Version.rc says ${VORLUND_PACKAGE_VERSION}")
endif()
if(NOT "${VORLUND_PACKAGE_VERSION}" MATCHES "^${PROJECT_VERSION}(\\.0)*$")
  message(WARNING "project version ${PROJECT_VERSION} differs from the file version ${VORLUND_PACKAGE_VERSION}")
endif()

set(VORLUND_PACKAGE_NAME Vorlund-${VORLUND_PACKAGE_VERSION}-${VORLUND_ARCH})
set(VORLUND_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${VORLUND_PACKAGE_NAME}.zip)
set(VORLUND_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)

# Notepad must show the readme correctly: CR LF line ends, and UTF-8 with a byte-order mark
# (every Notepad since Windows 2000 takes the mark as UTF-8, whatever the system code page).
# A readme that lost either makes only this target fail, not the whole build.
set(readme_problem "")
# Read as hex bytes: file(READ) as text drops the carriage returns.
file(READ ${VORLUND_README} readme_hex HEX)
string(REGEX REPLACE "(..)" "\\1 " readme_bytes "${readme_hex}")
string(REPLACE "0d 0a " "" readme_bare "${readme_bytes}")
if(NOT readme_bytes MATCHES "^ef bb bf ")
  set(readme_problem "package/README.txt must start with the UTF-8 byte-order mark")
elseif(readme_bare MATCHES "(^| )0a ")
  set(readme_problem "package/README.txt must have CR LF line ends")
endif()
if(readme_problem)
  message(WARNING "${readme_problem}; the package target fails until it is fixed")
  set(readme_check COMMAND ${CMAKE_COMMAND} -E echo "${readme_problem}" COMMAND ${CMAKE_COMMAND} -E false)
else()
  set(readme_check)
endif()

# What ships carries no symbol table (MinGW keeps one even in Release builds); MSVC puts
# its symbols into a separate PDB, so there is nothing to strip.
set(strip_shipped)
if(CMAKE_STRIP AND NOT MSVC)
  set(strip_shipped COMMAND ${CMAKE_STRIP} ${VORLUND_PACKAGE_STAGE}/Vorlund.exe
                                           ${VORLUND_PACKAGE_STAGE}/VelComn.dll)
endif()

# cmake -E tar writes the zip itself: no zip program is needed, on Linux or Windows.
add_custom_command(
  OUTPUT ${VORLUND_PACKAGE_FILE}
  ${readme_check}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VORLUND_PACKAGE_STAGE} ${VORLUND_PACKAGE_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORLUND_PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Vorlund> $<TARGET_FILE:VelComn>
                                   ${VORLUND_README} ${VORLUND_PACKAGE_STAGE}
  ${strip_shipped}
  # Signed after stripping (a signature covers the file's final bytes); the installer ships
  # these same staged files.
  COMMAND ${CMAKE_COMMAND} "-DFILES=${VORLUND_PACKAGE_STAGE}/Vorlund.exe|${VORLUND_PACKAGE_STAGE}/VelComn.dll"
          -DWHAT=${VORLUND_PACKAGE_NAME}.zip -P ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake
  COMMAND ${CMAKE_COMMAND} -E chdir ${VORLUND_PACKAGE_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${VORLUND_PACKAGE_FILE} --format=zip
          Vorlund.exe VelComn.dll README.txt
  DEPENDS Vorlund VelComn ${VORLUND_README}
  COMMENT "Packing ${VORLUND_PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(package DEPENDS ${VORLUND_PACKAGE_FILE})
