# Sources of the browser integration, relative to src/browser.
list(APPEND BROWSER_SOURCES
  BrowserQuery.cpp
  PageAddressReply.cpp)
