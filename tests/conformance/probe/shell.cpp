// Scenarios of the shell: the Startup folder's location and path, a shortcut made with the shell
// link object through COM (every call's result, reference counts included) and the .lnk file it
// saved, read back from its bytes (Shell Link binary format); and ShellExecuteA on a page, a
// missing file and a file in a missing folder.
#include "tests/conformance/probe/outside.h"
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/workfolder.h"

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace
{

// A description in the program's style: full-width and half-width katakana, in UTF-8.
constexpr char Description[] = "プローブへのｼｮｰﾄｶｯﾄ";
constexpr char LinkName[] = "プローブへのｼｮｰﾄｶｯﾄ.lnk";
constexpr char StartupTail[] = "\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";

std::string Hresult(HRESULT result)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx",
                  static_cast<unsigned long>(static_cast<uint32_t>(result)));
    return text;
}

std::string Lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void TraceHresult(const std::string &call, HRESULT result)
{
    probe::Trace(call + " -> " + Hresult(result));
}

// ---- the Shell Link binary format, as far as the trace reads it

uint32_t Number(const std::string &bytes, size_t at, size_t count)
{
    uint32_t value = 0;
    for (size_t i = count; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// UTF-16 code units of the file as UTF-8, the code page of both sides (the manifest's).
std::string Utf8Of(const std::string &bytes, size_t at, size_t units)
{
    std::string text;
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = Number(bytes, at + 2 * i, 2);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Number(bytes, at + 2 * ++i, 2) - 0xDC00);
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
            continue;
        }
        int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        constexpr unsigned char Lead[] = {0, 0xC0, 0xE0, 0xF0};
        text += static_cast<char>(Lead[extra] | (c >> (6 * extra)));
        while (extra-- > 0)
            text += static_cast<char>(0x80 | ((c >> (6 * extra)) & 0x3F));
    }
    return text;
}

// The link's flags, its target (the LinkInfo's local base path) and its strings. Not traced: the
// item id list, the shell's own form of the target, which Wine writes beside the link
// information and the sim does not (Windows finds the target by either); and whether a string's
// count includes a terminating zero (Wine writes one; Windows does not).
void TraceLinkFile(const std::string &path)
{
    const std::string bytes = probe::FileBytes(path);
    if (bytes.size() < 0x4C || Number(bytes, 0, 4) != 0x4C) {
        probe::Trace("link file: no header (" + std::to_string(bytes.size()) + " bytes)");
        return;
    }
    const uint32_t flags = Number(bytes, 0x14, 4);
    constexpr struct {
        uint32_t flag;
        const char *name;
    } Flags[] = {{0x02, "linkinfo"},  {0x04, "name"}, {0x08, "relative"}, {0x10, "workdir"},
                 {0x20, "arguments"}, {0x40, "icon"}, {0x80, "unicode"}};
    std::string shown = "link flags:";
    for (const auto &known : Flags)
        if (flags & known.flag) shown += std::string(" ") + known.name;
    probe::Trace(shown);
    probe::Trace("link show command " + std::to_string(Number(bytes, 0x3C, 4)) + ", hotkey " +
                 std::to_string(Number(bytes, 0x40, 2)) + ", icon index " +
                 std::to_string(Number(bytes, 0x38, 4)));
    size_t at = 0x4C;
    if (flags & 0x01) at += 2 + Number(bytes, at, 2);
    if (flags & 0x02) {
        if (at + 28 > bytes.size()) return probe::Trace("link info cut off");
        const uint32_t size = Number(bytes, at, 4), header = Number(bytes, at + 4, 4);
        std::string target;
        if (Number(bytes, at + 8, 4) & 1) {
            if (header >= 0x24) {
                size_t from = at + Number(bytes, at + 28, 4), units = 0;
                while (from + 2 * units + 1 < bytes.size() && Number(bytes, from + 2 * units, 2))
                    ++units;
                target = Utf8Of(bytes, from, units);
            } else {
                target = bytes.c_str() + at + Number(bytes, at + 16, 4);
            }
        }
        probe::Trace("link target " + probe::Shown(target));
        at += size;
    }
    constexpr struct {
        uint32_t flag;
        const char *name;
        bool path;
    } Strings[] = {{0x04, "description", false},
                   {0x08, "relative path", false},
                   {0x10, "working directory", true},
                   {0x20, "arguments", false}};
    for (const auto &string : Strings) {
        if (!(flags & string.flag)) continue;
        if (at + 2 > bytes.size()) return probe::Trace("link strings cut off");
        const size_t count = Number(bytes, at, 2);
        at += 2;
        std::string text;
        if (flags & 0x80) {
            if (at + 2 * count > bytes.size()) return probe::Trace("link strings cut off");
            text = Utf8Of(bytes, at, count);
            at += 2 * count;
        } else {
            text = bytes.substr(at, count);
            at += count;
        }
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        probe::Trace(std::string("link ") + string.name + " " +
                     (string.path ? probe::Shown(text) : text));
    }
}

std::string ProbeExe()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

// Makes a link to the probe itself and saves it under the name given, as the program makes its
// Startup shortcut, tracing every call.
void SaveLink(const std::vector<WCHAR> &file)
{
    IShellLinkA *link = nullptr;
    TraceHresult("CoCreateInstance ShellLink IShellLinkA",
                 CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void **>(&link)));
    if (!link) return;
    TraceHresult("SetPath probe", link->SetPath(ProbeExe().c_str()));
    TraceHresult("SetDescription", link->SetDescription(Description));
    TraceHresult("SetWorkingDirectory probe folder",
                 link->SetWorkingDirectory(probe::ProbeFolder().c_str()));
    IPersistFile *persist = nullptr;
    TraceHresult("QueryInterface IPersistFile",
                 link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist)));
    if (persist) {
        TraceHresult("Save", persist->Save(file.data(), TRUE));
        probe::TraceResult("Release IPersistFile", persist->Release());
    }
    probe::TraceResult("Release IShellLinkA", link->Release());
}

std::vector<WCHAR> Wide(const std::string &text)
{
    std::vector<WCHAR> wide(MAX_PATH, 0);
    (void)MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), MAX_PATH);
    return wide;
}

// The Startup folder, as the program finds it: its location, its path, and the location freed.
void StartupFolder()
{
    LPITEMIDLIST location = nullptr;
    TraceHresult("SHGetSpecialFolderLocation CSIDL_STARTUP",
                 SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &location));
    char path[MAX_PATH] = "";
    probe::TraceResult("SHGetPathFromIDListA", SHGetPathFromIDListA(location, path));
    CoTaskMemFree(location);
    // Paths ignore letter case: Wine's folder is "StartUp", Windows' "Startup".
    std::string folder = Lower(path), tail = Lower(StartupTail);
    bool endsRight = folder.size() > tail.size() &&
                     folder.compare(folder.size() - tail.size(), tail.size(), tail) == 0;
    probe::TraceResult(std::string("the path ends with ") + StartupTail, endsRight);
    DWORD attributes = GetFileAttributesA(path);
    probe::TraceResult("the folder exists", attributes != INVALID_FILE_ATTRIBUTES &&
                                                (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

// The link saved twice under one name (the program's button pressed twice): one file, as the
// second save left it.
void LinkSavedAndReadBack()
{
    std::string work = probe::MakeWorkFolder();
    TraceHresult("CoInitialize", CoInitialize(nullptr));
    TraceHresult("CoInitialize again", CoInitialize(nullptr));
    CoUninitialize();
    SaveLink(Wide(work + LinkName));
    SaveLink(Wide(work + LinkName));
    probe::TraceFind("work\\*", work + "*");
    TraceLinkFile(work + LinkName);
    // A folder that is not there: the save fails.
    SaveLink(Wide(work + "missing\\" + LinkName));
    CoUninitialize();
    probe::RemoveWorkFolder();
}

// A page opened with the shell as the program opens its help page, a missing page, a page in a
// missing folder: results above 32 mean the shell took it. The user outside says what the
// browser then shows.
void Execute(const std::string &shown, const std::string &path)
{
    auto result = reinterpret_cast<uintptr_t>(
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    probe::Trace("ShellExecuteA " + shown + " -> " +
                 (result > 32 ? std::string("above 32") : std::to_string(result)));
}

std::string Work;

void ExecutePage()
{
    Work = probe::MakeWorkFolder();
    (void)probe::MakeFile(Work + "help.html", "<html></html>");
    const std::string reply = probe::ProbeFolder() + probe::OutsideReplyFile;
    (void)DeleteFileA(reply.c_str());
    HWND owner = probe::CreateProbeWindow("owner", nullptr, nullptr);
    probe::StartUser(
        owner,
        {
            [] { Execute("page", Work + "help.html"); },
            [] { probe::UserOutside(probe::BrowserShows); },
            probe::WaitUntil(
                "the browser's answer",
                [reply] { return GetFileAttributesA(reply.c_str()) != INVALID_FILE_ATTRIBUTES; },
                [reply] {
                    std::string shown = probe::FileBytes(reply);
                    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
                        shown.pop_back();
                    probe::Trace("the browser shows " + probe::Shown(shown));
                    (void)DeleteFileA(reply.c_str());
                },
                600),
            [] {
                Execute("missing page", Work + "missing.html");
                Execute("page in a missing folder", Work + "missing\\help.html");
                probe::RemoveWorkFolder();
                probe::ScenarioDone();
            },
        });
    probe::RunScenarioLoop();
}

constexpr probe::Scenario Scenarios[] = {
    {"startup-folder", StartupFolder},
    {"link-saved-and-read-back", LinkSavedAndReadBack},
    {"execute-page", ExecutePage},
};

} // namespace

extern const probe::Area shellArea = {"shell", Scenarios, std::size(Scenarios)};
