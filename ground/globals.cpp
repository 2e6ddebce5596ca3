// The state every part of the program shares, zero when the process starts.
#include "ground/globals.h"

#include <cstring>

HINSTANCE hInst = nullptr;
HWND hwndSignal = nullptr;
HWND hwndJelly = nullptr;
char SetUpData[11] = "";

int Executing = 0;
int Property1 = 0;
int Property2 = 0;
int RegistDlg = 0;
int DeleteDlg = 0;
int ZelmoAbout = 0;
int ZelmoJelly = 0;

void ResetSharedState()
{
    hInst = nullptr;
    hwndSignal = nullptr;
    hwndJelly = nullptr;
    std::memset(SetUpData, 0, sizeof SetUpData);
    Executing = Property1 = Property2 = RegistDlg = DeleteDlg = ZelmoAbout = ZelmoJelly = 0;
}
