// Resource ids of Vorlund. The numbers are fixed: other programs and the settings file rely
// on some of them (the label ids in WM_APP_EDIT_CAPTION, the command ids of the tray menu).
#pragma once

#define IDR_MAINFRAME        128  // icon, menu, accelerators and title string of the frame
#define IDD_ABOUTBOX         100
#define IDD_SETTINGS         130
#define IDD_KEYSET_LIST      131
#define IDD_LINK             132
#define IDD_CAPTION          133
#define IDD_MORE_LINK        134  // one of a key's further links, from the link dialog

#define IDS_APP_TITLE        57344  // the application's name
#define IDM_SETTINGS         32771
#define IDM_START_AT_SIGNIN  32772  // tray menu: start at sign-in, checked while the task exists
#define IDM_SHOW_KEYS        32773  // tray menu: the keys at a glance, shown or closed again
#define IDR_SIGNIN_TASK      140    // RCDATA: the sign-in task's XML template
#define ID_APP_ABOUT         57664
#define ID_APP_EXIT          57665

#define ID_EDIT_COPY         57634
#define ID_EDIT_CUT          57635
#define ID_EDIT_PASTE        57637
#define ID_EDIT_UNDO         57643
#define ID_NEXT_PANE         57680
#define ID_PREV_PANE         57681

#define IDW_PANE_FIRST       0xE900  // child id of the tray window inside the frame

#define IDC_KEY_FIRST        1000  // key buttons 1000..1029 (see KeyControlIds.h)
#define IDC_LIST_BUTTON      1064
#define IDC_LINK_EDIT        1066
#define IDC_LINK_BROWSE      1067
#define IDC_LABEL_KEY1       1069  // key 1's caption label; the others in KeyControlIds.h
#define IDC_CAPTION_EDIT     1070
// The link dialog's key combination: its words, set by pressing it, back to the default, and
// the line of hints and conflicts beneath.
#define IDC_KEY_COMBO        1100
#define IDC_KEY_SET          1101
#define IDC_KEY_DEFAULT      1102
#define IDC_KEY_NOTE         1103
#define IDC_KEY_ACTIVATE     1104  // the link dialog's "switch to the running program"
// The settings dialog's row for the combination that shows the keys at a glance: its label
// (just before its field), its words, set by pressing it, none, and the hints and conflicts.
#define IDC_GLANCE_LABEL     1160
#define IDC_GLANCE_COMBO     1161
#define IDC_GLANCE_SET       1162
#define IDC_GLANCE_CLEAR     1163
#define IDC_GLANCE_NOTE      1164
// What a key does beyond one link, in the link dialog (and, for one further link's start, in
// IDD_MORE_LINK, which also uses IDC_LINK_EDIT and IDC_LINK_BROWSE): the first link's
// arguments, start folder (and its browse button) and window state; the further links and
// the buttons that edit them; the choice between opening links and typing, and the text.
#define IDC_LINK_ARGUMENTS     1110
#define IDC_LINK_START_IN      1111
#define IDC_LINK_START_BROWSE  1112
#define IDC_LINK_SHOW          1113
#define IDC_MORE_LINKS         1114
#define IDC_MORE_ADD           1115
#define IDC_MORE_EDIT          1116
#define IDC_MORE_REMOVE        1117
#define IDC_MORE_UP            1118
#define IDC_MORE_DOWN          1119
#define IDC_DO_OPEN_LINKS      1120
#define IDC_DO_TYPE_TEXT       1121
#define IDC_TYPED_TEXT         1122
// The list control of the key-set list dialog.
#define IDC_KEYSET_LIST  1065
