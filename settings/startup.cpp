// The Startup shortcut, made with the shell's link object: target the program itself, working
// directory the program folder (so the program finds its sound files), a fixed description,
// saved under a fixed name, so pressing the button again replaces the same shortcut.
#include "settings/startup.h"

#include "ground/globals.h"
#include "ground/path.h"

#include <cstdio>
#include <string>

namespace
{

constexpr char Question[] = "「スタートアップ」にショートカットを作成してよろしいですか？";
constexpr char Description[] = "ZelmoSoundへのｼｮｰﾄｶｯﾄ";
constexpr char LinkName[] = "%s\\ZelmoSoundへのｼｮｰﾄｶｯﾄ.lnk";

} // namespace

void ZelmoStartup(HWND owner)
{
    LPITEMIDLIST location = nullptr;
    if (SHGetSpecialFolderLocation(owner, CSIDL_STARTUP, &location) != S_OK) return;
    char folder[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(location, folder);
    // The shell allocated the location for us.
    CoTaskMemFree(location);
    if (!found) return;
    if (MessageBoxA(owner, Question, SetUpData, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    std::string target = ProgramFileName();
    // Success and failure both end silently.
    (void)ZelmoCreateLink(target.c_str(), folder);
}

int ZelmoCreateLink(LPCSTR target, LPCSTR folder)
{
    (void)CoInitialize(nullptr);
    IShellLinkA *link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void **>(&link));
    if (SUCCEEDED(result)) {
        PathParts parts = SplitPath(target);
        std::string workingDirectory = parts.drive + parts.directory;
        (void)link->SetPath(target);
        (void)link->SetDescription(Description);
        (void)link->SetWorkingDirectory(workingDirectory.c_str());
        IPersistFile *file = nullptr;
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
        if (SUCCEEDED(result)) {
            char name[MAX_PATH];
            WCHAR wideName[MAX_PATH];
            // A Startup folder too long for the name would save under a cut-off name: refuse.
            int length = std::snprintf(name, sizeof name, LinkName, folder);
            if (length < 0 || length >= MAX_PATH ||
                MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, MAX_PATH) == 0)
                result = E_FAIL;
            else
                result = file->Save(wideName, TRUE);
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return SUCCEEDED(result) ? 1 : 0;
}
