// The About box, placed near the cursor and closed with its OK button or close box, and the
// help page.
#include "shell/about.h"

#include "ground/path.h"
#include "ground/placement.h"
#include "resources/resource.h"
#include "shell/main.h"

#include <string>

namespace
{

constexpr char HelpPage[] = "Zelmo.html";

} // namespace

INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        ZelmoAbout = 1;
        PlaceDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OK) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        ZelmoAbout = 0;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

// Today's Windows has no viewer for old help files: the help page beside the program opens in
// the default browser.
void ZelmoShowHelp(HWND hwnd)
{
    std::string page = ProgramFolder() + HelpPage;
    // The result is not examined; a missing page shows nothing.
    (void)ShellExecuteA(hwnd, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
