# Fails the build when a source folder includes a header of a folder above it. The folders
# of src/ form one order, top to bottom; each may include only itself and the folders below:
#   app -> shell -> settings -> browser -> keys -> win -> res
# So no two folders can include each other, directly or through a third.
#
#   cmake -DVORLUND_SOURCE_DIR=<src> -P CheckLayers.cmake
get_filename_component(VORLUND_SOURCE_DIR "${VORLUND_SOURCE_DIR}" ABSOLUTE)
set(layers res win keys browser settings shell app)
file(GLOB_RECURSE sources RELATIVE ${VORLUND_SOURCE_DIR}
     ${VORLUND_SOURCE_DIR}/*.h ${VORLUND_SOURCE_DIR}/*.cpp ${VORLUND_SOURCE_DIR}/*.rc)
set(violations "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" folder "${source}")
  list(FIND layers "${folder}" own)
  if(own EQUAL -1)
    string(APPEND violations "\n  ${source}: ${folder}/ is not a known layer")
    continue()
  endif()
  file(STRINGS ${VORLUND_SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z]+)/.*" "\\1" target "${line}")
    list(FIND layers "${target}" theirs)
    if(theirs GREATER own)
      string(APPEND violations "\n  ${source} (${folder}) includes ${target}/, a folder above it")
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes against the layer order app -> shell -> settings -> browser -> keys -> win -> res:${violations}")
endif()
