// The settings file: the program's own file name with ".INI", in the program folder. It keeps
// each group's switch and interval class and the two time-signal settings, one KEY=value line
// each, read back by fixed character columns.
#pragma once

#include <string>

// Loads the settings, or the first-start defaults when there is no file.
void ReadIniFile();
// Writes all settings. The new file replaces the old one only when it is complete, so a
// failure midway leaves the user's settings as they were; a folder that cannot be written is
// skipped silently.
void WriteIniFile();

// Full name of the settings file.
std::string IniFileName();
