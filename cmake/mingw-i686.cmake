# Cross build for 32-bit Windows (what ships first). Programs run under 32-bit Wine.
set(VORLUND_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
