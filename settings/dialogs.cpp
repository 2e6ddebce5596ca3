// The sound settings dialogs. Not built yet: their templates do not exist, so the platform
// refuses to open them and these procedures are never reached.
#include "dialogs.h"

namespace {
INT_PTR NotBuilt(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)dialog;
    (void)message;
    (void)wParam;
    (void)lParam;
    return FALSE;
}
} // namespace

INT_PTR CALLBACK Page1Property(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
INT_PTR CALLBACK Page2Property(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
INT_PTR CALLBACK RegistProperty(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
INT_PTR CALLBACK DeleteProperty(HWND d, UINT m, WPARAM w, LPARAM l) { return NotBuilt(d, m, w, l); }
