// The simulated drive C: and its file operations. Drive C: is a real folder on the host, so a
// test can look at the files the program wrote. Windows paths are resolved as Windows does:
// either separator, letter case ignored in every component, relative to the process's current
// directory. Faults (read-only folders, a full disk, failing calls) are injected through
// Desktop::Faults(). Read-only files refuse to be written, replaced or deleted, and a copy takes
// its source's attributes (folders.cpp keeps them). A file held open refuses to be renamed,
// replaced or deleted unless its holder shares deletion.
#include "internal.h"
#include "names.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

bool IsDirectory(const std::string &host)
{
    struct stat info;
    return stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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

void EmitFile(const char *kind, const std::string &path, const std::string &to = "")
{
    Event event;
    event.kind = kind;
    event.fields = {{"path", JsonString(path)}};
    if (!to.empty()) event.fields.push_back({"to", JsonString(to)});
    Desktop::Current().Emit(event);
}

WIN32_FIND_DATAA FindData(const std::string &name, const std::string &windowsPath,
                          const std::string &host)
{
    WIN32_FIND_DATAA data{};
    struct stat info {
    };
    stat(host.c_str(), &info);
    data.dwFileAttributes = AttributesOf(windowsPath, host);
    data.nFileSizeLow = static_cast<DWORD>(info.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
    std::strncpy(data.cFileName, name.c_str(), MAX_PATH - 1);
    std::strncpy(data.cAlternateFileName, ShortName(name).c_str(), 13);
    return data;
}

bool IsReadOnly(const std::string &normalized, const std::string &host)
{
    return (AttributesOf(normalized, host) & FILE_ATTRIBUTE_READONLY) != 0;
}

} // namespace

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

void CloseAllHandles()
{
    for (auto &[handle, file] : S().files)
        if (file.fd >= 0) close(file.fd);
    S().files.clear();
    S().searches.clear();
}

// ---- Desktop methods about files

std::string Desktop::HostPath(const std::string &windowsPath) const
{
    return ResolveHostPath(windowsPath);
}

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

std::vector<std::string> Desktop::ListFolder(const std::string &windowsPath) const
{
    std::vector<std::string> names;
    bool found = false;
    std::string host = ResolveHostPath(windowsPath, &found);
    if (DIR *dir = found ? opendir(host.c_str()) : nullptr) {
        while (dirent *entry = readdir(dir))
            if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, ".."))
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string &a, const std::string &b) { return FoldCase(a) < FoldCase(b); });
    return names;
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

namespace sim
{

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

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    PlatformCode platform;
    std::string normalized = NormalizeWindowsPath(pattern);
    size_t cut = normalized.find_last_of('\\');
    std::string folder = normalized.substr(0, cut + 1);
    std::string namePattern = normalized.substr(cut + 1);
    bool found = false;
    std::string host = ResolveHostPath(folder, &found);
    FindSearch search;
    if (found) {
        // A folder other than a drive's root lists itself and its parent first.
        std::vector<std::string> names;
        if (folder.size() > 3) names = {".", ".."};
        for (const std::string &name : Desktop::Current().ListFolder(folder))
            names.push_back(name);
        for (const std::string &name : names) {
            if (!FileNameMatches(namePattern, name)) continue;
            bool self = name == "." || name == "..";
            std::string path = self ? folder : folder + name;
            search.entries.push_back(FindData(name, path, self ? host : host + "/" + name));
        }
    }
    if (search.entries.empty()) {
        SetLastError(found ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *data = search.entries[0];
    search.next = 1;
    HANDLE handle = reinterpret_cast<HANDLE>(S().NewHandle());
    S().searches[handle] = std::move(search);
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data)
{
    PlatformCode platform;
    auto it = S().searches.find(find);
    if (it == S().searches.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FindSearch &search = it->second;
    if (search.next >= search.entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *data = search.entries[search.next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE find)
{
    PlatformCode platform;
    if (!S().searches.erase(find)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
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
