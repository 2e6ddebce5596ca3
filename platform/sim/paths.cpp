// Paths on the simulated drive C:, which is a real folder on the host, so a test can look at the
// files the program wrote. Windows paths are resolved as Windows does: either separator, letter
// case ignored in every component, trailing dots and blanks dropped, relative to the process's
// current directory (GetCurrentDirectoryA, SetCurrentDirectoryA). Also the program's own module
// and path, and the folders made read-only through Desktop::Faults().
#include "platform/sim/internal.h"
#include "platform/sim/names.h"

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace sim
{

namespace
{

std::vector<std::string> SplitComponents(const std::string &path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool Exists(const std::string &host)
{
    struct stat info;
    return stat(host.c_str(), &info) == 0;
}

// Trailing dots and blanks of a component are dropped by Windows.
std::string TrimComponent(std::string part)
{
    if (part == "." || part == "..") return part;
    while (!part.empty() && (part.back() == '.' || part.back() == ' '))
        part.pop_back();
    return part;
}

} // namespace

bool IsDirectory(const std::string &host)
{
    struct stat info;
    return stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string NormalizeWindowsPath(const std::string &path)
{
    std::string full;
    if (path.size() >= 2 && path[1] == ':') {
        full = path;
    } else {
        Process *process = CurrentProcess();
        std::string base = process ? process->currentDirectory : Desktop::Current().ProgramFolder();
        if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
            full = base.substr(0, 2) + path;
        else
            full = base + path;
    }
    std::string drive = Upper(full.substr(0, 2));
    std::vector<std::string> parts;
    for (const std::string &raw : SplitComponents(full.substr(2))) {
        std::string part = TrimComponent(raw);
        if (part == "." || part.empty()) continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out = drive + "\\";
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? "\\" : "") + parts[i];
    return out;
}

std::string ResolveHostPath(const std::string &windowsPath, bool *found)
{
    std::string normalized = NormalizeWindowsPath(windowsPath);
    if (found) *found = false;
    if (normalized.rfind("C:", 0) != 0) return "";
    std::string host = S().hostRoot + "/C";
    bool allFound = true;
    for (const std::string &part : SplitComponents(normalized.substr(2))) {
        std::string match;
        struct stat info {
        };
        // The spelling asked for is nearly always the one on the drive: only a miss needs the
        // folder's listing (a folder never holds two names that differ only in letter case).
        if (allFound && lstat((host + "/" + part).c_str(), &info) == 0) {
            match = part;
        } else if (allFound) {
            if (DIR *dir = opendir(host.c_str())) {
                while (dirent *entry = readdir(dir)) {
                    if (FoldCase(entry->d_name) == FoldCase(part)) {
                        match = entry->d_name;
                        break;
                    }
                }
                closedir(dir);
            }
        }
        if (match.empty()) {
            allFound = false;
            match = part;
        }
        host += "/" + match;
    }
    if (found) *found = allFound && Exists(host);
    return host;
}

bool InReadOnlyFolder(const std::string &normalized)
{
    std::string folder = Upper(normalized.substr(0, normalized.find_last_of('\\') + 1));
    for (const std::string &readOnly : S().faults.readOnlyFolders) {
        std::string ro = Upper(NormalizeWindowsPath(readOnly));
        if (ro.back() != '\\') ro += '\\';
        if (folder.rfind(ro, 0) == 0) return true;
    }
    return false;
}

std::string Desktop::HostPath(const std::string &windowsPath) const
{
    return ResolveHostPath(windowsPath);
}

} // namespace sim

using namespace sim;

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    PlatformCode platform;
    (void)module;
    const std::string &path = S().options.programPath;
    if (size == 0) return 0;
    if (path.size() >= size) {
        std::memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    PlatformCode platform;
    // Only the program's own module is known: the instance WinMain got.
    if (moduleName) {
        SetLastError(126); // ERROR_MOD_NOT_FOUND
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(0x400000);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    PlatformCode platform;
    std::string folder = CurrentProcess()->currentDirectory;
    // Windows answers without the trailing separator, except for a drive's root.
    if (folder.size() > 3) folder.pop_back();
    if (folder.size() + 1 > size) return static_cast<DWORD>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<DWORD>(folder.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path)
{
    PlatformCode platform;
    std::string normalized = NormalizeWindowsPath(path);
    bool found = false;
    std::string host = ResolveHostPath(path, &found);
    if (!found || !IsDirectory(host)) {
        SetLastError(found ? ERROR_DIRECTORY : MissingPathError(normalized));
        return FALSE;
    }
    if (normalized.back() != '\\') normalized += '\\';
    CurrentProcess()->currentDirectory = normalized;
    return TRUE;
}
