# Sources of the caption and key-set list dialogs, relative to src/settings.
list(APPEND KEYSET_DIALOG_SOURCES
  CaptionDialog.cpp
  KeyLabel.cpp
  KeySetListDialog.cpp
)
