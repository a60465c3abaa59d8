# The fake DDE browser (target FakeBrowser), built into ${CMAKE_BINARY_DIR}/tests/support.
