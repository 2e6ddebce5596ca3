// The sound settings dialogs. Not built yet: each opens empty and closes again on its close
// box.
#include "dialogs.h"

namespace {
INT_PTR NotBuilt(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (message != WM_CLOSE)
        return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}
} // namespace

INT_PTR CALLBACK Page1Property(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
INT_PTR CALLBACK Page2Property(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
INT_PTR CALLBACK RegistProperty(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
INT_PTR CALLBACK DeleteProperty(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
