// The file scenarios' work folder and the trace's view of paths and names (see workfolder.h).
#include "tests/conformance/probe/workfolder.h"

#include "tests/conformance/probe/probe.h"

#include <algorithm>
#include <cstdio>

namespace probe
{

namespace
{

std::string LowerAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        std::vector<std::pair<std::string, bool>> entries;
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileA(search, &data));
        (void)FindClose(search);
        for (const auto &[name, isFolder] : entries) {
            std::string path = folder + "\\" + name;
            if (isFolder) {
                RemoveTree(path);
                continue;
            }
            (void)SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            (void)DeleteFileA(path.c_str());
        }
    }
    (void)RemoveDirectoryA(folder.c_str());
}

} // namespace

std::string ProbeFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length < MAX_PATH ? length : 0);
    return file.substr(0, file.find_last_of('\\') + 1);
}

std::string MakeWorkFolder()
{
    RemoveWorkFolder();
    std::string work = ProbeFolder() + "work";
    if (!CreateDirectoryA(work.c_str(), nullptr)) Trace("cannot make the work folder");
    return work + "\\";
}

void RemoveWorkFolder()
{
    RemoveTree(ProbeFolder() + "work");
}

bool MakeFile(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    (void)CloseHandle(file);
    return ok && written == bytes.size();
}

std::string FileBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    std::string bytes;
    char buffer[256];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0)
        bytes.append(buffer, count);
    (void)CloseHandle(file);
    return bytes;
}

std::string WaveBytes(int milliseconds)
{
    const DWORD rate = 8000, bytes = rate * static_cast<DWORD>(milliseconds) / 1000;
    std::string wave = "RIFF";
    auto put = [&wave](DWORD value, int size) {
        for (int i = 0; i < size; ++i)
            wave += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(36 + bytes, 4);
    wave += "WAVEfmt ";
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate, 4), put(1, 2), put(8, 2);
    wave += "data";
    put(bytes, 4);
    wave.append(bytes, static_cast<char>(0x80));
    return wave;
}

std::string Shown(const std::string &path)
{
    std::string folder = ProbeFolder();
    folder.pop_back(); // the trailing backslash
    if (path.size() < folder.size() ||
        LowerAscii(path.substr(0, folder.size())) != LowerAscii(folder))
        return path;
    std::string head = path.substr(0, folder.size());
    std::string mark = head == folder               ? "<probe>"
                       : head == LowerAscii(folder) ? "<probe:lower>"
                                                    : "<probe:case>";
    return mark + path.substr(folder.size());
}

std::vector<std::string> FindAll(const std::string &pattern, DWORD *firstError)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    SetLastError(0);
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    *firstError = search == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        char attributes[16];
        std::snprintf(attributes, sizeof attributes, " [%lx]",
                      static_cast<unsigned long>(data.dwFileAttributes));
        names.push_back(data.cFileName + std::string(attributes));
    } while (FindNextFileA(search, &data));
    DWORD end = GetLastError();
    (void)FindClose(search);
    if (end != ERROR_NO_MORE_FILES)
        names.push_back("(ended with error " + std::to_string(end) + ")");
    std::sort(names.begin(), names.end());
    return names;
}

void TraceFind(const std::string &shownPattern, const std::string &pattern)
{
    DWORD error = 0;
    std::vector<std::string> names = FindAll(pattern, &error);
    std::string line = "FindFirstFileA " + shownPattern + " -> ";
    if (names.empty()) {
        Trace(line + "none error " + std::to_string(error));
        return;
    }
    line += std::to_string(names.size()) + ":";
    for (const std::string &name : names)
        line += " " + name;
    Trace(line);
}

void TraceCurrentDirectory()
{
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    Trace("GetCurrentDirectoryA -> " + (length ? Shown(std::string(folder, length)) : "0"));
}

std::string Hex(const std::string &bytes)
{
    std::string out;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        out += digits;
    }
    return out;
}

std::string HexUnits(const WCHAR *units, int count)
{
    std::string out;
    char digits[8];
    for (int i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%s%04x", i ? " " : "", units[i]);
        out += digits;
    }
    return out;
}

} // namespace probe
