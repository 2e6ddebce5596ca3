// The file operations on the simulated drive C: (paths.cpp resolves their names): CreateFileA and
// the handles it gives, ReadFile, WriteFile, FlushFileBuffers, CloseHandle, DeleteFileA,
// MoveFileExA, CopyFileA and GetFileAttributesA, and the caller's own reads and writes of files
// (Desktop::ReadFile, Desktop::WriteFile). Faults (read-only folders, a full disk, failing calls)
// are injected through Desktop::Faults(). Read-only files refuse to be written, replaced or
// deleted, and a copy takes its source's attributes (folders.cpp keeps them). A file held open
// refuses to be renamed, replaced or deleted unless its holder shares deletion.
#include "platform/sim/internal.h"
#include "platform/sim/names.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace sim
{

namespace
{

void EmitFile(const char *kind, const std::string &path, const std::string &to = "")
{
    Event event;
    event.kind = kind;
    event.fields = {{"path", JsonString(path)}};
    if (!to.empty()) event.fields.push_back({"to", JsonString(to)});
    Desktop::Current().Emit(event);
}

bool IsReadOnly(const std::string &normalized, const std::string &host)
{
    return (AttributesOf(normalized, host) & FILE_ATTRIBUTE_READONLY) != 0;
}

} // namespace

void CloseAllHandles()
{
    for (auto &[handle, file] : S().files)
        if (file.fd >= 0) close(file.fd);
    S().files.clear();
    S().searches.clear();
}

// ---- Desktop methods about files

void Desktop::WriteFile(const std::string &windowsPath, const std::string &bytes)
{
    ++state_->fileOperations;
    std::string host = ResolveHostPath(windowsPath);
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    FILE *file = std::fopen(host.c_str(), "wb");
    if (!file) throw SimulationError("cannot write " + host);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::optional<std::string> Desktop::ReadFile(const std::string &windowsPath) const
{
    bool found = false;
    std::string host = ResolveHostPath(windowsPath, &found);
    if (!found || IsDirectory(host)) return std::nullopt;
    FILE *file = std::fopen(host.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    std::fclose(file);
    return bytes;
}

bool Desktop::FileExists(const std::string &windowsPath) const
{
    bool found = false;
    ResolveHostPath(windowsPath, &found);
    return found;
}

// CreateFileA, and CopyFileA's opening of its two files, which reports a copy rather than a
// write: announce says whether a file written afresh is reported.
HANDLE OpenFileHandle(LPCSTR fileName, DWORD access, DWORD shareMode, DWORD disposition,
                      DWORD flags, bool announce)
{
    std::string normalized = NormalizeWindowsPath(fileName);
    if (InjectedFailure(FileOperation::Create, normalized)) return INVALID_HANDLE_VALUE;
    bool found = false;
    std::string host = ResolveHostPath(fileName, &found);
    if (host.empty() || !IsDirectory(std::filesystem::path(host).parent_path().string())) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (found && IsDirectory(host)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    bool write = (access & GENERIC_WRITE) != 0;
    // Sharing: an open handle that does not share the access asked for refuses the open.
    for (const auto &[handle, open] : S().files) {
        if (FoldCase(open.windowsPath) != FoldCase(normalized)) continue;
        bool conflict = (write && !(open.share & FILE_SHARE_WRITE)) ||
                        (!write && !(open.share & FILE_SHARE_READ)) ||
                        (open.write && !(shareMode & FILE_SHARE_WRITE)) ||
                        (!open.write && !(shareMode & FILE_SHARE_READ));
        if (conflict) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return INVALID_HANDLE_VALUE;
        }
    }
    int oflags = write ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW:
        if (found) {
            SetLastError(ERROR_FILE_EXISTS);
            return INVALID_HANDLE_VALUE;
        }
        oflags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        oflags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        if (!found) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        break;
    case OPEN_ALWAYS:
        oflags |= O_CREAT;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // A read-only file is not written; a hidden or system file is not replaced by one that
    // does not say it is hidden or system too.
    DWORD attributes = found ? AttributesOf(normalized, host) : 0;
    DWORD guarded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((write && (attributes & FILE_ATTRIBUTE_READONLY)) ||
        (disposition == CREATE_ALWAYS && (attributes & guarded) & ~(flags & guarded))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if ((write || !found) && InReadOnlyFolder(normalized)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int fd = open(host.c_str(), oflags, 0644);
    if (fd < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(S().NewHandle());
    S().files[handle] = OpenFile{fd, normalized, host, write, false, shareMode};
    if (!found || disposition == CREATE_ALWAYS) ForgetAttributes(normalized);
    if (announce && write && (disposition == CREATE_ALWAYS || !found))
        EmitFile("file.write", normalized);
    SetLastError(found && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    return handle;
}

} // namespace sim

using namespace sim;

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode,
                          SECURITY_ATTRIBUTES *security, DWORD disposition, DWORD flags,
                          HANDLE templateFile)
{
    PlatformCode platform;
    (void)security;
    (void)templateFile;
    return OpenFileHandle(fileName, access, shareMode, disposition, flags, true);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void *overlapped)
{
    PlatformCode platform;
    (void)overlapped;
    auto it = S().files.find(file);
    if (it == S().files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ssize_t count = InjectedFailure(FileOperation::Read, it->second.windowsPath)
                        ? -1
                        : ::read(it->second.fd, buffer, toRead);
    if (count < 0) {
        if (read) *read = 0;
        return FALSE;
    }
    if (read) *read = static_cast<DWORD>(count);
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void *overlapped)
{
    PlatformCode platform;
    (void)overlapped;
    auto it = S().files.find(file);
    if (it == S().files.end() || !it->second.write) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD allowed = toWrite;
    int64_t &budget = S().faults.writeBudget;
    bool full = false;
    DWORD injected = InjectedFailure(FileOperation::Write, it->second.windowsPath);
    DWORD error = injected ? injected : ERROR_DISK_FULL;
    if (injected) allowed = toWrite / 2;
    if (budget >= 0 && static_cast<int64_t>(allowed) > budget) {
        allowed = static_cast<DWORD>(budget);
        full = true;
    }
    ssize_t count = allowed ? ::write(it->second.fd, buffer, allowed) : 0;
    if (count < 0) count = 0;
    if (budget >= 0) budget -= count;
    if (written) *written = static_cast<DWORD>(count);
    if (full || injected != 0) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE file)
{
    PlatformCode platform;
    auto it = S().files.find(file);
    if (it == S().files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Only a handle for writing has buffers to write out.
    if (!it->second.write) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return InjectedFailure(FileOperation::Flush, it->second.windowsPath) ? FALSE : TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    PlatformCode platform;
    auto it = S().files.find(handle);
    if (it == S().files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    close(it->second.fd);
    S().files.erase(it);
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName)
{
    PlatformCode platform;
    std::string normalized = NormalizeWindowsPath(fileName);
    if (InjectedFailure(FileOperation::Delete, normalized)) return FALSE;
    bool found = false;
    std::string host = ResolveHostPath(fileName, &found);
    if (!found || IsDirectory(host)) {
        SetLastError(found ? ERROR_ACCESS_DENIED : MissingPathError(normalized));
        return FALSE;
    }
    if (InReadOnlyFolder(normalized) || IsReadOnly(normalized, host)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    for (const auto &[handle, open] : S().files) {
        if (FoldCase(open.windowsPath) == FoldCase(normalized) &&
            !(open.share & FILE_SHARE_DELETE)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    if (unlink(host.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    ForgetAttributes(normalized);
    EmitFile("file.delete", normalized);
    return TRUE;
}

BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags)
{
    PlatformCode platform;
    std::string from = NormalizeWindowsPath(existing);
    std::string to = NormalizeWindowsPath(newName);
    if (InjectedFailure(FileOperation::Move, from, to)) return FALSE;
    bool fromFound = false, toFound = false;
    std::string fromHost = ResolveHostPath(existing, &fromFound);
    std::string toHost = ResolveHostPath(newName, &toFound);
    if (!fromFound) {
        SetLastError(MissingPathError(from));
        return FALSE;
    }
    if (toHost.empty() || !IsDirectory(std::filesystem::path(toHost).parent_path().string())) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const bool sameFile = FoldCase(from) == FoldCase(to);
    if (toFound && !sameFile && !(flags & MOVEFILE_REPLACE_EXISTING)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    // Nothing replaces a folder or a read-only file.
    if (toFound && !sameFile && (IsDirectory(toHost) || IsReadOnly(to, toHost))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A new letter case for the same name is a rename too.
    if (sameFile)
        toHost = std::filesystem::path(fromHost).parent_path().string() + "/" +
                 to.substr(to.find_last_of('\\') + 1);
    if (InReadOnlyFolder(from) || InReadOnlyFolder(to)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A file held open is renamed, or replaced, only when its holder shares deletion: else the
    // rename is a sharing violation and the replacement is refused.
    for (const auto &[handle, open] : S().files) {
        if (open.share & FILE_SHARE_DELETE) continue;
        if (FoldCase(open.windowsPath) == FoldCase(from)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
        if (toFound && !sameFile && FoldCase(open.windowsPath) == FoldCase(to)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    if (toFound && !sameFile) unlink(toHost.c_str());
    if (rename(fromHost.c_str(), toHost.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A handle still open on the file now reaches it by its new name.
    for (auto &[handle, open] : S().files) {
        if (FoldCase(open.windowsPath) != FoldCase(from)) continue;
        open.windowsPath = to;
        open.hostPath = toHost;
    }
    MoveAttributes(from, to);
    EmitFile("file.rename", from, to);
    return TRUE;
}

BOOL WINAPI MoveFileA(LPCSTR existing, LPCSTR newName)
{
    PlatformCode platform;
    return MoveFileExA(existing, newName, 0);
}

BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists)
{
    PlatformCode platform;
    if (InjectedFailure(FileOperation::Copy, NormalizeWindowsPath(existing),
                        NormalizeWindowsPath(newName)))
        return FALSE;
    HANDLE source = OpenFileHandle(existing, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, false);
    if (source == INVALID_HANDLE_VALUE) return FALSE;
    const std::string from = S().files[source].windowsPath;
    const DWORD attributes = AttributesOf(from, S().files[source].hostPath);
    HANDLE target =
        OpenFileHandle(newName, GENERIC_WRITE, 0, failIfExists ? CREATE_NEW : CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, false);
    if (target == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        CloseHandle(source);
        SetLastError(error);
        return FALSE;
    }
    const std::string to = S().files[target].windowsPath;
    const std::string toHost = S().files[target].hostPath;
    char buffer[8192];
    DWORD count = 0;
    BOOL ok = TRUE;
    // A read that fails fails the copy; only a read of nothing is the end of the source.
    for (;;) {
        if (!ReadFile(source, buffer, sizeof buffer, &count, nullptr)) {
            ok = FALSE;
            break;
        }
        if (count == 0) break;
        DWORD written = 0;
        if (!WriteFile(target, buffer, count, &written, nullptr)) {
            ok = FALSE;
            break;
        }
    }
    DWORD error = GetLastError();
    CloseHandle(source);
    CloseHandle(target);
    if (!ok) {
        // The copy takes back what it wrote: no partial file stays under the name.
        unlink(toHost.c_str());
        SetLastError(error);
        return FALSE;
    }
    // The copy has its source's attributes, and is archived.
    StoreAttributes(to, (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL)) |
                            FILE_ATTRIBUTE_ARCHIVE);
    Event event;
    event.kind = "file.copy";
    event.fields = {{"path", JsonString(to)}, {"from", JsonString(from)}};
    Desktop::Current().Emit(event);
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName)
{
    PlatformCode platform;
    std::string normalized = NormalizeWindowsPath(fileName);
    bool found = false;
    std::string host = ResolveHostPath(fileName, &found);
    if (!found) {
        SetLastError(MissingPathError(normalized));
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(normalized, host);
}
