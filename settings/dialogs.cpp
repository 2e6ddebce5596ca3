// The two sound settings dialogs. The first covers groups 0 to 9, the second groups 10 to 19,
// the time signal and the Startup button. Each binds group i to check box 301 + i and
// drop-down list 361 + i; groups without sound files are shown disabled and never written.
// "ＯＫ" copies the controls into the group table and writes the settings file at once.
#include "settings/dialogs.h"

#include "settings/groupcontrols.h"
#include "settings/startup.h"

#include "ground/globals.h"
#include "ground/inifile.h"
#include "ground/placement.h"
#include "ground/sound.h"
#include "resources/resource.h"

namespace
{

// Labels of the interval classes, in class order; the leading blanks are ideographic spaces
// that line the labels up. The last two entries are never used.
constexpr const char *IntervalMsg[10] = {
    "　３秒～　６秒間隔で再生する",
    "　４秒～１０秒間隔で再生する",
    "　６秒～２０秒間隔で再生する",
    "１０秒～３０秒間隔で再生する",
    "２０秒～６０秒間隔で再生する",
    "３０秒～　２分間隔で再生する",
    "　１分～　５分間隔で再生する",
    "３０分～６０分間隔で再生する",
    "",
    "",
};
constexpr int IntervalLabels = 8;

// Labels of the time-signal kinds; the last two entries are never used.
constexpr const char *TSignalMsg[4] = {"音と文字で知らせる", "音と文字とキャラクタで知らせる", "",
                                       ""};
constexpr int TSignalLabels = 2;

struct PageRange {
    int first;
    int last; // inclusive
};

PageRange RangeOf(int page)
{
    return page == 1 ? PageRange{0, 9} : PageRange{10, InCount - 1};
}

int Selection(HWND dialog, int list)
{
    LRESULT selected = SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0);
    // No selection counts as the first entry.
    return selected == CB_ERR ? 0 : static_cast<int>(selected);
}

void InitPage(HWND dialog, int page)
{
    PlaceDialog(dialog);

    PageRange range = RangeOf(page);
    for (int i = range.first; i <= range.last; ++i) {
        if (In[i].Present == 0) {
            // Also the groups without a prefix, which have no controls at all.
            EnableWindow(GetDlgItem(dialog, CheckBoxOf(i)), FALSE);
            EnableWindow(GetDlgItem(dialog, ListOf(i)), FALSE);
            continue;
        }
        for (int c = 0; c < IntervalLabels; ++c)
            SendDlgItemMessageA(dialog, ListOf(i), CB_INSERTSTRING, static_cast<WPARAM>(c),
                                reinterpret_cast<LPARAM>(IntervalMsg[c]));
        if (In[i].Enabled != 0) {
            CheckDlgButton(dialog, CheckBoxOf(i), BST_CHECKED);
            SendDlgItemMessageA(dialog, ListOf(i), CB_SETCURSEL,
                                static_cast<WPARAM>(In[i].IntervalClass), 0);
        } else {
            CheckDlgButton(dialog, CheckBoxOf(i), BST_UNCHECKED);
        }
    }
    if (page == 2) {
        for (int k = 0; k < TSignalLabels; ++k)
            SendDlgItemMessageA(dialog, IDCB_TSIGNAL, CB_INSERTSTRING, static_cast<WPARAM>(k),
                                reinterpret_cast<LPARAM>(TSignalMsg[k]));
        if (Tp[0] != 0) {
            CheckDlgButton(dialog, IDC_TSIGNAL, BST_CHECKED);
            SendDlgItemMessageA(dialog, IDCB_TSIGNAL, CB_SETCURSEL, static_cast<WPARAM>(Tp[1]), 0);
        } else {
            CheckDlgButton(dialog, IDC_TSIGNAL, BST_UNCHECKED);
        }
    }
}

INT_PTR PageProperty(HWND dialog, UINT message, WPARAM wParam, int page, int &openFlag)
{
    switch (message) {
    case WM_INITDIALOG:
        openFlag = 1;
        InitPage(dialog, page);
        return TRUE;
    case WM_COMMAND:
        // The whole command word: only a plain click (code 0) or Enter counts.
        switch (wParam) {
        case IDC_OK:
            DataGet(dialog, page);
            WriteIniFile();
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_CANCEL:
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_STARTUP:
            if (page == 2) ZelmoStartup(dialog);
            // Reported as not handled; the dialog stays open as it is.
            return FALSE;
        default:
            return FALSE; // the Esc key's cancel command included
        }
    case WM_CLOSE:
        openFlag = 0;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void DataGet(HWND dialog, int page)
{
    PageRange range = RangeOf(page);
    for (int i = range.first; i <= range.last; ++i) {
        if (In[i].Present == 0) continue;
        if (IsDlgButtonChecked(dialog, CheckBoxOf(i)) == BST_CHECKED) {
            // A group switched on starts a fresh interval.
            if (In[i].Enabled == 0) In[i].Target = -1;
            In[i].Enabled = 1;
        } else {
            In[i].Enabled = 0;
        }
        int chosen = Selection(dialog, ListOf(i));
        if (chosen != In[i].IntervalClass) In[i].Target = -1;
        In[i].IntervalClass = chosen;
    }
    if (page == 2) {
        Tp[0] = IsDlgButtonChecked(dialog, IDC_TSIGNAL) == BST_CHECKED ? 1 : 0;
        Tp[1] = Selection(dialog, IDCB_TSIGNAL);
    }
}

INT_PTR CALLBACK Page1Property(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    return PageProperty(dialog, message, wParam, 1, Property1);
}

INT_PTR CALLBACK Page2Property(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    return PageProperty(dialog, message, wParam, 2, Property2);
}
