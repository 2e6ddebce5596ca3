// The seam, simulated side, continued: the tray icon, icon resources, dialog controls and the
// shell operations. Included by platform.h.
#pragma once

// ---- Icons
#define IMAGE_ICON 1
#define LR_DEFAULTCOLOR 0x00000000
#define LR_DEFAULTSIZE 0x00000040
#define LR_SHARED 0x00008000

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
BOOL WINAPI DestroyIcon(HICON icon);

// ---- Tray icon
#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

// The first layout of the record (88 bytes on 32-bit Windows); later fields are not used.
struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
typedef NOTIFYICONDATAA *PNOTIFYICONDATAA;
// As the SDK defines it: up to the end of the 64-character tip, so 88 bytes on 32-bit Windows
// and more where handles are wider.
#define NOTIFYICONDATAA_V1_SIZE (offsetof(NOTIFYICONDATAA, szTip) + 64 * sizeof(CHAR))

BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);

// ---- Shell
HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT showCmd);

// ---- Dialog controls
HWND WINAPI GetDlgItem(HWND dialog, int id);
LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check);
BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int max);

// ---- Component objects, the shell's special folders and link objects
#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define E_FAIL ((HRESULT)(int32_t)0x80004005UL)
#define E_NOINTERFACE ((HRESULT)(int32_t)0x80004002UL)
#define REGDB_E_CLASSNOTREG ((HRESULT)(int32_t)0x80040154UL)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define CLSCTX_INPROC_SERVER 0x1
#define CSIDL_STARTUP 0x0007
#define CP_ACP 0
#define CP_UTF8 65001

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID &REFIID;
typedef const GUID &REFCLSID;
typedef WCHAR OLECHAR;
typedef const OLECHAR *LPCOLESTR;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void **object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};
struct IShellLinkA : IUnknown {
    virtual HRESULT SetPath(LPCSTR file) = 0;
    virtual HRESULT SetDescription(LPCSTR name) = 0;
    virtual HRESULT SetWorkingDirectory(LPCSTR directory) = 0;
};
struct IPersistFile : IUnknown {
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
};

extern const CLSID CLSID_ShellLink;
extern const IID IID_IShellLinkA;
extern const IID IID_IPersistFile;

struct ITEMIDLIST;
typedef ITEMIDLIST *LPITEMIDLIST;
typedef const ITEMIDLIST *LPCITEMIDLIST;

HRESULT WINAPI CoInitialize(LPVOID reserved);
void WINAPI CoUninitialize(void);
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid,
                                LPVOID *object);
void WINAPI CoTaskMemFree(LPVOID memory);
HRESULT WINAPI SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST *location);
BOOL WINAPI SHGetPathFromIDListA(LPCITEMIDLIST location, LPSTR path);
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide,
                               int wideLength);
UINT WINAPI GetACP(void);

// ---- Drawing
#define TRANSPARENT 1
#define OPAQUE 2
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_DEFAULTSIZE 0x0008

HDC WINAPI GetDC(HWND hwnd);
int WINAPI ReleaseDC(HWND hwnd, HDC dc);
BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                       HBRUSH flickerFree, UINT flags);
int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);
int WINAPI SetBkMode(HDC dc, int mode);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int length);
BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, LPSIZE size);

// ---- Formatted text (user32's own printf, at most 1024 characters with the terminator)
#define WINAPIV
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...);

// ---- Fonts
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SHIFTJIS_CHARSET 128
#define HANGUL_CHARSET 129
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136
#define OEM_FIXED_FONT 10
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR face);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);

// ---- Tool tips (common controls)
#define TOOLTIPS_CLASSA "tooltips_class32"
#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02
#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_RTLREADING 0x0004
#define TTF_TRANSPARENT 0x0100
#define TTF_SUBCLASS 0x0010
#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_ADDTOOLA (WM_USER + 4)
#define TTM_DELTOOLA (WM_USER + 5)
#define TTM_RELAYEVENT (WM_USER + 7)
#define TTM_SETTOOLINFOA (WM_USER + 9)

// The tool record as Windows lays it out. A tool tip control knows the layout by cbSize: the
// first layout ends after lpszText (40 bytes on 32-bit Windows, 56 on 64-bit).
struct TTTOOLINFOA {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
    void *lpReserved;
};
typedef TTTOOLINFOA TOOLINFOA;
typedef TTTOOLINFOA *LPTTTOOLINFOA;
typedef TTTOOLINFOA *LPTOOLINFOA;
#define TTTOOLINFOA_V1_SIZE ((UINT)(offsetof(TTTOOLINFOA, lpszText) + sizeof(LPSTR)))
