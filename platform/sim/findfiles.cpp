// Listing folders on the simulated drive C:: FindFirstFileA, FindNextFileA and FindClose, and the
// caller's own listing (Desktop::ListFolder), whose names come sorted without regard to letter
// case. A search lists a folder other than a drive's root with itself and its parent first, and
// its pattern matches a file's long name or its short 8.3 name.
#include "platform/sim/internal.h"
#include "platform/sim/names.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace sim
{

namespace
{

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

} // namespace

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
