// Simulated component objects and the shell's Startup folder. The shell link object keeps
// target, description and working directory, and saves them as Windows does, in the Shell Link
// binary format (the target in the link information, the strings in UTF-16), which tests read
// back (the conformance probe reads Wine's and the sim's the same way: shell/link-saved-and-
// read-back). Each step can be made to fail through Desktop::StartupFaults(), and the desktop
// counts live objects and the balance of CoInitialize and CoUninitialize.
#include "platform/sim/internal.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

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

// ---- the Shell Link binary format, as far as a link with a local target, a description and a
// working directory needs it

constexpr uint32_t LinkHeaderSize = 0x4C;
constexpr unsigned char LinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t HasLinkInfo = 0x02, HasName = 0x04, HasWorkingDir = 0x10, IsUnicode = 0x80;
constexpr uint32_t VolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t LinkInfoHeaderSize = 0x24; // with the Unicode form of the path
constexpr uint32_t DriveFixed = 3;
constexpr uint32_t ShowNormal = 1;

void Put(std::string &out, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t Get(const std::string &bytes, size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// The program's text (the code page is UTF-8) as UTF-16 code units.
std::u16string Utf16(const std::string &text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        uint32_t c = DecodeUtf8(text, i);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void PutUnits(std::string &out, const std::u16string &units)
{
    for (char16_t unit : units)
        Put(out, unit, 2);
}

std::string LinkBytes(const std::string &target, const std::string &description,
                      const std::string &workingDirectory)
{
    uint32_t flags = HasLinkInfo | IsUnicode;
    if (!description.empty()) flags |= HasName;
    if (!workingDirectory.empty()) flags |= HasWorkingDir;
    std::string link;
    Put(link, LinkHeaderSize, 4);
    link.append(reinterpret_cast<const char *>(LinkClassId), sizeof LinkClassId);
    Put(link, flags, 4);
    Put(link, FILE_ATTRIBUTE_ARCHIVE, 4);
    link.append(3 * 8, '\0'); // creation, access and write times: not known
    Put(link, 0, 4);          // file size
    Put(link, 0, 4);          // icon index
    Put(link, ShowNormal, 4);
    link.append(2 + 2 + 4 + 4, '\0'); // hotkey, reserved

    // The link information: the volume (a fixed drive without a label) and the local path, in
    // the code page and in UTF-16; an empty common path suffix.
    std::string volume;
    Put(volume, 0x11, 4);
    Put(volume, DriveFixed, 4);
    Put(volume, 0, 4);    // serial number
    Put(volume, 0x10, 4); // label offset
    volume += '\0';
    const std::u16string wideTarget = Utf16(target);
    const uint32_t volumeAt = LinkInfoHeaderSize;
    const uint32_t pathAt = volumeAt + static_cast<uint32_t>(volume.size());
    const uint32_t suffixAt = pathAt + static_cast<uint32_t>(target.size()) + 1;
    const uint32_t widePathAt = suffixAt + 1;
    const uint32_t wideSuffixAt = widePathAt + 2 * static_cast<uint32_t>(wideTarget.size() + 1);
    const uint32_t infoSize = wideSuffixAt + 2;
    Put(link, infoSize, 4);
    Put(link, LinkInfoHeaderSize, 4);
    Put(link, VolumeIdAndLocalBasePath, 4);
    Put(link, volumeAt, 4);
    Put(link, pathAt, 4);
    Put(link, 0, 4); // no network path
    Put(link, suffixAt, 4);
    Put(link, widePathAt, 4);
    Put(link, wideSuffixAt, 4);
    link += volume;
    link += target + '\0';
    link += '\0';
    PutUnits(link, wideTarget + u'\0');
    Put(link, 0, 2);

    // The strings, counted in UTF-16 units without a terminating zero.
    for (const std::string *text : {&description, &workingDirectory}) {
        if (text->empty()) continue;
        const std::u16string units = Utf16(*text);
        Put(link, static_cast<uint32_t>(units.size()), 2);
        PutUnits(link, units);
    }
    Put(link, 0, 4); // the terminal block of the extra data
    return link;
}

// UTF-16 code units of the file as the program's text.
std::string TextOf(const std::string &bytes, size_t at, size_t units)
{
    std::string text;
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = Get(bytes, at + 2 * i, 2);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units)
            c = 0x10000 + ((c - 0xD800) << 10) + (Get(bytes, at + 2 * ++i, 2) - 0xDC00);
        EncodeUtf8(c, text);
    }
    return text;
}

std::optional<Shortcut> ParseLink(const std::string &bytes)
{
    auto has = [&](size_t at, size_t count) {
        return at <= bytes.size() && count <= bytes.size() - at;
    };
    if (!has(0, LinkHeaderSize) || Get(bytes, 0, 4) != LinkHeaderSize ||
        std::memcmp(bytes.data() + 4, LinkClassId, sizeof LinkClassId) != 0)
        return std::nullopt;
    const uint32_t flags = Get(bytes, 0x14, 4);
    size_t at = LinkHeaderSize;
    if (flags & 0x01) {
        if (!has(at, 2)) return std::nullopt;
        at += 2 + Get(bytes, at, 2);
    }
    Shortcut shortcut;
    if (flags & HasLinkInfo) {
        if (!has(at, 28)) return std::nullopt;
        const uint32_t size = Get(bytes, at, 4);
        if (!has(at, size)) return std::nullopt;
        if (Get(bytes, at + 8, 4) & VolumeIdAndLocalBasePath) {
            const size_t path = at + Get(bytes, at + 16, 4);
            const size_t end = std::min(bytes.size(), at + size);
            const size_t zero = bytes.find('\0', path);
            if (path >= end || zero == std::string::npos || zero >= end) return std::nullopt;
            shortcut.target = bytes.substr(path, zero - path);
        }
        at += size;
    }
    for (auto [flag, text] : {std::pair{HasName, &shortcut.description},
                              std::pair{uint32_t{0x08}, static_cast<std::string *>(nullptr)},
                              std::pair{HasWorkingDir, &shortcut.workingDirectory}}) {
        if (!(flags & flag)) continue;
        if (!has(at, 2)) return std::nullopt;
        const size_t count = Get(bytes, at, 2);
        const size_t width = flags & IsUnicode ? 2 : 1;
        if (!has(at + 2, count * width)) return std::nullopt;
        if (text) *text = width == 2 ? TextOf(bytes, at + 2, count) : bytes.substr(at + 2, count);
        at += 2 + count * width;
    }
    return shortcut;
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
        // The file's error as a result (HRESULT_FROM_WIN32), as the shell gives it.
        if (file == INVALID_HANDLE_VALUE)
            return static_cast<HRESULT>(0x80070000UL | (GetLastError() & 0xFFFF));
        std::string record = LinkBytes(target_, description_, workingDirectory_);
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
    return ParseLink(*bytes);
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
