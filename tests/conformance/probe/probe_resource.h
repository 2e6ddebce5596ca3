// Resource ids of the conformance probe's own dialogs.
#pragma once

// A dialog with a default button, a cancel button, a plain push button and an edit field.
#define IDD_PROBE 100
// The same without a cancel button.
#define IDD_PROBE_NOCANCEL 101

#define IDC_PROBE_OTHER 103
#define IDC_PROBE_EDIT 104

// A dialog with a sorted list box that reports selection changes, a read-only edit field and a
// static text, for the directory list scenarios.
#define IDD_PROBE_DIRLIST 110
#define IDC_PROBE_PATH 111
#define IDC_PROBE_LABEL 112
#define IDC_PROBE_LIST 113

// A dialog with an edit field and a group of three automatic radio buttons that report focus
// changes (BS_NOTIFY), as in ZelmoSound's register and delete dialogs.
#define IDD_PROBE_RADIO 120
#define IDC_PROBE_RADIO1 121
#define IDC_PROBE_RADIO2 122
#define IDC_PROBE_RADIO3 123

// Strings of the string table.
#define IDS_PROBE_PLAIN 1
#define IDS_PROBE_JAPANESE 2
