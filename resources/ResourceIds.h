// Identifiers of the program's resources, menu commands and controls; shared
// by the resource script, the windows and the end-to-end driver.
#pragma once

#define IDI_APPLICATION_ICON 1

#define IDR_SHORTCUTS 101

#define IDB_NODE_ICONS 200
#define IDB_GLYPH_FIND 201
#define IDB_GLYPH_REGEDIT 202
#define IDB_GLYPH_DELETE 203
#define IDB_GLYPH_HELP 204
#define IDB_ABOUT_LOGO 205

// The search progress window: its animation and the Cancel button's glyph.
#define IDR_FIND_ANIMATION 300
#define IDB_GLYPH_CANCEL 301

// The forms of a picture drawn for 150% and 200% (kPictureSizeStep of
// forms/DpiScale.h apart).
#define QOB_PICTURE_150(id) (id + 1000)
#define QOB_PICTURE_200(id) (id + 2000)

// Commands of the main menu and its shortcuts.
#define IDM_FIND1 1001
#define IDM_DELETE1 1002
#define IDM_CLOSE1 1003
#define IDM_TUTORIAL1 1004
#define IDM_ABOUT1 1005
#define IDM_UNDO1 1010
#define IDM_OTHERBROKEN1 1011
#define IDM_RESTARTADMIN1 1020
// The hand-offs: the registry editor at the key, the report, and the
// right-click menus' copies.
#define IDM_REGEDITAT1 1012
#define IDM_SAVEREPORT1 1013
#define IDM_COPY1 1014
#define IDM_COPYKEYPATH1 1015

// Child window identifiers of Form1.
#define IDC_STATUSBAR1 11
#define IDC_PANEL3 12
#define IDC_PANEL4 13
#define IDC_TRVREGKEY 14
#define IDC_PANEL1 15
#define IDC_PANEL2 16

// Controls of frmFind.
#define IDC_FIND_ANIMATE1 30
#define IDC_FIND_LABEL1 31
#define IDC_FIND_BITBTN1 32

// The About box: the OK button's glyph and its controls.
#define IDB_GLYPH_OK 350
#define IDC_ABOUT_BITBTN1 50
#define IDC_ABOUT_EDIT1 51
#define IDC_ABOUT_EDIT2 52

// The undo window's controls.
#define IDC_UNDO_LIST 70
#define IDC_UNDO_RESULT 71
#define IDC_UNDO_RESTORE 72
#define IDC_UNDO_OPEN 73
#define IDC_UNDO_DELETE 74
#define IDC_UNDO_CLOSE 75

// The window of the other broken registrations.
#define IDC_OTHER_LIST 80
#define IDC_OTHER_CHECKALL 81
#define IDC_OTHER_UNCHECKALL 82
#define IDC_OTHER_DELETE 83
#define IDC_OTHER_PROGRESS 84
#define IDC_OTHER_CANCEL 85
#define IDC_OTHER_CLOSE 86
#define IDC_OTHER_STATUS 87
#define IDC_OTHER_SAVEREPORT 88

// Window classes.
#define QOB_CLASS_FORM1 L"TForm1"
#define QOB_CLASS_ABOUT L"TfrmAbout"
#define QOB_CLASS_FIND L"TfrmFind"
#define QOB_CLASS_UNDO L"TfrmUndo"
#define QOB_CLASS_OTHERBROKEN L"TfrmOtherBroken"
