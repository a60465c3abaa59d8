# Unit tests of the browser integration (paths relative to tests/unit).
list(APPEND BROWSER_TEST_SOURCES
  BrowserReplyTest.cpp
  BrowserQueryTest.cpp)
# The page-query tests start the fake browser from support\ beside the test program; the
# test program does not exist yet when this list is read.
cmake_language(DEFER CALL add_dependencies unit_tests FakeBrowser)
