# Unit tests of the browser integration (paths relative to tests/unit).
list(APPEND BROWSER_TEST_SOURCES)
