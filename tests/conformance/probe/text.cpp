// Scenarios of text conversion under the UTF-8 manifest that ZelmoSound.exe and the probe carry:
// the process code page, and MultiByteToWideChar with CP_ACP and CP_UTF8 (counts, a buffer too
// small, a length without the terminator, bytes that are not UTF-8), and an edit field's text
// read into a buffer too small for it.
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/probe_resource.h"
#include "tests/conformance/probe/workfolder.h"

#include <iterator>
#include <string>

namespace
{

std::string Hex(const WCHAR *units, int count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += ' ';
        for (int shift = 12; shift >= 0; shift -= 4)
            text += digits[(units[i] >> shift) & 0xF];
    }
    return text;
}

void Convert(const char *what, UINT codePage, const char *bytes, int length, int room)
{
    WCHAR wide[16] = {};
    SetLastError(0);
    int count = MultiByteToWideChar(codePage, 0, bytes, length, room ? wide : nullptr, room);
    DWORD error = GetLastError();
    probe::Trace(std::string(what) + " -> " + std::to_string(count) + " error " +
                 std::to_string(error) + ":" + Hex(wide, count > 0 && room ? count : 0));
}

// "ゼルモ" in UTF-8: three characters of three bytes each.
constexpr char Zelmo[] = "\xe3\x82\xbc\xe3\x83\xab\xe3\x83\xa2";

void CodePages()
{
    probe::TraceResult("GetACP", GetACP());
    Convert("CP_ACP", CP_ACP, Zelmo, -1, 16);
    Convert("CP_UTF8", CP_UTF8, Zelmo, -1, 16);
    Convert("CP_ACP count only", CP_ACP, Zelmo, -1, 0);
    Convert("CP_ACP too small", CP_ACP, Zelmo, -1, 2);
    Convert("CP_ACP one character", CP_ACP, Zelmo, 3, 16);
    Convert("CP_ACP ascii", CP_ACP, "Zelmo Sound", -1, 16);
}

void NotUtf8()
{
    Convert("cut short", CP_UTF8, "a\xe3\x82", 3, 16);
    Convert("stray byte", CP_ACP,
            "a\xff"
            "b",
            3, 16);
    Convert("overlong", CP_UTF8, "\xc0\xaf", 2, 16);
    Convert("surrogate pair", CP_UTF8, "\xf0\x9f\x90\x99", 4, 16);
}

// An edit field's Japanese text read into buffers too small for it, zero-filled as the program's
// are: what is cut, and what GetDlgItemTextA answers.
INT_PTR CALLBACK CutTextDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG) return FALSE;
    // "ab" and three characters of three bytes each.
    (void)SetDlgItemTextA(dialog, IDC_PROBE_EDIT, "ab\xe3\x82\xbc\xe3\x83\xab\xe3\x83\xa2");
    for (int size : {12, 11, 9, 8, 6, 3, 1}) {
        char buffer[12] = {};
        UINT count = GetDlgItemTextA(dialog, IDC_PROBE_EDIT, buffer, size);
        probe::Trace("GetDlgItemTextA size " + std::to_string(size) + " -> " +
                     std::to_string(count) + ":" + probe::Hex(std::string(buffer, sizeof buffer)));
    }
    (void)EndDialog(dialog, IDOK);
    return TRUE;
}

void WindowTextCut()
{
    probe::TraceResult("DialogBoxParamA",
                       probe::RunProbeDialog(IDD_PROBE, nullptr, "dialog", CutTextDialog));
}

constexpr probe::Scenario Scenarios[] = {
    {"code-pages", CodePages},
    {"not-utf8", NotUtf8},
    {"window-text-cut", WindowTextCut},
};

} // namespace

extern const probe::Area textArea = {"text", Scenarios, std::size(Scenarios)};
