# Unit tests of the caption and key-set list dialogs (paths relative to tests/unit).
list(APPEND KEYSET_DIALOG_TEST_SOURCES
  CaptionDialogTest.cpp
  KeySetListDialogTest.cpp
)
