// The delete dialog (template 7): lists the sound files of a group, plays one, deletes one and
// renumbers the rest so that the group's numbers have no gap.
#pragma once

#include "platform.h"

INT_PTR CALLBACK DeleteProperty(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Lists the selected group's files (every wave file when no group is selected) in list 634,
// shows the listed folder in field 632 and empties field 633. The listing makes the program
// folder the current directory.
void ZelmoSetWaveFile(HWND dialog);
// The full path of the file named in field 633, in path (MAX_PATH characters). Returns 0 when
// the field is empty, else 1; path is left empty when the full path would not fit.
int ZelmoGetSelectPath(HWND dialog, char (&path)[MAX_PATH]);
// Asks, deletes the selected file, renumbers the group's files and recounts the group. Returns
// 1 when a file was deleted, else 0.
int DeleteWave(HWND dialog);
