#pragma once
// The ids of every text the user sees, in one place. The last id is the highest: the unit
// tests look one past it for a string that is not there. The texts themselves are string
// resources, one table per language: TextsJapanese.rc and TextsEnglish.rc (UTF-8 sources).
// A new text is an id here, with a comment that says where it appears and what fills its
// %s and %d, and one line in each of the two tables; the unit tests fail while either table
// lacks a text the other has. The code reads a text with UiText(id) (CP932, as the rest of
// the program's texts) or LoadUiString(id) (wide), in the language chosen at start-up
// (win/UiLanguage.h).
// Plain #defines: the resource compiler includes this file too.

#define IDS_APP_NAME                      2000  // title of the program's own message boxes
#define IDS_ALREADY_RUNNING               2001
#define IDS_TRAY_TIP                      2002
#define IDS_LINK_INFO_CAPTION             2003  // title of the boxes about one key's link

// The question when a file is dropped on a key button: key number, file path.
#define IDS_DROP_QUESTION                 2004
// The question when a favourite key is pressed in the settings dialog: caption or key
// number, then the address the browser shows.
#define IDS_CAPTURE_QUESTION_CAPTION      2005
#define IDS_CAPTURE_QUESTION_NUMBER       2006
// A link, typed or dropped, that does not fit the 1024 bytes a key's link may have.
#define IDS_LINK_TOO_LONG                 2007
// A file name or path with characters code page 932 cannot hold, and no short name that does:
// the name as given, then the characters.
#define IDS_PATH_CANNOT_BE_STORED         2008
// A caption with characters code page 932 cannot hold: the characters.
#define IDS_CAPTION_CANNOT_BE_STORED      2009
// The program's folder has a name code page 932 cannot hold, and no short name that does.
#define IDS_PROGRAM_FOLDER_UNUSABLE       2010
// Vorlund.ini saved as UTF-8 or UTF-16 holds characters code page 932 cannot hold: the
// encoding's name, then the characters.
#define IDS_SETTINGS_FILE_NOT_CONVERTIBLE 2011
// Vorlund.ini saved as UTF-8 or UTF-16 could not be converted (too large, no room, no right
// to write there): the encoding's name.
#define IDS_SETTINGS_FILE_NOT_CONVERTED   2012
// A save that failed never touched the file the settings were in.
#define IDS_SAVE_FAILED                   2013
// This run keeps its hands off a UTF-8 or UTF-16 settings file it could not convert.
#define IDS_SAVE_REFUSED_UNCONVERTED_FILE 2014
// On a Windows whose ANSI code page would change the file's Japanese bytes (Chinese, Korean,
// UTF-8), nothing but plain ASCII is written.
#define IDS_SAVE_FAILED_CODE_PAGE         2015
// A save whose swap stopped half-way and could not be undone: Vorlund.ini is missing, its
// content kept beside it under another name until the next start puts it back.
#define IDS_SAVE_FAILED_SET_ASIDE         2130

// The tray menu's start-at-sign-in item could not change the sign-in task.
#define IDS_SIGNIN_TASK_NOT_REGISTERED    2016
#define IDS_SIGNIN_TASK_NOT_DELETED       2017
// Start at sign-in runs the program with administrator rights without asking: refused where
// anyone but administrators could change the program's files.
#define IDS_SIGNIN_NEEDS_PROTECTED_FOLDER 2018
// The scheduler would expand the user's environment variables in such a path.
#define IDS_SIGNIN_PATH_HAS_PERCENT       2019
// This copy's task, but its folder can now be changed by others than administrators.
#define IDS_SIGNIN_OFFER_REMOVAL          2020
#define IDS_SIGNIN_SCHEDULER_UNREACHABLE  2021

// A key's link could not be opened; the link follows on the next line.
#define IDS_LINK_SHELL_UNAVAILABLE        2022
#define IDS_LINK_NOT_OPENED               2023

// A key's combination: its conflicts (each a warning; %s the other key's number, or the
// layout's name and the character typed), and the hint while a combination is being pressed.
#define IDS_CONFLICT_SAME_COMBINATION     2024
#define IDS_CONFLICT_TYPES_CHARACTER      2025
#define IDS_CONFLICT_HOTKEY_TAKEN         2026
#define IDS_COMBO_PRESS_NOW               2027
#define IDS_COMBO_NEEDS_TWO_MODIFIERS     2028
#define IDS_COMBO_DEFAULT_NOTE            2029  // after a default combination's words
#define IDS_COMBO_IN_TIP                  2030  // before the combination in a key's tooltip

// Names of a keyboard's dedicated keys, for which Windows gives none (F13 to F24 are named
// by their number).
#define IDS_KEY_NAME_BROWSER_BACK         2031
#define IDS_KEY_NAME_BROWSER_FORWARD      2032
#define IDS_KEY_NAME_BROWSER_REFRESH      2033
#define IDS_KEY_NAME_BROWSER_STOP         2034
#define IDS_KEY_NAME_BROWSER_SEARCH       2035
#define IDS_KEY_NAME_BROWSER_FAVORITES    2036
#define IDS_KEY_NAME_BROWSER_HOME         2037
#define IDS_KEY_NAME_MAIL                 2038
#define IDS_KEY_NAME_MEDIA_SELECT         2039
#define IDS_KEY_NAME_APP1                 2040
#define IDS_KEY_NAME_APP2                 2041

// Column headings of the key-set list.
#define IDS_LIST_NUMBER_HEADING           2042
#define IDS_LIST_KEY_HEADING              2043
#define IDS_LIST_CAPTION_HEADING          2044
#define IDS_LIST_LINK_HEADING             2045
// After a key's combination in the list: a press switches to the running program.
#define IDS_LIST_SWITCH_MARK              2046

// The browser did not answer the page-address query.
#define IDS_BROWSER_NOT_FOUND             2047
// A browser window is there, but its page's address could not be read.
#define IDS_BROWSER_ADDRESS_UNREADABLE    2048
// The link dialog's file dialog: "description|pattern|...||".
#define IDS_BROWSE_FILTER                 2049
// A typed address whose host name would become another one in its ASCII form (full-width
// "＠" or "／" in it): the address.
#define IDS_ADDRESS_HOST_REFUSED          2050

// What a screen reader says of a key button: its number, then its caption, or without one
// whether it has a link. Its description: the link, then the combination.
#define IDS_KEY_BUTTON_NAME               2051  // key number, caption or state
#define IDS_KEY_STATE_SET                 2052
#define IDS_KEY_STATE_NOT_SET             2053
#define IDS_KEY_DESCRIPTION_LINK          2054  // the link
#define IDS_KEY_DESCRIPTION_SEPARATOR     2055

// The keys at a glance: the overlay's title (also what a screen reader announces), the line at
// its foot, and the settings dialog's field when no combination shows it.
#define IDS_GLANCE_TITLE                  2100
#define IDS_GLANCE_FOOT                   2102
#define IDS_GLANCE_NO_KEY                 2103
// What one key does beyond one link. The failure box's line for a link whose start folder is
// missing: the folder (the link follows on the next line).
#define IDS_START_FOLDER_MISSING          2060
// Tooltip, key list and description: the first link and how many more (a number).
#define IDS_MORE_LINKS                    2061
// Tooltip, key list and description: a typing key's text.
#define IDS_TYPED_TEXT_SHOWN              2062
// The conflict of a key whose section holds both Text= and a link.
#define IDS_CONFLICT_TEXT_AND_LINK        2063
// The link dialog's refusals: the characters CP932 cannot hold; too long.
#define IDS_TEXT_CANNOT_BE_STORED         2064
#define IDS_TEXT_TOO_LONG                 2065
#define IDS_ARGUMENTS_CANNOT_BE_STORED    2066
#define IDS_START_VALUE_TOO_LONG          2067
// The window states of the link dialog's drop-down list.
#define IDS_SHOW_NORMAL                   2068
#define IDS_SHOW_MINIMIZED                2069
#define IDS_SHOW_MAXIMIZED                2070
// A key's eleventh link is refused.
#define IDS_LINKS_FULL                    2071
// A key button's description for a typing key: the text as shown (IDS_TYPED_TEXT_SHOWN).
#define IDS_KEY_DESCRIPTION_TEXT          2072
// The folder browser's line above the folders.
#define IDS_START_FOLDER_BROWSE_TITLE     2073
// OK on "type a text" with no text.
#define IDS_TEXT_NOT_SET                  2074
