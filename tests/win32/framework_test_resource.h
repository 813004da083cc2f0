// Templates and control ids of the framework tests' own dialogs.
#pragma once

// The fixture: three edits, a radio group (with a check box and a label
// inside it, ended by a label that starts the next group), a push button, a
// list view and a combo box.
#define IDD_FIXTURE 200
// The "Please Wait..." box of the search, as the program shows it.
#define IDD_WAIT_BOX 201
// Dialogs that only carry initialisation data, each case its own template.
#define IDD_INIT_SKIPPED_RECORDS 210
#define IDD_INIT_LENGTH_PAST_END 211
#define IDD_INIT_LENGTH_WRAPS 212
#define IDD_INIT_HEADER_CUT 213
#define IDD_INIT_NO_END_MARK 214
#define IDD_INIT_AFTER_END_MARK 215
#define IDD_INIT_ONE_BYTE 216
// No template of this id exists.
#define IDD_MISSING 299

#define IDC_FIRST 1001
#define IDC_SECOND 1002
#define IDC_THIRD 1003
#define IDC_RADIO_A 1010
#define IDC_RADIO_B 1011
#define IDC_INSIDE_CHECK 1012
#define IDC_INSIDE_LABEL 1013
#define IDC_RADIO_C 1014
#define IDC_GROUP_END 1015
#define IDC_RADIO_NEXT_GROUP 1016
#define IDC_BUTTON 1020
#define IDC_LIST 1030
#define IDC_COMBO 1040
#define IDC_LISTBOX 1041
#define IDC_WAIT_TEXT 1050
// Named by an initialisation record; no control has it.
#define IDC_NOWHERE 1999
