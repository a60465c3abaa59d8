# The fake DDE browser (target FakeBrowser), built into ${CMAKE_BINARY_DIR}/tests/support.
add_executable(FakeBrowser WIN32 FakeBrowser.cpp)
target_include_directories(FakeBrowser PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(FakeBrowser PRIVATE user32)
set_target_properties(FakeBrowser PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/support)
