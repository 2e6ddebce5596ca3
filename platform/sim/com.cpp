// Simulated component objects and the shell's Startup folder. The shell link object keeps
// target, description and working directory, and saves them as a small text record in the
// shortcut file, which tests read back. Each step can be made to fail through
// Desktop::StartupFaults(), and the desktop counts live objects and the balance of
// CoInitialize and CoUninitialize.
#include "internal.h"

#include <cstring>

const CLSID CLSID_ShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace sim
{

namespace
{

struct ComState {
    int initialized = 0;
    int liveObjects = 0;
    int liveLocations = 0;
    StartupFaults faults;
};

ComState &Com()
{
    static ComState state;
    return state;
}

bool Same(const GUID &a, const GUID &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class ShellLink final : public IShellLinkA, public IPersistFile
{
  public:
    ShellLink() { ++Com().liveObjects; }
    ~ShellLink() { --Com().liveObjects; }

    HRESULT QueryInterface(REFIID iid, void **object) override
    {
        if (Same(iid, IID_IPersistFile) && !Com().faults.queryInterface) {
            *object = static_cast<IPersistFile *>(this);
        } else if (Same(iid, IID_IShellLinkA)) {
            *object = static_cast<IShellLinkA *>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        ++references_;
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override
    {
        PlatformCode platform;
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT SetPath(LPCSTR file) override { return Set(target_, file); }
    HRESULT SetDescription(LPCSTR name) override { return Set(description_, name); }
    HRESULT SetWorkingDirectory(LPCSTR directory) override
    {
        return Set(workingDirectory_, directory);
    }

    HRESULT Save(LPCOLESTR fileName, BOOL remember) override
    {
        PlatformCode platform;
        (void)remember;
        if (Com().faults.save || !fileName) return E_FAIL;
        std::string name = NarrowUtf16(fileName, -1);
        HANDLE file =
            CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return E_FAIL;
        std::string record = "target=" + target_ + "\r\ndescription=" + description_ +
                             "\r\nworkdir=" + workingDirectory_ + "\r\n";
        DWORD written = 0;
        BOOL ok =
            WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
        CloseHandle(file);
        return ok ? S_OK : E_FAIL;
    }

  private:
    static HRESULT Set(std::string &field, LPCSTR value)
    {
        PlatformCode platform;
        field = value ? value : "";
        return S_OK;
    }
    ULONG references_ = 1;
    std::string target_, description_, workingDirectory_;
};

} // namespace

void ResetComState()
{
    Com() = ComState{};
}

StartupFaults &Desktop::StartupFaults()
{
    return Com().faults;
}
int Desktop::LiveComObjects() const
{
    return Com().liveObjects + Com().liveLocations;
}
int Desktop::ComInitializations() const
{
    return Com().initialized;
}

std::string Desktop::StartupFolder() const
{
    return "C:\\Users\\Zelmo\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
}

std::optional<Shortcut> Desktop::ReadShortcut(const std::string &windowsPath) const
{
    auto bytes = ReadFile(windowsPath);
    if (!bytes) return std::nullopt;
    Shortcut shortcut;
    size_t at = 0;
    while (at < bytes->size()) {
        size_t end = bytes->find("\r\n", at);
        std::string line = bytes->substr(at, end - at);
        at = end == std::string::npos ? bytes->size() : end + 2;
        size_t equals = line.find('=');
        std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "target")
            shortcut.target = value;
        else if (key == "description")
            shortcut.description = value;
        else if (key == "workdir")
            shortcut.workingDirectory = value;
    }
    return shortcut;
}

} // namespace sim

using namespace sim;

HRESULT WINAPI CoInitialize(LPVOID reserved)
{
    PlatformCode platform;
    (void)reserved;
    return Com().initialized++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize(void)
{
    PlatformCode platform;
    --Com().initialized;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid,
                                LPVOID *object)
{
    PlatformCode platform;
    (void)outer;
    *object = nullptr;
    if (Com().initialized <= 0)
        return static_cast<HRESULT>(static_cast<int32_t>(0x800401F0UL)); // CO_E_NOTINITIALIZED
    if (!Same(clsid, CLSID_ShellLink) || !(context & CLSCTX_INPROC_SERVER) ||
        Com().faults.createInstance)
        return REGDB_E_CLASSNOTREG;
    auto *link = new ShellLink;
    HRESULT result = link->QueryInterface(iid, object);
    link->Release();
    return result;
}

void WINAPI CoTaskMemFree(LPVOID memory)
{
    PlatformCode platform;
    if (!memory) return;
    --Com().liveLocations;
    delete static_cast<std::string *>(memory);
}

HRESULT WINAPI SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST *location)
{
    PlatformCode platform;
    (void)owner;
    *location = nullptr;
    if (folder != CSIDL_STARTUP || Com().faults.folderLocation) return E_FAIL;
    ++Com().liveLocations;
    *location = reinterpret_cast<LPITEMIDLIST>(new std::string(Desktop::Current().StartupFolder()));
    return S_OK;
}

BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST location, LPSTR path)
{
    PlatformCode platform;
    if (!location || Com().faults.pathFromIdList) {
        path[0] = '\0';
        return FALSE;
    }
    const auto *folder = reinterpret_cast<const std::string *>(location);
    std::strncpy(path, folder->c_str(), MAX_PATH - 1);
    path[MAX_PATH - 1] = '\0';
    return TRUE;
}
