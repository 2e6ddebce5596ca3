// Splitting the program's file name into drive, directory, name and extension, and the paths
// built from it: the program folder, where every file of the program lies.
#pragma once

#include <string>

struct PathParts {
    std::string drive;     // "C:" or empty
    std::string directory; // with its trailing separator, or empty
    std::string name;
    std::string extension; // with its dot, or empty
};

// Splits like the C runtime's _splitpath: either separator, the extension from the last dot of
// the last component.
PathParts SplitPath(const std::string &path);

// The running program's full file name (at most 260 characters).
std::string ProgramFileName();

// Drive and directory of the program's file name; ends with the separator.
std::string ProgramFolder();
