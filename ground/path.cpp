// Path splitting and the program's own paths.
#include "ground/path.h"

#include "ground/globals.h"
#include "platform.h"

PathParts SplitPath(const std::string &path)
{
    PathParts parts;
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest = rest.substr(2);
    }
    size_t slash = rest.find_last_of("\\/");
    if (slash != std::string::npos) {
        parts.directory = rest.substr(0, slash + 1);
        rest = rest.substr(slash + 1);
    }
    size_t dot = rest.find_last_of('.');
    if (dot != std::string::npos) {
        parts.extension = rest.substr(dot);
        rest = rest.substr(0, dot);
    }
    parts.name = rest;
    return parts;
}

std::string ProgramFileName()
{
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(hInst, buffer, MAX_PATH);
    return buffer;
}

std::string ProgramFolder()
{
    PathParts parts = SplitPath(ProgramFileName());
    return parts.drive + parts.directory;
}
