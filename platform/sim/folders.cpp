// File attributes and folders on the simulated drive: SetFileAttributesA and the store behind
// the attributes every file operation looks at, CreateDirectoryA and RemoveDirectoryA, and the
// user's own changes to a file's attributes (Desktop::SetReadOnly).
//
// As on Windows: a new file is an archived file (FILE_ATTRIBUTE_ARCHIVE); SetFileAttributesA
// sets exactly the attributes given, and a file left with none reports FILE_ATTRIBUTE_NORMAL;
// attributes move with a renamed file and go with a deleted one.
#include "platform/sim/internal.h"

#include "platform/sim/names.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace sim
{

namespace
{

constexpr DWORD SettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::string Key(const std::string &normalized)
{
    return FoldCase(normalized);
}

} // namespace

DWORD AttributesOf(const std::string &normalized, const std::string &host)
{
    auto stored = S().attributes.find(Key(normalized));
    if (IsDirectory(host))
        return FILE_ATTRIBUTE_DIRECTORY | (stored == S().attributes.end() ? 0 : stored->second);
    if (stored == S().attributes.end()) return FILE_ATTRIBUTE_ARCHIVE;
    return stored->second ? stored->second : FILE_ATTRIBUTE_NORMAL;
}

void StoreAttributes(const std::string &normalized, DWORD attributes)
{
    S().attributes[Key(normalized)] = attributes & SettableAttributes;
}

void MoveAttributes(const std::string &from, const std::string &to)
{
    auto stored = S().attributes.find(Key(from));
    DWORD attributes = stored == S().attributes.end() ? FILE_ATTRIBUTE_ARCHIVE : stored->second;
    ForgetAttributes(from);
    if (attributes != FILE_ATTRIBUTE_ARCHIVE)
        S().attributes[Key(to)] = attributes;
    else
        ForgetAttributes(to);
}

void ForgetAttributes(const std::string &normalized)
{
    S().attributes.erase(Key(normalized));
}

DWORD MissingPathError(const std::string &normalized)
{
    std::string folder = normalized.substr(0, normalized.find_last_of('\\') + 1);
    bool found = false;
    std::string host = ResolveHostPath(folder, &found);
    return found && IsDirectory(host) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// ---- Desktop methods

void Desktop::SetReadOnly(const std::string &windowsPath, bool readOnly)
{
    std::string normalized = NormalizeWindowsPath(windowsPath);
    bool found = false;
    std::string host = ResolveHostPath(windowsPath, &found);
    if (!found) throw SimulationError("SetReadOnly: there is no file " + windowsPath);
    DWORD attributes = AttributesOf(normalized, host) & SettableAttributes;
    StoreAttributes(normalized, readOnly
                                    ? attributes | FILE_ATTRIBUTE_READONLY
                                    : attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    Event event;
    event.kind = "file.attributes";
    event.fields = {{"path", JsonString(normalized)}, {"read-only", readOnly ? "true" : "false"}};
    Emit(event);
}

DWORD Desktop::FileAttributes(const std::string &windowsPath) const
{
    bool found = false;
    std::string host = ResolveHostPath(windowsPath, &found);
    return found ? AttributesOf(NormalizeWindowsPath(windowsPath), host) : INVALID_FILE_ATTRIBUTES;
}

} // namespace sim

using namespace sim;

BOOL WINAPI SetFileAttributesA(LPCSTR fileName, DWORD attributes)
{
    PlatformCode platform;
    std::string normalized = NormalizeWindowsPath(fileName);
    if (InjectedFailure(FileOperation::SetAttributes, normalized)) return FALSE;
    bool found = false;
    ResolveHostPath(fileName, &found);
    if (!found) {
        SetLastError(MissingPathError(normalized));
        return FALSE;
    }
    if (InReadOnlyFolder(normalized)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // FILE_ATTRIBUTE_NORMAL alone clears them all; with others it is ignored.
    StoreAttributes(normalized, attributes == FILE_ATTRIBUTE_NORMAL ? 0 : attributes);
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES *security)
{
    PlatformCode platform;
    (void)security;
    std::string normalized = NormalizeWindowsPath(path);
    if (InjectedFailure(FileOperation::CreateFolder, normalized)) return FALSE;
    bool found = false;
    std::string host = ResolveHostPath(path, &found);
    if (found) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (host.empty() || !IsDirectory(std::filesystem::path(host).parent_path().string())) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (InReadOnlyFolder(normalized) || mkdir(host.c_str(), 0755) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    ForgetAttributes(normalized);
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR path)
{
    PlatformCode platform;
    std::string normalized = NormalizeWindowsPath(path);
    if (InjectedFailure(FileOperation::RemoveFolder, normalized)) return FALSE;
    bool found = false;
    std::string host = ResolveHostPath(path, &found);
    if (!found) {
        SetLastError(MissingPathError(normalized));
        return FALSE;
    }
    if (!IsDirectory(host)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    // The process holds its current directory open.
    Process *process = CurrentProcess();
    if (process && FoldCase(process->currentDirectory) == FoldCase(normalized + "\\")) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (!std::filesystem::is_empty(host)) {
        SetLastError(ERROR_DIR_NOT_EMPTY);
        return FALSE;
    }
    if (InReadOnlyFolder(normalized) || rmdir(host.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    ForgetAttributes(normalized);
    return TRUE;
}
